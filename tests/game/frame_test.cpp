// Frame composition, the view at the map's edges, and level files that cannot be loaded.

#include "game_test.h"

#include <cstdio>
#include <unistd.h>

#include "draw.h"
#include "saveload.h"

namespace {

using FrameTest = GameTest;

TEST_F(FrameTest, LayersZeroOneThreeMaskedInOrderAndEnemyLayerHidden)
{
   UseTestTiles();
   map[kGroundLayer][0][0] = 1;       // solid A under everything
   map[kBackgroundLayer][0][0] = 2;   // B over the top half
   map[kItemLayer][0][0] = 3;         // C over the top-left corner
   map[kEnemyLayer][1][0] = 1;        // never drawn
   map[kGroundLayer][2][0] = 3;       // C alone: the rest stays colour 0
   map[kGroundLayer][3][0] = 7;       // no picture for 7: nothing drawn
   DrawToBuffer();
   EXPECT_EQ(getpixel(buffer, 0, 0), kColourC);
   EXPECT_EQ(getpixel(buffer, 20, 5), kColourB);
   EXPECT_EQ(getpixel(buffer, 20, 20), kColourA);
   EXPECT_EQ(CountColour(buffer, 32, 0, 63, 31, 0), 32 * 32);
   EXPECT_EQ(CountColour(buffer, 64, 0, 71, 7, kColourC), 64);
   EXPECT_EQ(CountColour(buffer, 64, 8, 127, 31, 0), 64 * 24);
}

TEST_F(FrameTest, ViewPastTheMapEdgesShowsColourZero)
{
   UseTestTiles();
   GroundRow(kMapRows - 1, 0, kMapCols - 1);
   for (int r = 0; r < kMapRows; r++)
      Solid(kMapCols - 1, r);
   xoffset = 196;   // view columns 196..205: only 196..199 exist
   yoffset = 43;
   DrawToBuffer();
   EXPECT_EQ(CountColour(buffer, 96, 0, 127, 223, kColourA), 32 * 224);   // column 199
   EXPECT_EQ(CountColour(buffer, 128, 0, 319, 223, 0), 192 * 224);
   EXPECT_EQ(CountColour(buffer, 0, 192, 95, 223, kColourA), 96 * 32);    // row 49
   clear_bitmap(buffer);
   xoffset = 203;
   yoffset = 49;
   DrawToBuffer();
   EXPECT_EQ(CountColour(buffer, 0, 0, 319, 223, 0), 320 * 224);
}

// Past the map's edges nothing is drawn, even where tile 0 has a picture.
TEST_F(FrameTest, ViewCellsPastTheMapDrawNothingEvenWithAVisibleTileZero)
{
   UseTestTiles();
   constexpr int kColourZero = 40;
   clear_to_color(static_cast<BITMAP *>(tiles[0].dat), kColourZero);
   PrepareTiles();
   xoffset = 196;   // view columns 0..3 are map columns 196..199
   yoffset = 49;    // view row 0 is map row 49
   DrawToBuffer();
   EXPECT_EQ(CountColour(buffer, 0, 0, 127, 31, kColourZero), 128 * 32);
   EXPECT_EQ(CountColour(buffer, 128, 0, 319, 31, 0), 192 * 32);
   EXPECT_EQ(CountColour(buffer, 0, 32, 319, 223, 0), 320 * 192);
}

// Far outside the map every probe must stay inside `map` (run under the sanitizers).
TEST_F(FrameTest, PlayAtTheExtremeOffsetsStaysInsideTheMap)
{
   for (auto &layer : map)
      for (auto &col : layer)
         for (auto &cell : col)
            cell = 1;
   for (int off : {196, 203}) {
      xoffset = off;
      yoffset = 49;
      Pl.x = 300;
      Pl.y = 150;
      En.active = 1;
      En.life = kEnemyLife;
      En.x = 321;
      En.y = 200;
      Press(KEY_RIGHT);
      for (int i = 0; i < 40; i++)
         GamePass();
      EXPECT_EQ(yoffset, 49);
      EXPECT_GT(Pl.y, 150 + 30 * 4);   // nothing under the feet out there: still falling
   }
   EXPECT_EQ(xoffset, 203);
}

TEST_F(FrameTest, BorderStripLifeTextAndSpritesOverTiles)
{
   UseTestTiles();
   for (int c = 0; c < kViewCols; c++)
      for (int r = 0; r < kViewRows; r++)
         map[kItemLayer][c][r] = 1;   // even the top layer lies under the sprites
   GamePass();
   int white = makecol(255, 255, 255);
   BITMAP *text = create_bitmap(64, 8);
   textout_ex(text, font, "Life: 10", 0, 0, white, 0);
   int mismatches = 0;
   for (int y = 0; y < 8; y++)
      for (int x = 0; x < 64; x++)
         mismatches += getpixel(screen, x, 230 + y) != getpixel(text, x, y);
   EXPECT_EQ(mismatches, 0);
   destroy_bitmap(text);
   for (int y = 224; y < kScreenH; y++)
      for (int x = 64; x < kScreenW; x++)
         ASSERT_EQ(getpixel(screen, x, y), getpixel(border, x, y - kViewHeightPx)) << x << "," << y;
   EXPECT_LT(CountColour(screen, 0, 0, 31, 50, kColourA), 32 * 51);   // the player covers tiles
   EXPECT_EQ(CountColour(buffer, 0, 0, kScreenW - 1, kScreenH - 1, 0), kScreenW * kScreenH);
}

// A level file the codec rejects ends the game with a message naming it.
TEST_F(FrameTest, UnloadableLevelEndsWithMessageAndStatusOne)
{
   EnterTempDir();
   FILE *f = fopen("map3.dat", "w");
   fputs("not a packed file", f);
   fclose(f);
   for (const char *name : {"map3.dat", "map4.dat"}) {
      EXPECT_EXIT({
         dup2(STDERR_FILENO, STDOUT_FILENO);   // the headless message goes to stdout
         LoadMap(name);
      }, ::testing::ExitedWithCode(1), std::string("Could not load ") + name);
   }
}

}  // namespace
