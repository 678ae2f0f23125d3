#include "window.h"

#include "windowicon.h"

// Drawn by the asset generator at build time.
#include "kelwyrm.xpm"

void NameWindow()
{
   SetWindowIcon(kelwyrm_xpm, "kelwyrm", "Kelwyrm");
}
