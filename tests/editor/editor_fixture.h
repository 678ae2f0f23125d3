#ifndef EDITOR_FIXTURE_H
#define EDITOR_FIXTURE_H

// The editor headless, with its assets loaded from the run folder and its
// message boxes and pauses recorded instead of shown and waited for.

#include <string>
#include <vector>

#include "headless.h"

extern std::vector<std::string> messages;   // every allegro_message, in order
extern std::vector<unsigned> pauses;        // every rest() the editor asked for

class EditorTest : public HeadlessTest {
 protected:
   void SetUp() override;

   // Clears buffer, puts the mouse at (x, y) with `buttons`, runs HighlightMouse.
   static void Click(int x, int y, int buttons);

   // `text` as the editor draws it at (x, y) in `colour`, pixel for pixel.
   static bool ShowsText(BITMAP *bmp, int x, int y, const char *text, int colour);

   // Every visible pixel of object v of d is shown at (x, y).
   static bool ShowsImage(BITMAP *bmp, int x, int y, const DATAFILE *d, int v);

   static bool Blank(BITMAP *bmp, int x1, int y1, int x2, int y2);

   // Number of nonzero cells in all four layers of the map.
   static int FilledCells();

   // Fills every cell of every layer with a value from its position.
   static void FillPattern();
};

#endif
