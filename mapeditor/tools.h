#ifndef TOOLS_H
#define TOOLS_H

// A level designer's tools on top of the mouse painting: a rectangle (R held
// with the left button), a flood fill (F), a pick (the middle button), a
// selection of all four layers (Shift) with copy, cut, delete and paste, and
// the mouse wheel. Every change to the map is one undo step, and none is
// made when nothing changes.

#include "mapfile.h"

constexpr int kMiddleButton = 4;

// The tool the left button works, from the key held when it went down.
enum HeldTool { TOOL_PAINT, TOOL_RECTANGLE, TOOL_FILL, TOOL_SELECT };

// The tool the keys now held give the left button.
HeldTool ToolHeld();
// Its name, for the information column.
const char *ToolName(HeldTool tool);

// mouse_b as the design's painting sees it: without the left button while a
// tool has it, and the middle button never paints.
int PaintButtons();

// The map operations, on whole map cells. Each is one undo step.
// Fills the rectangle between two corners, on `layer`, with `value`.
void FillRectangle(int layer, int col1, int row1, int col2, int row2, int value);
// Gives `value` to the cells of `layer` joined to (col, row) through their
// four sides that hold the value it holds, across the whole map. Returns the
// number of cells changed.
int FloodFill(int layer, int col, int row, int value);

// The selection: cells of all four layers between two corners.
void SelectCells(int col1, int row1, int col2, int row2);
void ClearSelection();

// The clipboard keeps what it copied until the next copy, whatever happens
// to the map.
bool CopySelection();
bool CutSelection();
bool DeleteSelection();
// The copied block with its top-left cell at (col, row); what falls outside
// the map is dropped. False when nothing was ever copied.
bool PasteAt(int col, int row);
// Columns and rows of the copied block; 0 when there is none.
int ClipboardCols();
int ClipboardRows();

// The mouse and keys of the tools, once a pass after the design's keys:
// in edit mode all of them, in enemy placement only Ctrl+V.
void EditTools();
void EnemyTools();

// Draws the rectangle being dragged and the selection's frame over the view,
// and where the mouse is with the tool held into the information column.
void DrawTools();

// On entering edit mode: a drag left unfinished on another screen is
// dropped, and turns of the wheel made elsewhere scroll nothing.
void StartTools();

#endif
