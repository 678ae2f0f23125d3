#ifndef SPRITES_H
#define SPRITES_H

// The characters and the border strip: player walk frames ("pwalk.dat"),
// the enemy pictures ("enemy.dat") and "border.bmp".

#include <allegro.h>

constexpr int kBodyW = 32;        // the player's and enemy's box
constexpr int kBodyH = 51;
constexpr int kWalkFrames = 4;
constexpr int kIconSize = 32;     // editor pictures of enemy values
constexpr int kBorderW = 320;
constexpr int kBorderH = 16;
constexpr int kLifeTextRow = 6;   // "Life: 10" sits on rows 6 .. 13 of the strip

// Walk frame 0 .. 3 of the player, facing right, into a 32 x 51 bitmap.
void DrawPlayerFrame(BITMAP *bmp, int frame);

// "enemy.dat" object 0: the icon of the editor's enemy placement screen.
void DrawEnemyIcon(BITMAP *bmp);

// "enemy.dat" object 1: the enemy, 32 x 51, facing left. Its top 32 rows
// are also what the editor shows for an enemy start.
void DrawEnemyBody(BITMAP *bmp);

// "enemy.dat" object 2: the editor's picture of enemy value 2.
void DrawEnemyMarker(BITMAP *bmp);

// The 320 x 16 strip under the map view.
void DrawBorder(BITMAP *bmp);

#endif
