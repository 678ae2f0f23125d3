#ifndef SETTINGS_H
#define SETTINGS_H

// The player's settings file, in Allegro's configuration format: the keys
// for left, right, jump, fire and pause, the gamepad's buttons, and the
// defaults of the window and sound options. It is read once at start, before
// the command line, which wins; the game never writes it.

#include <cstdio>
#include <string>

#include "options.h"

// A settings file is a few lines; anything larger is not one.
constexpr size_t kMaxSettingsBytes = 64 * 1024;
// Bad entries named one by one before the rest are only counted.
constexpr int kMaxSettingsMessages = 20;
// How much of a bad entry a message shows.
constexpr size_t kShownEntryBytes = 80;

// kelwyrm.cfg in the settings folder; "" when there is no such folder.
std::string SettingsFile();

// Fills `out` from `file`. A missing file changes nothing; a file that
// cannot be read (also one that is no regular file, or too large) gives one
// line on `errors` and changes nothing. Each bad entry, and each line that
// is not UTF-8 text, gives one line naming the file, the line and the entry
// and leaves what it would have set as it was; after kMaxSettingsMessages
// of them the rest are counted in one line. Nothing here stops the game.
void ReadSettings(const char *file, GameOptions *out, FILE *errors);

#endif
