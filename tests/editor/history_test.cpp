// Undo and redo through the editor's own passes: strokes, a clear, a load,
// enemy placement, and the bounds of the history.

#include "editor_fixture.h"

#include "edit.h"
#include "enemy.h"
#include "history.h"
#include "main.h"
#include "options.h"
#include "saveload.h"

namespace {

class HistoryTest : public EditorTest {
 protected:
   // Ctrl+key pressed for one pass of `pass`, then released for one.
   static void CtrlKey(int k, void (*pass)() = EditPass)
   {
      Press(KEY_LCONTROL);
      Press(k);
      pass();
      Release(k);
      Release(KEY_LCONTROL);
      pass();
   }

   // A stroke through view cells (c, r), one pass each, then the release.
   static void Stroke(std::initializer_list<std::pair<int, int>> cells, void (*pass)() = EditPass)
   {
      for (auto cell : cells) {
         SetMouse(cell.first * 32 + 5, cell.second * 32 + 5, kLeftButton);
         pass();
      }
      SetMouse(600, 470, 0);
      pass();
   }
};

TEST_F(HistoryTest, CtrlZWalksBackThroughStrokesAClearAndALoadAndCtrlYForward)
{
   EnterTempDir();
   map[kGroundLayer][50][5] = 33;
   ASSERT_EQ(WriteMapFile(kEditorMapFile, map), MAPFILE_OK);
   ClearMap();

   tile = 4;
   Stroke({{0, 0}, {1, 0}, {1, 1}, {1, 1}});
   EXPECT_EQ(UndoSteps(), 1);               // one stroke, however many cells
   tile = 6;
   layer = kItemLayer;
   Stroke({{3, 2}});
   Press(KEY_C);
   EditPass();                               // held: the second clear changes nothing
   EditPass();
   Release(KEY_C);
   Press(KEY_F8);
   HelpPass();
   Release(KEY_F8);
   EXPECT_EQ(UndoSteps(), 4);
   EXPECT_EQ(map[kGroundLayer][50][5], 33);

   // Filled cells after undoing the load, the clear, stroke 2, stroke 1.
   const int filled_after[] = {1, 0, 4, 3, 0};
   for (int undone = 1; undone <= 4; undone++) {
      CtrlKey(KEY_Z);
      EXPECT_EQ(FilledCells(), filled_after[undone]) << undone;
   }
   EXPECT_EQ(map[kGroundLayer][0][0], 0);
   CtrlKey(KEY_Z);                           // nothing left: nothing happens
   EXPECT_EQ(RedoSteps(), 4);

   CtrlKey(KEY_Y);
   CtrlKey(KEY_Y);
   EXPECT_EQ(map[kGroundLayer][1][1], 4);
   EXPECT_EQ(map[kItemLayer][3][2], 6);
   CtrlKey(KEY_Y);
   EXPECT_EQ(FilledCells(), 0);
   CtrlKey(KEY_Y);
   EXPECT_EQ(map[kGroundLayer][50][5], 33);
   EXPECT_EQ(FilledCells(), 1);
   EXPECT_EQ(layer, kItemLayer);             // only the map goes back and forth
   EXPECT_EQ(tile, 6);

   // Held, Ctrl+Z undoes once; a new change then drops the redo steps.
   Press(KEY_LCONTROL);
   Press(KEY_Z);
   for (int pass = 0; pass < 5; pass++)
      EditPass();
   ReleaseAllKeys();
   EXPECT_EQ(RedoSteps(), 1);
   tile = 1;
   Stroke({{5, 5}});
   EXPECT_EQ(RedoSteps(), 0);
}

TEST_F(HistoryTest, EnemyPlacementIsAStepAndCtrlZLeavesTheEnemyValueAlone)
{
   tile = 1;
   layer = kEnemyLayer;
   Stroke({{2, 3}}, EnemyPass);
   EXPECT_EQ(map[kEnemyLayer][2][3], 1);
   CtrlKey(KEY_Z, EnemyPass);
   EXPECT_EQ(map[kEnemyLayer][2][3], 0);
   EXPECT_EQ(tile, 1);                       // Z with Ctrl is undo only
   Press(KEY_Z);
   EnemyPass();
   EXPECT_EQ(tile, 0);
   ReleaseAllKeys();
   CtrlKey(KEY_Y, EnemyPass);
   EXPECT_EQ(map[kEnemyLayer][2][3], 1);
}

TEST_F(HistoryTest, KeepsTheNewest1000StepsAndBoundsTheCellsStored)
{
   for (int i = 0; i <= kMaxUndoSteps; i++) {
      BeginStep();
      map[kGroundLayer][i % kMapCols][i / kMapCols] = 1;
      EndStep();
   }
   EXPECT_EQ(UndoSteps(), kMaxUndoSteps);
   while (Undo()) {
   }
   EXPECT_EQ(FilledCells(), 1);              // the very first step was forgotten
   EXPECT_EQ(map[kGroundLayer][0][0], 1);

   // Clearing a full map stores 40,000 cells: far fewer such steps fit.
   ClearHistory();
   for (int i = 0; i < 20; i++) {
      FillPattern();
      RecordStep(ClearMap);
   }
   EXPECT_LE(static_cast<long>(UndoSteps()) * kMapCells, kMaxUndoCells);
   EXPECT_GE(UndoSteps(), 10);
   ASSERT_TRUE(Undo());
   EXPECT_EQ(FilledCells(), kMapCells);

   // The usage states the rule with the numbers the history keeps to.
   char text[1024] = "";
   FILE *usage = fmemopen(text, sizeof text - 1, "w");
   PrintEditorUsage(usage);
   fclose(usage);
   EXPECT_NE(strstr(text, "newest 1000 steps"), nullptr) << text;
   EXPECT_NE(strstr(text, "more than 524288 cells"), nullptr) << text;
}

}  // namespace
