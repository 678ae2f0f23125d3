#include "windowicon.h"

#include <allegro.h>

// Allegro's X11 port: XPM data for the icon pixmap in WM_HINTS, and the two
// WM_CLASS strings. Neither is in allegro.h; xalleg.h would drag in Xlib.
extern "C" {
extern void *allegro_icon;
void xwin_set_window_name(const char *name, const char *group);
}

void SetWindowIcon(const char *const *xpm, const char *name, const char *group)
{
   allegro_icon = const_cast<char **>(xpm);
   xwin_set_window_name(name, group);
}
