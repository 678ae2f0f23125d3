#ifndef WINDOW_H
#define WINDOW_H

// The editor's window: its icon and class, set before Allegro opens it. Its
// close button is answered as F10.

#include "closebutton.h"

void NameWindow();

#endif
