// The command line: a map file played alone, and the window and sound
// options. (The rest of the parsing is checked on the real program by a CTest.)

#include "game_test.h"

#include "draw.h"

#include <vector>

namespace {

OptionsResult Parse(std::vector<const char *> args, GameOptions *o)
{
   args.insert(args.begin(), "game");
   const char *error = nullptr;
   return ParseGameOptions(static_cast<int>(args.size()), const_cast<char **>(args.data()), o,
                           &error);
}

using OneMapTest = GameTest;

// The named file is played from the usual start, its death restarts it, and
// F1 on its level-complete screen ends the game instead of going on.
TEST_F(OneMapTest, PlaysTheNamedFileAloneRestartsItAndEndsAfterItsExit)
{
   map[kItemLayer][0][0] = 7;          // the level order's files hold 7
   WriteLevels();
   map[kItemLayer][0][0] = 42;
   map[kItemLayer][5][3] = kExitTile;
   ASSERT_EQ(WriteMapFile("mine.dat", map), MAPFILE_OK);
   options.mapfile = "mine.dat";
   for (auto &col : map[kItemLayer])
      for (auto &cell : col)
         cell = 0;
   Pl.x = 99;
   Pl.life = 3;

   StartPlay();
   EXPECT_EQ(map[kItemLayer][0][0], 42);
   EXPECT_EQ(Pl.x + Pl.y + xoffset + yoffset, 0);
   EXPECT_EQ(Pl.life, kPlayerLives);

   Press(KEY_F1);
   map[kItemLayer][0][0] = 0;
   Pl.life = 1;
   Ebullet[0] = {20, 20, 0, 1};
   Pl.CheckForDeath();
   EXPECT_EQ(map[kItemLayer][0][0], 42);
   EXPECT_EQ(quitgame, 0);

   Pl.x = 5 * kTileSize - 16;          // the exit under (x + 16, y + 45)
   Pl.y = 3 * kTileSize - 45;
   Pl.CheckForVictory();
   EXPECT_EQ(quitgame, 1);
   EXPECT_EQ(currentlevel, kFirstLevel);
   EXPECT_EQ(map[kItemLayer][0][0], 42);
   int green = makecol(128, 255, 128);
   EXPECT_GT(CountColour(screen, 0, 100, 319, 117, green), 0);   // the screen was shown
}

TEST(GameOptionsTest, WindowAndSoundOptionsAreReadAndBadScalesRefused)
{
   GameOptions o;
   EXPECT_EQ(o.scale, 1);
   EXPECT_FALSE(o.fullscreen || o.silent || o.version);
   EXPECT_EQ(Parse({"--scale", "4", "--fullscreen", "--no-sound"}, &o), OPTIONS_PLAY);
   EXPECT_EQ(o.scale, 4);
   EXPECT_TRUE(o.fullscreen && o.silent);

   GameOptions v;
   EXPECT_EQ(Parse({"--version"}, &v), OPTIONS_VERSION);
   for (const char *bad : {"0", "5", "2x", "", "-1"}) {
      GameOptions b;
      EXPECT_EQ(Parse({"--scale", bad}, &b), OPTIONS_BAD) << bad;
   }
   GameOptions m;
   EXPECT_EQ(Parse({"--scale"}, &m), OPTIONS_BAD);
}

using StartTest = GameTest;

// The view the scroll's steps of 7 reach, moved only to keep the whole body
// in view and the view in the map; the body's two cells must be free.
TEST_F(StartTest, PlacesThePlayerAtTheCellWithTheViewItsScrollingShows)
{
   const int cases[][4] = {{0, 0, 0, 0},    {12, 3, 7, 0},      {30, 6, 28, 1},
                           {20, 13, 14, 8}, {196, 48, 190, 43}, {199, 49, 190, 43}};
   for (const auto &c : cases) {
      PlaceAtStart(c[0], c[1]);
      EXPECT_EQ(xoffset * 1000 + yoffset, c[2] * 1000 + c[3]) << c[0] << "," << c[1];
      EXPECT_EQ(Pl.x, (c[0] - c[2]) * kTileSize);
      EXPECT_EQ(Pl.y, (c[1] - c[3]) * kTileSize);
   }
   Solid(40, 11);
   EXPECT_NE(StartRefusal(40, 10), "");     // the body's lower half
   EXPECT_EQ(StartRefusal(40, 9), "");      // ground under the feet is fine
}

// A death on the level the start was given for begins there again; once a
// level is finished, deaths restart as they always do.
TEST_F(StartTest, DeathOnTheStartLevelRestartsAtTheStart)
{
   WriteLevels();
   options.start = true;
   options.startcol = 50;
   options.startrow = 18;
   StartPlay();
   Press(KEY_F1);
   for (int finished : {0, 1}) {
      levelsfinished = finished;
      xoffset = 63;
      Pl.x = 100;
      Pl.life = 1;
      Ebullet[0] = {Pl.x + 20, Pl.y + 20, 0, 1};
      Pl.CheckForDeath();
      EXPECT_EQ(xoffset, finished ? 63 : 49);
      EXPECT_EQ(Pl.x, finished ? 0 : kTileSize);
   }
}

using SilentGameTest = GameTest;

// A silent game needs no sound file at all and plays nothing.
TEST_F(SilentGameTest, LoadsNoSampleOrTuneAndPlaysNothing)
{
   std::string run = RunDir();
   EnterTempDir();
   for (const char *name : {"tiles.dat", "pal.dat", "pwalk.dat", "enemy.dat", "border.bmp"})
      ASSERT_EQ(system(("cp " + run + "/" + name + " .").c_str()), 0);
   SAMPLE **sounds[] = {&fires, &hit, &dies, &jumps, &congrats, &aou, &omgdied};
   SAMPLE *kept[7];
   MIDI *tune = song;
   for (int i = 0; i < 7; i++)
      kept[i] = *sounds[i], *sounds[i] = nullptr;
   song = nullptr;

   options.silent = true;
   LoadAssets();
   EXPECT_EQ(song, nullptr);
   for (SAMPLE **s : sounds)
      EXPECT_EQ(*s, nullptr);
   PlaySound(jumps);
   Pl.Fire();
   EXPECT_TRUE(played.empty());

   song = tune;
   for (int i = 0; i < 7; i++)
      *sounds[i] = kept[i];
}

}  // namespace
