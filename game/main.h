#ifndef MAIN_H
#define MAIN_H

// The game's shared state: every program-wide global is defined in main.cpp.

#include <allegro.h>

#include "mapfile.h"
#include "options.h"
#include "player.h"
#include "enemy.h"

// The window and the frame laid out in it.
constexpr int kScreenW = 320;
constexpr int kScreenH = 240;
constexpr int kTileSize = 32;
constexpr int kViewCols = 10;
constexpr int kViewRows = 7;
constexpr int kViewWidthPx = kViewCols * kTileSize;           // 320
constexpr int kViewHeightPx = kViewRows * kTileSize;          // 224
constexpr int kBorderHeight = kScreenH - kViewHeightPx;       // the 16-row strip

// Pacing: one pass of the frame loop, then this much rest.
constexpr int kFrameRestMs = 50;
constexpr int kPassesPerSecond = 1000 / kFrameRestMs;

// The level table and the range of `currentlevel` during play.
constexpr int kLevelCount = 5;
constexpr int kFirstLevel = 1;
constexpr int kLastLevel = kLevelCount - 1;

// Direction codes shared by the player, the enemy and their shots.
constexpr int kLeft = 1;
constexpr int kRight = 2;

// Player and enemy are both 32 x 51-pixel bodies.
constexpr int kBodyW = 32;
constexpr int kBodyH = 51;

// Both probe the map at the same points of their bodies: walls (and the exit)
// at one height only, so higher blocks do not stop a step; the feet at
// mid-body, so only the point under the centre carries them.
constexpr int kStepProbeY = 45;
constexpr int kFeetX = kBodyW / 2;
constexpr int kFeetY = kBodyH;

// Shots: ten per side, 8 pixels a pass, launched from this point of the owner.
constexpr int kMaxShots = 10;
constexpr int kShotSpeed = 8;
constexpr int kShotLaunchDX = 14;
constexpr int kShotLaunchDY = 13;

// One shot in flight, in view pixels.
struct Bullet {
   int x;
   int y;
   int speed;
   int active;
};

extern BITMAP *buffer;
extern BITMAP *border;
extern DATAFILE *tiles;
extern DATAFILE *pal;
extern DATAFILE *pwalk;
extern DATAFILE *enemy;
extern int tilecount;
extern MIDI *song;
extern SAMPLE *fires;
extern SAMPLE *hit;
extern SAMPLE *dies;
extern SAMPLE *jumps;
extern SAMPLE *congrats;
extern SAMPLE *aou;
extern SAMPLE *omgdied;

extern const char *const level[kLevelCount];
extern int currentlevel;
// Level-complete screens reached since the start; replays and the level
// check tell a finished level by it.
extern int levelsfinished;

extern GameOptions options;   // the command line, read once at start
extern int quitgame;          // nonzero: the frame loop ends before its next pass

extern MapGrid map;
extern int xoffset;
extern int yoffset;

extern Player Pl;
extern Enemy En;
extern Bullet bullet[kMaxShots];
extern Bullet Ebullet[kMaxShots];

void InitAll();
void LoadAssets();
void GamePass();

// The file of the level being played: the map named on the command line,
// else the level order's entry.
const char *LevelFile();

// The first level loaded and the player placed at its usual start.
void StartPlay();
// The level order from its first level, as a fresh process plays it: the
// usual start, no enemy awake and no enemy shot in flight.
void StartLevelOrder();

// Shows "Could not load <name>" and ends the program with status 1.
[[noreturn]] void CouldNotLoad(const char *name);

// Every sample of the game is played the same way.
void PlaySound(SAMPLE *sample);

// The value of `layer` in the map cell under view pixel (px, py); cells
// outside the map read as empty.
int ViewCell(int layer, int px, int py);

// The shot operations both owners use.
bool LaunchShot(Bullet shots[], int ox, int oy, int direction, SAMPLE *sound);
void FlyShots(Bullet shots[]);
bool ShotHits(const Bullet &shot, int bx, int by);
void FreeShots(Bullet shots[]);

#endif
