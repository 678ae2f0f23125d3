#ifndef GAME_TEST_H
#define GAME_TEST_H

// The game driven one frame at a time: assets loaded once from the run
// folder, a clean in-memory level, and every played sample recorded.

#include <vector>

#include "headless.h"
#include "main.h"

struct PlayedSample {
   const SAMPLE *sample;
   int vol, pan, freq, loop;
};

// Samples played since the fixture's SetUp, in order.
extern std::vector<PlayedSample> played;

class GameTest : public HeadlessTest {
 protected:
   void SetUp() override;
   void TearDown() override;

   static void Solid(int col, int row) { map[kGroundLayer][col][row] = 1; }
   static void GroundRow(int row, int from_col, int to_col);
   static std::vector<const SAMPLE *> Sounds();

   // Puts a player standing on a ground row at (x, the resting y).
   static void StandOnRow(int x, int row);

   // Writes the current map as each of the four level files in a temp folder.
   void WriteLevels();

   // Replaces "tiles.dat" with pictures of known colours for composition checks:
   // tile 1 solid kColourA, tile 2 kColourB in its top half only, tile 3 kColourC
   // in its top-left 8 x 8 corner. The real datafile comes back in TearDown.
   void UseTestTiles();
   static constexpr int kColourA = 10, kColourB = 20, kColourC = 30;

 private:
   DATAFILE test_tiles_[5] = {};
   BITMAP *test_bitmaps_[4] = {};
   DATAFILE *saved_tiles_ = nullptr;
   int saved_tilecount_ = 0;
};

#endif
