#include "settingsfolder.h"

#include <cstdlib>

static const char kFolderName[] = "kelwyrm";

std::string SettingsFolder()
{
   // Only an absolute XDG_CONFIG_HOME counts: a relative one would move with
   // the folder the game is started in.
   const char *config = getenv("XDG_CONFIG_HOME");
   if (config && config[0] == '/')
      return std::string(config) + "/" + kFolderName;
   const char *home = getenv("HOME");
   if (home && home[0])
      return std::string(home) + "/.config/" + kFolderName;
   return "";
}
