#include "window.h"

#include <allegro.h>

#include <string>

#include "programname.h"
#include "windowicon.h"

// Drawn by the asset generator at build time.
#include "kelwyrm-editor.xpm"

void NameWindow()
{
   SetWindowIcon(kelwyrm_editor_xpm, "kelwyrm-editor", "Kelwyrm-editor");
}

// Allegro names the window after the program; the file follows it.
void TitleWindow(const char *mapfile)
{
   char exe[1024];
   get_executable_name(exe, sizeof exe);
   set_window_title((ProgramName(exe) + " - " + mapfile).c_str());
}
