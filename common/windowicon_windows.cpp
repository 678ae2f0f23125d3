#include "windowicon.h"

// On Windows the window's icon is the program's own icon resource, which
// Allegro loads by the name allegro_icon, and windows have no class names
// to match with menu entries: there is nothing to set here.
void SetWindowIcon(const char *const *, const char *, const char *)
{
}
