// The designer's tools through the edit pass: what each does to the map and
// to the history, and the whole-map overview's colours and clicks.

#include "editor_fixture.h"

#include <cstring>

#include "edit.h"
#include "enemy.h"
#include "history.h"
#include "main.h"
#include "overview.h"
#include "tools.h"

namespace {

class ToolsTest : public EditorTest {
 protected:
   void SetUp() override
   {
      EditorTest::SetUp();
      mouse_z = 0;
      ClearSelection();
      StartTools();
   }

   // One pass with the mouse over view cell (c, r).
   static void At(int c, int r, int buttons, void (*pass)() = EditPass)
   {
      SetMouse(c * 32 + 5, r * 32 + 5, buttons);
      pass();
   }

   static void CtrlKey(int k, void (*pass)() = EditPass)
   {
      Press(KEY_LCONTROL);
      Press(k);
      pass();
      ReleaseAllKeys();
      pass();
   }
};

TEST_F(ToolsTest, RectangleOnReleaseAndFloodFillAreOneStepEachAndPaintNothingElse)
{
   tile = 4;
   Press(KEY_R);
   At(3, 1, kLeftButton);
   At(1, 2, kLeftButton);
   EXPECT_EQ(FilledCells(), 0);              // shown while dragging, not placed
   Release(KEY_R);                           // the drag keeps the button to the end
   At(0, 4, kLeftButton);
   At(0, 4, 0);
   EXPECT_EQ(FilledCells(), 4 * 4);
   EXPECT_EQ(map[kGroundLayer][0][1] + map[kGroundLayer][3][4], 8);
   EXPECT_EQ(UndoSteps(), 1);

   // A wall across the map stops the fill; diagonal neighbours are not joined.
   for (int c = 0; c < kMapCols; c++)
      map[kGroundLayer][c][10] = 9;
   map[kGroundLayer][0][10] = 0;             // joined to (1, 9) by a corner only
   map[kGroundLayer][0][9] = 9;
   ClearHistory();
   tile = 6;
   Press(KEY_F);
   At(9, 0, kLeftButton);
   At(9, 0, 0);
   EXPECT_EQ(map[kGroundLayer][199][8], 6);
   EXPECT_EQ(map[kGroundLayer][2][2], 4);    // the rectangle holds another value
   EXPECT_EQ(map[kGroundLayer][0][10], 0);
   EXPECT_EQ(map[kGroundLayer][5][11], 0);
   EXPECT_EQ(UndoSteps(), 1);
   At(9, 0, kLeftButton);                    // the value already there: no step
   At(9, 0, 0);
   EXPECT_EQ(UndoSteps(), 1);
   ReleaseAllKeys();
   ASSERT_TRUE(Undo());
   EXPECT_EQ(map[kGroundLayer][199][8], 0);
   EXPECT_EQ(FloodFill(kGroundLayer, 199, 49, 1), 200 * 39 + 1);   // the part below the wall
}

TEST_F(ToolsTest, SelectionCopiesAllFourLayersAndEachChangeIsOneStep)
{
   FillPattern();
   Press(KEY_LSHIFT);
   At(2, 1, kLeftButton);
   At(4, 3, kLeftButton);
   At(4, 3, 0);
   ReleaseAllKeys();
   EXPECT_EQ(UndoSteps(), 0);               // the drag painted nothing

   MapGrid before;
   memcpy(before, map, sizeof map);
   CtrlKey(KEY_C);                           // with Ctrl, C copies and does not clear
   EXPECT_EQ(memcmp(before, map, sizeof map), 0);
   EXPECT_EQ(ClipboardCols() * ClipboardRows(), 9);

   CtrlKey(KEY_X);
   EXPECT_EQ(map[kEnemyLayer][3][2], 0);
   EXPECT_EQ(map[kItemLayer][4][3], 0);
   EXPECT_EQ(map[kGroundLayer][5][3], before[kGroundLayer][5][3]);
   EXPECT_EQ(UndoSteps(), 1);

   // The copy survives a clear; a paste at the map's corner drops the rest.
   RecordStep(ClearMap);
   xoffset = kMapCols - 2;
   yoffset = kMapRows - 1;
   SetMouse(37, 5, 0);
   CtrlKey(KEY_V);
   EXPECT_EQ(FilledCells(), 4);
   for (int l = 0; l < kMapLayers; l++)
      EXPECT_EQ(map[l][kMapCols - 1][kMapRows - 1], before[l][2][1]) << l;
   EXPECT_EQ(UndoSteps(), 3);
   ASSERT_TRUE(Undo());
   EXPECT_EQ(FilledCells(), 0);

   // Enemy placement pastes too.
   xoffset = yoffset = 0;
   SetMouse(5, 5, 0);
   CtrlKey(KEY_V, EnemyPass);
   EXPECT_EQ(map[kGroundLayer][0][0], before[kGroundLayer][2][1]);
   EXPECT_EQ(map[kEnemyLayer][2][2], before[kEnemyLayer][4][3]);
}

TEST_F(ToolsTest, OverviewShowsTheTopMostLayerFramesTheViewAndMovesIt)
{
   map[kBackgroundLayer][10][1] = 5;
   map[kGroundLayer][11][1] = 5;
   map[kBackgroundLayer][11][1] = 7;         // ground covers background
   map[kGroundLayer][12][1] = 5;
   map[kEnemyLayer][12][1] = 1;
   map[kEnemyLayer][13][1] = 1;
   map[kItemLayer][13][1] = 5;               // an item covers an enemy start
   map[kItemLayer][14][1] = kExitValue;
   xoffset = 40;
   yoffset = 20;
   SetMouse(600, 470, 0);
   EditPass();
   const int expected[] = {OverviewColour(10, 1), OverviewColour(10, 1), red,
                           OverviewColour(10, 1), makecol(255, 255, 0), 0};
   EXPECT_NE(expected[0], 0);
   for (int i = 0; i < 6; i++)
      EXPECT_EQ(getpixel(screen, kOverviewX + 10 + i, kOverviewY + 1), expected[i]) << i;
   EXPECT_EQ(CountColour(screen, kOverviewX + 39, kOverviewY + 19, kOverviewX + 50,
                         kOverviewY + 27, white), 2 * 12 + 2 * 9 - 4);

   SetMouse(kOverviewX + 2, kOverviewY + 30, kLeftButton);
   EditPass();
   EXPECT_EQ(xoffset, 0);
   EXPECT_EQ(yoffset, 27);
   SetMouse(kOverviewX + 199, kOverviewY + 49, kLeftButton);
   EnemyPass();
   EXPECT_EQ(xoffset, 194);
   EXPECT_EQ(yoffset, 46);
   EXPECT_EQ(FilledCells(), 8);
}

}  // namespace
