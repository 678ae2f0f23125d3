#ifndef WINDOW_H
#define WINDOW_H

// The window's close button. Allegro reports it from its own thread; the
// loops look at it once a pass and end as F10 would.
void InstallCloseButton();

// Nonzero once the close button has been pressed.
int CloseRequested();

#endif
