#include "editor_fixture.h"

#include <string>

#include "edit.h"
#include "main.h"

class EditTest : public EditorTest {};

constexpr int kOutlinePixels = 4 * 32 - 4;   // a 32 x 32 outline
constexpr int kNoReaction = -1;

TEST_F(EditTest, MapViewReactsDownToY199Only)
{
   struct Probe { int x, y, col, row; };
   const Probe probes[] = {
      {0, 0, 0, 0},  {319, 0, 9, 0},  {31, 195, 0, 6}, {319, 199, 9, 6},
      {0, 200, kNoReaction, 0}, {100, 223, kNoReaction, 0}, {320, 0, kNoReaction, 0},
      {639, 100, kNoReaction, 0}, {100, 299, kNoReaction, 0},
   };
   xoffset = 3;
   yoffset = 2;
   tile = 7;
   for (const Probe &p : probes) {
      SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
      ClearMap();
      Click(p.x, p.y, kLeftButton);
      if (p.col == kNoReaction) {
         EXPECT_EQ(FilledCells(), 0);
         EXPECT_TRUE(Blank(buffer, 0, 0, kScreenW - 1, kScreenH - 1));
         continue;
      }
      EXPECT_EQ(map[kGroundLayer][3 + p.col][2 + p.row], 7);
      EXPECT_EQ(FilledCells(), 1);
      EXPECT_EQ(CountColour(buffer, 32 * p.col, 32 * p.row, 32 * p.col + 31, 32 * p.row + 31, red),
                kOutlinePixels);
   }
}

TEST_F(EditTest, PalettePicksBandsTwelvePixelsAboveTheDrawnRows)
{
   struct Probe { int x, y, value; };
   const Probe probes[] = {
      {0, 300, 0},   {319, 310, 9},  {5, 319, 0},   {5, 320, 10},  {40, 325, 11},
      {0, 351, 10},  {0, 352, 20},   {0, 415, 30},  {0, 416, 40},  {319, 430, 49},
      {0, 299, kNoReaction}, {0, 431, kNoReaction}, {320, 300, kNoReaction}, {0, 459, kNoReaction},
   };
   for (const Probe &p : probes) {
      SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
      tile = 3;
      Click(p.x, p.y, kLeftButton);
      if (p.value == kNoReaction) {
         EXPECT_EQ(tile, 3);
         EXPECT_TRUE(Blank(buffer, 0, 0, kScreenW - 1, kScreenH - 1));
         continue;
      }
      EXPECT_EQ(tile, p.value);
      int x = 32 * (p.value % 10), y = 300 + 32 * (p.value / 10);
      EXPECT_EQ(CountColour(buffer, x, y, x + 31, y + 31, white), kOutlinePixels);
      EXPECT_TRUE(ShowsText(buffer, 0, 276, ("tile: " + std::to_string(p.value)).c_str(), grey));
   }
   Click(40, 325, 0);   // hovering highlights but picks nothing
   EXPECT_EQ(tile, 3);
   EXPECT_EQ(CountColour(buffer, 32, 332, 63, 363, white), kOutlinePixels);
}

TEST_F(EditTest, ButtonsWriteAndReadTheChosenLayerOnly)
{
   xoffset = 190;   // the view's last cell is the map's last cell
   yoffset = 43;
   for (int l = 0; l < kMapLayers; l++) {
      layer = l;
      tile = 10 + l;
      Click(319, 199, kLeftButton);
      EXPECT_EQ(map[l][199][49], 10 + l);
   }
   EXPECT_EQ(FilledCells(), kMapLayers);

   layer = 1;
   Click(319, 199, kRightButton);
   EXPECT_EQ(map[1][199][49], 11);   // right only reads
   EXPECT_TRUE(ShowsText(buffer, 0, 250, "TILE VALUE: 11", grey));
   map[1][199][49] = 65535;
   Click(319, 199, kRightButton);
   EXPECT_TRUE(ShowsText(buffer, 0, 250, "TILE VALUE: 65535", grey));

   Click(319, 199, kLeftButton | kRightButton);
   EXPECT_EQ(map[1][199][49], 13);
   EXPECT_TRUE(ShowsText(buffer, 0, 250, "TILE VALUE: 13", grey));
}

TEST_F(EditTest, CellsPastTheMapEdgeShowNothingAndTakeNoClick)
{
   for (int l = 0; l < kMapLayers; l++)
      for (int c = 0; c < kMapCols; c++)
         for (int r = 0; r < kMapRows; r++)
            map[l][c][r] = 1;
   tile = 5;
   xoffset = kMaxXoffset;
   yoffset = kMaxYoffset;
   UpdateMap();
   EXPECT_TRUE(Blank(buffer, 0, 0, kScreenW - 1, kScreenH - 1));
   for (int y = 0; y <= 199; y += 33)
      for (int x = 0; x <= 319; x += 33) {
         Click(x, y, kLeftButton | kRightButton);
         EXPECT_TRUE(Blank(buffer, 0, 0, kScreenW - 1, kScreenH - 1));
      }
   EXPECT_EQ(FilledCells(), kMapCells);

   xoffset = 195;   // view columns 0-4 inside, 5-9 past the edge
   yoffset = 45;    // rows 0-4 inside, 5-6 past the edge
   clear_bitmap(buffer);
   UpdateMap();
   EXPECT_TRUE(ShowsImage(buffer, 4 * 32, 4 * 32, tiles, 1));
   EXPECT_TRUE(Blank(buffer, 5 * 32, 0, 319, 223));
   EXPECT_TRUE(Blank(buffer, 0, 5 * 32, 319, 223));
   Click(5 * 32, 0, kLeftButton);
   EXPECT_EQ(map[0][199][45], 1);
   Click(4 * 32 + 31, 4 * 32 + 31, kLeftButton);
   EXPECT_EQ(map[0][199][49], 5);
}

TEST_F(EditTest, ViewDrawsLayersInOrderAndOnlyValuesWithPictures)
{
   map[kGroundLayer][0][0] = 1;
   map[kEnemyLayer][1][0] = 1;
   map[kEnemyLayer][2][0] = 49;            // no such enemy picture
   map[kBackgroundLayer][3][0] = 65535;    // no such tile picture
   map[kGroundLayer][4][0] = 1;
   map[kItemLayer][4][0] = 49;
   UpdateMap();
   EXPECT_TRUE(ShowsImage(buffer, 0, 0, tiles, 1));
   EXPECT_TRUE(ShowsImage(buffer, 32, 0, enemy, 1));
   EXPECT_TRUE(Blank(buffer, 64, 0, 127, 31));   // tile 0 is all mask; 0 on layer 2 is skipped
   EXPECT_TRUE(ShowsImage(buffer, 128, 0, tiles, 49));
   EXPECT_FALSE(ShowsImage(buffer, 128, 0, tiles, 1));
}

// Holds `k` alone for `passes` passes of the edit loop.
static void Hold(int k, int passes)
{
   key[k] = 1;
   for (int i = 0; i < passes; i++)
      EditPass();
   key[k] = 0;
}

TEST_F(EditTest, ScrollKeysStopAtTheMapSizeAndPauseOnlyWhenMoving)
{
   Hold(KEY_LEFT, 1);
   Hold(KEY_UP, 1);
   EXPECT_TRUE(pauses.empty());
   xoffset = 199;
   yoffset = 49;
   Hold(KEY_RIGHT, 2);
   Hold(KEY_DOWN, 2);
   EXPECT_EQ(xoffset, 200);
   EXPECT_EQ(yoffset, 50);
   EXPECT_EQ(pauses, std::vector<unsigned>({100, 100}));
   Hold(KEY_HOME, 1);
   Hold(KEY_PGUP, 1);
   EXPECT_EQ(xoffset + yoffset, 0);
   Hold(KEY_END, 1);
   Hold(KEY_PGDN, 1);
   EXPECT_EQ(xoffset, 200);
   EXPECT_EQ(yoffset, 50);
   EXPECT_EQ(pauses.size(), 2u);   // jumps do not pause
}

TEST_F(EditTest, DigitKeysChooseTheLayerAndCEmptiesThemAll)
{
   const int keys[] = {KEY_1, KEY_2, KEY_3, KEY_4};
   const char *names[] = {"Your editing GROUND layer", "Your editing BACKGROUND layer",
                          "Your editing ENEMY layer", "Your editing ITEM/EXIT layer"};
   for (int l = kMapLayers - 1; l >= 0; l--) {
      Hold(keys[l], 1);
      EXPECT_EQ(layer, l);
      EditPass();
      EXPECT_TRUE(ShowsText(screen, 380, 130, names[l], white));
   }
   Hold(KEY_4_PAD, 1);   // only the main keyboard's digits count
   EXPECT_EQ(layer, 0);

   FillPattern();
   xoffset = 3;
   tile = 9;
   Hold(KEY_C, 1);
   EXPECT_EQ(FilledCells(), 0);
   EXPECT_EQ(xoffset, 3);
   EXPECT_EQ(tile, 9);
}

TEST_F(EditTest, PassShowsTheFrameAndTheRateOfPasses)
{
   SetMouse(600, 470, 0);   // keep the highlight off the view
   tile = 12;
   xoffset = 17;
   map[kGroundLayer][17][0] = 1;
   EditPass();
   EXPECT_TRUE(Blank(buffer, 0, 0, kScreenW - 1, kScreenH - 1));
   EXPECT_TRUE(ShowsImage(screen, 0, 0, tiles, 1));
   EXPECT_TRUE(ShowsImage(screen, 288, 428, tiles, 49));   // last palette cell
   EXPECT_TRUE(ShowsImage(screen, 450, 50, tiles, 12));
   EXPECT_TRUE(ShowsText(screen, 380, 0, "FRAMES / SECOND: 0", grey));
   EXPECT_TRUE(ShowsText(screen, 380, 100, "Xoffset: 17", grey));
   EXPECT_TRUE(ShowsText(screen, 380, 150, "Current Selected Tile #12", grey));
   EditPass();
   EditPass();
   FPS();
   EXPECT_EQ(counter, 0);
   EditPass();
   EXPECT_TRUE(ShowsText(screen, 380, 0, "FRAMES / SECOND: 3", grey));
}
