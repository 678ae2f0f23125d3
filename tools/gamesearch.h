#ifndef GAMESEARCH_H
#define GAMESEARCH_H

// The whole game, searched: every pass is the game's own UpdatePlayer and
// UpdateEnemy (player, enemy, shots, enemy starts, level change), with the
// keys the game reads, firing among them. A beam of the most promising game
// states is kept pass after pass until a level-complete screen is reached
// with no death on the way.

#include <string>
#include <vector>

struct LevelRun {
   std::string map;
   bool finished = false;
   int passes = 0;             // including the pass of the level-complete screen
   int hitstaken = 0;
   int enemyhits = 0;          // the player's shots that hit an enemy
   int enemieskilled = 0;
};

struct GameRun {
   std::vector<LevelRun> levels;
   std::vector<unsigned char> passes;   // replay keys of every pass, in order
   size_t states = 0;                   // game states tried
};

// Plays the maps in the game's level order, each from where the last one
// ended (one map alone plays like `game MAP`). Needs Allegro started.
GameRun SearchWholeGame(const std::vector<std::string> &maps);

#endif
