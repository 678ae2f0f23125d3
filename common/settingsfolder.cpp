#include "settingsfolder.h"

#include "platform.h"

static const char kFolderName[] = "kelwyrm";

std::string SettingsFolder()
{
   std::string root = UserSettingsRoot();
   return root.empty() ? "" : root + "/" + kFolderName;
}
