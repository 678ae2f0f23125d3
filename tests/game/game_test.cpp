#include "game_test.h"

#include <cstdlib>
#include <unistd.h>

#include "draw.h"

std::vector<PlayedSample> played;

// The tests link with --wrap=play_sample: every sample the game plays lands here.
extern "C" int __wrap_play_sample(const SAMPLE *spl, int vol, int pan, int freq, int loop)
{
   played.push_back({spl, vol, pan, freq, loop});
   return 0;
}

void GameTest::SetUp()
{
   HeadlessTest::SetUp();
   StartHeadless(kScreenW, kScreenH);
   static bool loaded = false;
   if (!loaded) {
      ASSERT_EQ(chdir(RunDir().c_str()), 0);
      LoadAssets();
      loaded = true;
   }
   clear_bitmap(buffer);
   clear_bitmap(screen);
   for (auto &layer : map)
      for (auto &col : layer)
         for (auto &cell : col)
            cell = 0;
   xoffset = yoffset = 0;
   currentlevel = kFirstLevel;
   levelsfinished = 0;
   options = GameOptions{};
   quitgame = 0;
   Pl.Init();
   En = Enemy{};
   FreeShots(Ebullet);
   played.clear();
}

void GameTest::TearDown()
{
   if (saved_tiles_) {
      tiles = saved_tiles_;
      tilecount = saved_tilecount_;
      PrepareTiles();
      for (BITMAP *b : test_bitmaps_)
         destroy_bitmap(b);
   }
   HeadlessTest::TearDown();
}

void GameTest::GroundRow(int row, int from_col, int to_col)
{
   for (int c = from_col; c <= to_col; c++)
      Solid(c, row);
}

std::vector<const SAMPLE *> GameTest::Sounds()
{
   std::vector<const SAMPLE *> s;
   for (const PlayedSample &p : played)
      s.push_back(p.sample);
   return s;
}

void GameTest::StandOnRow(int x, int row)
{
   GroundRow(row, 0, kMapCols - 1);
   Pl.x = x;
   Pl.y = row * kTileSize - kBodyH;   // feet exactly on the ground's top edge
   Pl.onground = 1;
}

void GameTest::WriteLevels()
{
   EnterTempDir();
   for (int i = kFirstLevel; i <= kLastLevel; i++)
      ASSERT_EQ(WriteMapFile(level[i], map), MAPFILE_OK);
}

void GameTest::UseTestTiles()
{
   for (int i = 0; i < 4; i++) {
      test_bitmaps_[i] = create_bitmap(kTileSize, kTileSize);
      clear_bitmap(test_bitmaps_[i]);
      test_tiles_[i] = {test_bitmaps_[i], DAT_BITMAP, 0, nullptr};
   }
   rectfill(test_bitmaps_[1], 0, 0, kTileSize - 1, kTileSize - 1, kColourA);
   rectfill(test_bitmaps_[2], 0, 0, kTileSize - 1, kTileSize / 2 - 1, kColourB);
   rectfill(test_bitmaps_[3], 0, 0, 7, 7, kColourC);
   test_tiles_[4] = {nullptr, DAT_END, 0, nullptr};
   saved_tiles_ = tiles;
   saved_tilecount_ = tilecount;
   tiles = test_tiles_;
   tilecount = 4;
   PrepareTiles();
}
