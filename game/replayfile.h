#ifndef REPLAYFILE_H
#define REPLAYFILE_H

// The replay file: the keys the game read, pass by pass, as a small text file.
//
// The file, line by line:
//   kelwyrm replay 1
//   start COL ROW           only for a game started at map cell COL,ROW
//   map NAME CRC32          one line per map file played, in order (8 hex digits)
//   passes N                how many passes follow, a day of play at most
//   COUNT KEYS              COUNT passes in a row with the same keys down
//   end
// A NAME with a space, a control byte or a leading '"' is written in double
// quotes, with \" \\ and \xHH inside; any other name as it is.
// KEYS is "-" or some of R (right), L (left), J (Space), C (left Ctrl) and
// F (F1), in that order: the game keys after the settings file's keys and a
// gamepad were folded into them (controls.h), so neither shows in the file.

#include <string>
#include <vector>

#include "main.h"

// A replay plays at most a day, and the maps of the level order at most.
constexpr long kReplayMaxPasses = 24L * 60 * 60 * kPassesPerSecond;
constexpr int kReplayMaxMaps = kLevelCount - kFirstLevel;

constexpr int kReplayKeyBits = 5;
constexpr int kReplayRight = 1;
constexpr int kReplayLeft = 2;
constexpr int kReplayJump = 4;
constexpr int kReplayFire = 8;
constexpr int kReplayF1 = 16;

struct ReplayMap {
   std::string name;        // as the game named it, without folders
   unsigned long crc;
};

struct Replay {
   bool start = false;      // the game began at map cell startcol, startrow
   int startcol = 0;
   int startrow = 0;
   std::vector<ReplayMap> maps;
   std::vector<unsigned char> passes;    // the keys of each pass
};

// CRC-32 of a whole file; false when it cannot be read.
bool FileChecksum(const char *file, unsigned long &crc);

bool WriteReplayFile(const char *file, const Replay &replay);

// Reads a replay file; returns "" or the reason it cannot be used.
std::string ReadReplayFile(const char *file, Replay &replay);

#endif
