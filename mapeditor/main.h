#ifndef MAIN_H
#define MAIN_H

// The editor's whole state: every program-wide global, defined in main.cpp.

#include <allegro.h>

#include "mapfile.h"

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;

// Allegro's default text mode: an opaque background of colour 0.
constexpr int kTextBackground = 0;

extern int tile;      // the value a left click writes
extern int xoffset;   // map column at the left of the view, in tiles
extern int yoffset;   // map row at the top of the view, in tiles
extern int layer;     // the layer clicks write to and read from

extern BITMAP *buffer;
extern DATAFILE *tiles;
extern DATAFILE *enemy;
extern DATAFILE *Pal;
extern int tilecount;    // objects in tiles.dat, counted once at load
extern int enemycount;   // objects in enemy.dat, counted once at load

extern MapGrid map;
extern const char *mapfile;   // the file F5 writes and F8 reads

// Shared with the FPS timer callback, which runs outside the edit loop.
extern volatile int counter;
extern volatile int fps;

// Palette indices of the editor's colours, found once the palette is set.
extern int grey;
extern int red;
extern int white;

// Set by --no-sound: the game plays the map under test silently.
extern int nosound;

// Starts Allegro, the window and the assets, and empties the map.
void InitAll();

// Makes buffer, loads pal.dat, tiles.dat and enemy.dat and sets the palette.
// A missing or unusable datafile is reported by name and ends the program
// with status 1.
void LoadAssets();

// Draws the help screen into buffer.
void Text();

// One pass of the help screen loop, without the F10 test.
void HelpPass();

#endif
