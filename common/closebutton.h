#ifndef CLOSEBUTTON_H
#define CLOSEBUTTON_H

// The window's close button. Allegro reports it from its own thread; each
// program's loops look at it once a pass and end as their quit key would.
void InstallCloseButton();

// Nonzero once the close button has been pressed.
int CloseRequested();

#endif
