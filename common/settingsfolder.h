#ifndef SETTINGSFOLDER_H
#define SETTINGSFOLDER_H

// Where a player's settings live: kelwyrm in the system's folder of user
// settings ($XDG_CONFIG_HOME/kelwyrm, else ~/.config/kelwyrm; under
// %APPDATA% on Windows). Empty when there is none (no home folder); the
// programs then run on their defaults.

#include <string>

std::string SettingsFolder();

#endif
