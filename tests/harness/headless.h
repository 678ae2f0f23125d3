#ifndef HEADLESS_H
#define HEADLESS_H

// Headless Allegro for tests: no display, 8-bit memory bitmaps, and the
// keyboard and mouse state written directly by the test.

#include <allegro.h>
#include <gtest/gtest.h>
#include <string>

// Starts Allegro once per process with SYSTEM_NONE and 8-bit colour, and
// points `screen` at a fresh memory bitmap of the given size.
void StartHeadless(int screen_w, int screen_h);

// The folder the build fills with the programs' assets and levels.
std::string RunDir();

// A fresh empty folder under the system's temporary folder, removed with
// everything in it when the test program ends.
std::string MakeTempDir();

// Counts the objects of a datafile, as the programs do.
int DatafileCount(const DATAFILE *d);

// Base fixture: every key up, the mouse at (0, 0) with no button down, the
// working directory restored afterwards.
class HeadlessTest : public ::testing::Test {
 protected:
   void SetUp() override;
   void TearDown() override;

   static void Press(int k) { key[k] = 1; }
   static void Release(int k) { key[k] = 0; }
   static void ReleaseAllKeys();
   static void SetMouse(int x, int y, int buttons);

   // Runs the test inside a fresh temporary folder (files the program writes
   // land there); returns its path.
   std::string EnterTempDir();

   // Number of pixels of `bmp` inside the rectangle that have colour c.
   static int CountColour(BITMAP *bmp, int x1, int y1, int x2, int y2, int c);

 private:
   std::string saved_cwd_;
};

#endif
