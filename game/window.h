#ifndef WINDOW_H
#define WINDOW_H

// The window's close button. Allegro reports it from its own thread; the
// frame loop looks at it once a pass and ends as on Escape.
void InstallCloseButton();

// Nonzero once the close button has been pressed.
int CloseRequested();

#endif
