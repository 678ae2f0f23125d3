#ifndef SETTINGS_H
#define SETTINGS_H

// The player's settings file, in Allegro's configuration format: the keys
// for left, right, jump, fire and pause, the gamepad's buttons, and the
// defaults of the window and sound options. It is read once at start, before
// the command line, which wins; the game never writes it.

#include <cstdio>
#include <string>

#include "options.h"

// kelwyrm.cfg in the settings folder; "" when there is no such folder.
std::string SettingsFile();

// Fills `out` from `file`. A missing file changes nothing; a file that
// cannot be read, and each bad entry, give one line on `errors` naming the
// file, the line and the entry, and leave what they would have set as it
// was. Nothing here stops the game.
void ReadSettings(const char *file, GameOptions *out, FILE *errors);

#endif
