#ifndef SETTINGSFOLDER_H
#define SETTINGSFOLDER_H

// Where a player's settings live: $XDG_CONFIG_HOME/kelwyrm, else
// ~/.config/kelwyrm. Empty when neither can be found (no home folder); the
// programs then run on their defaults.

#include <string>

std::string SettingsFolder();

#endif
