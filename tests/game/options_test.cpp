// A map file named on the command line, played alone. (The parsing is
// checked on the real program by a CTest of its command line.)

#include "game_test.h"

#include "draw.h"

namespace {

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

}  // namespace
