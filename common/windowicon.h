#ifndef WINDOWICON_H
#define WINDOWICON_H

// Gives the window Allegro opens an icon and a window class of its own, so
// that desktops show the program's picture and match the window with its
// menu entry. Call before allegro_init, which opens the X11 window.
void SetWindowIcon(const char *const *xpm, const char *name, const char *group);

#endif
