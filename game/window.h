#ifndef WINDOW_H
#define WINDOW_H

// The game's window: its icon and class, its size (320 x 240,
// a whole multiple of it, or the whole screen) and how a frame reaches it.
// Its close button is answered as Escape.

#include <allegro.h>

#include "closebutton.h"

// Icon and class, set before allegro_init opens the window.
void NameWindow();

// Sets the graphics mode the command line asks for; false if it cannot be set.
bool OpenWindow();

// Puts the 320 x 240 `buffer` on the screen, scaled by whole pixels when the
// window is bigger than the frame.
void ShowFrame();

// The 320 x 240 frame on the screen now, for Print Screen.
BITMAP *ShownFrame();

#endif
