#include "window.h"

#include "windowicon.h"

// Drawn by the asset generator at build time.
#include "kelwyrm-editor.xpm"

void NameWindow()
{
   SetWindowIcon(kelwyrm_editor_xpm, "kelwyrm-editor", "Kelwyrm-editor");
}
