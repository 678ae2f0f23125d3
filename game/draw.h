#ifndef DRAW_H
#define DRAW_H

// Sorts the pictures of "tiles.dat" for drawing; once after they are loaded.
void PrepareTiles();

void DrawToBuffer();
void DrawAll();

#endif
