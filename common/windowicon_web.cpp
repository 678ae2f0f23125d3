#include "windowicon.h"

// In the browser the page is the window: its title and icon are the page's.
void SetWindowIcon(const char *const *, const char *, const char *)
{
}
