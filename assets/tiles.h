#ifndef TILES_H
#define TILES_H

// The tile pictures: object v of "tiles.dat" is the picture of tile value v.
// Values and their meaning are fixed in TILES.md.

#include <allegro.h>

constexpr int kTileSize = 32;
constexpr int kTileCount = 50;
constexpr int kFirstScenery = 16;   // 1 .. 15 are ground
constexpr int kFirstItem = 36;      // 16 .. 35 are scenery
constexpr int kExitTile = 49;

// Paints tile value `value` into a 32 x 32 bitmap (cleared to mask first).
void DrawTile(BITMAP *bmp, int value);

// One painter per group of values; each returns false for a value not its own.
bool DrawGroundTile(BITMAP *bmp, int value);
bool DrawSceneryTile(BITMAP *bmp, int value);
bool DrawItemTile(BITMAP *bmp, int value);

#endif
