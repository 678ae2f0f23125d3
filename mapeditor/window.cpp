#include "window.h"

#include <allegro.h>

#include <string>

#include "platform.h"
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
   std::string title = get_filename(exe);
   const std::string suffix = ProgramSuffix();
   if (!suffix.empty() && title.size() > suffix.size() &&
       title.compare(title.size() - suffix.size(), suffix.size(), suffix) == 0)
      title.erase(title.size() - suffix.size());
   set_window_title((title + " - " + mapfile).c_str());
}
