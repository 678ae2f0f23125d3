#ifndef EDIT_H
#define EDIT_H

#include "drawing.h"
#include "mapfile.h"

// The map view: 10 x 7 cells at the top left of the screen.
constexpr int kViewCols = 10;
constexpr int kViewRows = 7;
constexpr int kViewMouseRight = kViewCols * kTileSize - 1;
// The view's bottom row of cells reacts to the mouse only on its top 8
// pixel rows.
constexpr int kViewMouseBottom = 199;

// The scroll limits are the map's own size, so the view can reach past the
// map's right and bottom edges.
constexpr int kMaxXoffset = kMapCols;
constexpr int kMaxYoffset = kMapRows;
constexpr int kScrollPauseMs = 100;

constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;

// Runs edit mode until Escape is held.
void EditMode();

// One pass of the edit loop: draw, present, then the keys. Leaves out the
// Escape test and the timer request, which EditMode makes.
void EditPass();

void PlaceTileMenu();
void PlaceGrid();
void UpdateMap();
void HighlightMouse();
void TileChoosed();
void DisplayInfo();
void ClearMap();
void Timer();
void FPS();

// If (mx, my) lies in the view's mouse area over a cell inside the map, draws
// the red highlight there and gives that cell's column and row. Cells past the
// map's edge get no highlight and take no click.
bool HighlightViewCell(int mx, int my, int *col, int *row);

#endif
