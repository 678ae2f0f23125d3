#ifndef DRAWING_H
#define DRAWING_H

#include <allegro.h>

// Side of a tile and of a grid box, in pixels.
constexpr int kTileSize = 32;

// Copies buffer to the screen under the mouse pointer, then clears buffer.
void BlitToScreen();

// Outline of the square (x, y)-(x + 32, y + 32), both corners included, so
// boxes placed a tile apart share their edges.
void DrawBox(BITMAP *bmp, int x, int y, int colour);

// Outline of the rectangle with corners (x1, y1) and (x2, y2), both included.
void DrawRect(BITMAP *bmp, int x1, int y1, int x2, int y2, int colour);

// Draws object `value` of a datafile holding `count` objects into buffer at
// (x, y), masked; a value with no picture draws nothing.
void DrawObject(const DATAFILE *d, int count, int value, int x, int y);

// Sorts the pictures of a datafile once, so DrawObject can skip wholly
// transparent ones and copy wholly opaque ones plainly; what lands in
// buffer is exactly what a masked blit leaves.
void PrepareObjects(const DATAFILE *d, int count);

#endif
