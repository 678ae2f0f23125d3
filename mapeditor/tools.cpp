#include "tools.h"

#include <algorithm>

#include "edit.h"
#include "history.h"
#include "main.h"

constexpr int kToolTextX = 380;
constexpr int kCellTextY = 170;
constexpr int kToolTextY = 180;
constexpr int kViewBottom = kViewRows * kTileSize - 1;
constexpr int kLayerCells = kMapCols * kMapRows;

static const char *const kToolNames[] = {"paint", "rectangle", "fill", "select"};

// The drag of the left button a tool owns, from press to release.
static HeldTool drag_tool = TOOL_PAINT;
static int drag_col, drag_row;   // the cell where the button went down
static int drag_end_col, drag_end_row;   // the last map cell it was over
static bool left_was_down = false;

static bool selected = false;
static int sel_col1, sel_row1, sel_col2, sel_row2;

// All four layers of the copied block, kept in place of a map of its own
// size, so a paste never allocates.
static MapGrid clip;
static int clip_cols = 0;
static int clip_rows = 0;

static bool copy_held = false, cut_held = false, paste_held = false, delete_held = false;

static bool wheel_known = false;
static int wheel_z = 0;

// Flood fill's cells still to visit, one per map cell at most.
static int fill_stack[kLayerCells];

template <typename Change> static void AsOneStep(Change change)
{
   EndStep();
   BeginStep();
   change();
   EndStep();
}

static bool ShiftHeld()
{
   return key[KEY_LSHIFT] || key[KEY_RSHIFT];
}

HeldTool ToolHeld()
{
   if (ShiftHeld())
      return TOOL_SELECT;
   if (key[KEY_R])
      return TOOL_RECTANGLE;
   return key[KEY_F] ? TOOL_FILL : TOOL_PAINT;
}

const char *ToolName(HeldTool tool)
{
   return kToolNames[tool];
}

int PaintButtons()
{
   int buttons = mouse_b & (kLeftButton | kRightButton);
   if (drag_tool != TOOL_PAINT || ToolHeld() != TOOL_PAINT)
      buttons &= ~kLeftButton;
   return buttons;
}

// The map cell under the view's mouse area, as the design's painting finds it.
static bool MouseCell(int *col, int *row)
{
   int mx = mouse_x, my = mouse_y;
   if (mx < 0 || my < 0 || mx > kViewMouseRight || my > kViewMouseBottom)
      return false;
   *col = xoffset + mx / kTileSize;
   *row = yoffset + my / kTileSize;
   return MapCellInside(kGroundLayer, *col, *row);
}

static void Order(int *a1, int *b1, int *a2, int *b2)
{
   if (*a1 > *a2)
      std::swap(*a1, *a2);
   if (*b1 > *b2)
      std::swap(*b1, *b2);
}

// Corners ordered and kept within the map; false when nothing is left.
static bool ClipToMap(int *col1, int *row1, int *col2, int *row2)
{
   Order(col1, row1, col2, row2);
   *col1 = std::max(*col1, 0);
   *row1 = std::max(*row1, 0);
   *col2 = std::min(*col2, kMapCols - 1);
   *row2 = std::min(*row2, kMapRows - 1);
   return *col1 <= *col2 && *row1 <= *row2;
}

void FillRectangle(int l, int col1, int row1, int col2, int row2, int value)
{
   if (l < 0 || l >= kMapLayers || !ClipToMap(&col1, &row1, &col2, &row2))
      return;
   AsOneStep([&] {
      for (int c = col1; c <= col2; c++)
         for (int r = row1; r <= row2; r++)
            map[l][c][r] = (unsigned short)value;
   });
}

int FloodFill(int l, int col, int row, int value)
{
   if (!MapCellInside(l, col, row))
      return 0;
   unsigned short *cells = &map[l][0][0];   // column by column: cell = col * rows + row
   const unsigned short from = cells[col * kMapRows + row];
   const unsigned short to = (unsigned short)value;
   if (from == to)
      return 0;
   int changed = 0;
   AsOneStep([&] {
      // Each cell takes the new value as it is pushed, so none is pushed twice.
      int top = 0;
      fill_stack[top++] = col * kMapRows + row;
      cells[col * kMapRows + row] = to;
      while (top > 0) {
         int cell = fill_stack[--top];
         changed++;
         int c = cell / kMapRows, r = cell % kMapRows;
         if (c > 0 && cells[cell - kMapRows] == from)
            cells[fill_stack[top++] = cell - kMapRows] = to;
         if (c < kMapCols - 1 && cells[cell + kMapRows] == from)
            cells[fill_stack[top++] = cell + kMapRows] = to;
         if (r > 0 && cells[cell - 1] == from)
            cells[fill_stack[top++] = cell - 1] = to;
         if (r < kMapRows - 1 && cells[cell + 1] == from)
            cells[fill_stack[top++] = cell + 1] = to;
      }
   });
   return changed;
}

void SelectCells(int col1, int row1, int col2, int row2)
{
   selected = ClipToMap(&col1, &row1, &col2, &row2);
   sel_col1 = col1;
   sel_row1 = row1;
   sel_col2 = col2;
   sel_row2 = row2;
}

void ClearSelection()
{
   selected = false;
}

bool CopySelection()
{
   if (!selected)
      return false;
   clip_cols = sel_col2 - sel_col1 + 1;
   clip_rows = sel_row2 - sel_row1 + 1;
   for (int l = 0; l < kMapLayers; l++)
      for (int c = 0; c < clip_cols; c++)
         for (int r = 0; r < clip_rows; r++)
            clip[l][c][r] = map[l][sel_col1 + c][sel_row1 + r];
   return true;
}

bool DeleteSelection()
{
   if (!selected)
      return false;
   AsOneStep([] {
      for (int l = 0; l < kMapLayers; l++)
         for (int c = sel_col1; c <= sel_col2; c++)
            for (int r = sel_row1; r <= sel_row2; r++)
               map[l][c][r] = 0;
   });
   return true;
}

bool CutSelection()
{
   return CopySelection() && DeleteSelection();
}

bool PasteAt(int col, int row)
{
   if (clip_cols == 0)
      return false;
   int cols = std::min(clip_cols, kMapCols - col);
   int rows = std::min(clip_rows, kMapRows - row);
   int first_col = std::max(0, -col), first_row = std::max(0, -row);
   AsOneStep([&] {
      for (int l = 0; l < kMapLayers; l++)
         for (int c = first_col; c < cols; c++)
            for (int r = first_row; r < rows; r++)
               map[l][col + c][row + r] = clip[l][c][r];
   });
   return true;
}

int ClipboardCols()
{
   return clip_cols;
}

int ClipboardRows()
{
   return clip_rows;
}

// The left button's drag: a rectangle or a selection follows the mouse and
// a fill acts once, when the button goes down on a cell.
static void LeftDrag()
{
   bool left = mouse_b & kLeftButton;
   int col, row;
   bool on_cell = MouseCell(&col, &row);
   if (left && !left_was_down && on_cell && ToolHeld() != TOOL_PAINT) {
      drag_tool = ToolHeld();
      drag_col = drag_end_col = col;
      drag_row = drag_end_row = row;
      if (drag_tool == TOOL_FILL)
         FloodFill(layer, col, row, tile & 0xFFFF);
   }
   left_was_down = left;
   if (drag_tool == TOOL_PAINT)
      return;
   if (left && on_cell) {
      drag_end_col = col;
      drag_end_row = row;
   }
   if (drag_tool == TOOL_SELECT)
      SelectCells(drag_col, drag_row, drag_end_col, drag_end_row);
   if (left)
      return;
   if (drag_tool == TOOL_RECTANGLE)
      FillRectangle(layer, drag_col, drag_row, drag_end_col, drag_end_row, tile & 0xFFFF);
   drag_tool = TOOL_PAINT;
}

// Turning toward the user (down) moves the view down the map, or with
// Shift to the right; the design's scroll limits hold.
static void Wheel()
{
   int z = mouse_z;
   int down = wheel_known ? wheel_z - z : 0;
   wheel_known = true;
   wheel_z = z;
   if (down == 0)
      return;
   if (ShiftHeld())
      xoffset = std::min(std::max(xoffset + down, 0), kMaxXoffset);
   else
      yoffset = std::min(std::max(yoffset + down, 0), kMaxYoffset);
}

// True once per press of Ctrl+k, as undo and redo are.
static bool CtrlPress(int k, bool *held)
{
   bool down = CtrlHeld() && key[k];
   bool pressed = down && !*held;
   *held = down;
   return pressed;
}

static void PasteKey()
{
   int col, row;
   if (CtrlPress(KEY_V, &paste_held) && MouseCell(&col, &row))
      PasteAt(col, row);
}

void EditTools()
{
   LeftDrag();
   int col, row;
   if ((mouse_b & kMiddleButton) && MouseCell(&col, &row) && MapCellInside(layer, col, row))
      tile = map[layer][col][row];
   Wheel();
   if (CtrlPress(KEY_C, &copy_held))
      CopySelection();
   if (CtrlPress(KEY_X, &cut_held))
      CutSelection();
   bool del = key[KEY_DEL];
   if (del && !delete_held)
      DeleteSelection();
   delete_held = del;
   PasteKey();
}

void EnemyTools()
{
   PasteKey();
}

void StartTools()
{
   drag_tool = TOOL_PAINT;
   left_was_down = mouse_b & kLeftButton;
   wheel_known = false;
}

// A frame around map cells, clipped to the view's cells.
static void FrameCells(int col1, int row1, int col2, int row2, int colour)
{
   set_clip_rect(buffer, 0, 0, kViewMouseRight, kViewBottom);
   DrawRect(buffer, (col1 - xoffset) * kTileSize, (row1 - yoffset) * kTileSize,
            (col2 - xoffset + 1) * kTileSize - 1, (row2 - yoffset + 1) * kTileSize - 1, colour);
   set_clip_rect(buffer, 0, 0, buffer->w - 1, buffer->h - 1);
}

void DrawTools()
{
   if (drag_tool == TOOL_RECTANGLE) {
      int c1 = drag_col, r1 = drag_row, c2 = drag_end_col, r2 = drag_end_row;
      Order(&c1, &r1, &c2, &r2);
      // Pictured as the view will show the cells once placed: no enemy is no picture.
      bool enemies = layer == kEnemyLayer;
      for (int c = std::max(c1, xoffset); c <= std::min(c2, xoffset + kViewCols - 1); c++)
         for (int r = std::max(r1, yoffset); r <= std::min(r2, yoffset + kViewRows - 1); r++)
            if (!enemies || (tile & 0xFFFF) != 0)
               DrawObject(enemies ? enemy : tiles, enemies ? enemycount : tilecount, tile & 0xFFFF,
                          (c - xoffset) * kTileSize, (r - yoffset) * kTileSize);
      FrameCells(c1, r1, c2, r2, white);
   }
   if (selected)
      FrameCells(sel_col1, sel_row1, sel_col2, sel_row2, white);
   int col, row;
   if (MouseCell(&col, &row))
      textprintf_ex(buffer, font, kToolTextX, kCellTextY, grey, kTextBackground, "Cell: %d,%d",
                    col, row);
   HeldTool tool = drag_tool != TOOL_PAINT ? drag_tool : ToolHeld();
   textprintf_ex(buffer, font, kToolTextX, kToolTextY, grey, kTextBackground, "Tool: %s",
                 ToolName(tool));
}
