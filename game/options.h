#ifndef OPTIONS_H
#define OPTIONS_H

// The game's command line, read once at start over what the settings file
// chose. With neither, every field keeps its default and the game plays its
// level order as always.

#include <cstdio>

#include "controls.h"

struct GameOptions {
   const char *mapfile = nullptr;   // play this one map alone; null: the level order
   bool help = false;               // print the usage and stop
   bool fast = false;               // no rest between passes
   long frames = 0;                 // end after this many passes; 0: no limit
   const char *record = nullptr;    // write the keys of every pass to this file
   const char *replay = nullptr;    // play the keys of this file instead of the keyboard's
   bool demo = false;               // play the shipped levels from the build's replay
   bool version = false;            // print the version and stop
   int scale = 1;                   // the window is this many times 320 x 240
   bool fullscreen = false;         // the whole screen, at the largest whole scale
   bool silent = false;             // no sound system, no samples, no music
   bool start = false;              // the player starts at map cell startcol, startrow
   int startcol = 0;
   int startrow = 0;
   ControlBindings controls;        // keys and gamepad buttons (the settings file)
};

constexpr int kMaxScale = 4;

enum OptionsResult {
   OPTIONS_PLAY,    // go on and play
   OPTIONS_HELP,    // --help: the usage goes to stdout, status 0
   OPTIONS_VERSION, // --version: the version goes to stdout, status 0
   OPTIONS_BAD      // the usage goes to stderr, status 2
};

// Fills `out` from argv[1..argc-1]. On OPTIONS_BAD, `error` names the fault.
OptionsResult ParseGameOptions(int argc, char **argv, GameOptions *out, const char **error);

// `name` is the name the game was started as.
void PrintGameUsage(FILE *to, const char *name);
void PrintGameVersion(FILE *to);

#endif
