#ifndef WINDOW_H
#define WINDOW_H

// The game's window: its icon and class, set before Allegro opens it.
void NameWindow();

#endif
