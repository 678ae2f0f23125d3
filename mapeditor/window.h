#ifndef WINDOW_H
#define WINDOW_H

// The editor's window: its icon and class, set before Allegro opens it. Its
// close button is answered as F10.

#include "closebutton.h"

void NameWindow();

// Once the window is open: its title names the map file being edited.
void TitleWindow(const char *mapfile);

#endif
