#ifndef OPTIONS_H
#define OPTIONS_H

// The game's command line, read once at start. With no argument every field
// keeps its default and the game plays its level order as always.

#include <cstdio>

struct GameOptions {
   const char *mapfile = nullptr;   // play this one map alone; null: the level order
   bool help = false;               // print the usage and stop
   bool fast = false;               // no rest between passes
   long frames = 0;                 // end after this many passes; 0: no limit
};

enum OptionsResult {
   OPTIONS_PLAY,    // go on and play
   OPTIONS_HELP,    // --help: the usage goes to stdout, status 0
   OPTIONS_BAD      // the usage goes to stderr, status 2
};

// Fills `out` from argv[1..argc-1]. On OPTIONS_BAD, `error` names the fault.
OptionsResult ParseGameOptions(int argc, char **argv, GameOptions *out, const char **error);

void PrintGameUsage(FILE *to);

#endif
