#ifndef DATAFOLDER_H
#define DATAFOLDER_H

// Where the programs find their assets, the shipped levels and the MIDI
// patch set, so that they play from a menu or from any folder, not only
// from the folder that holds their data.

#include <string>
#include <vector>

// The folders searched, first first: the one the program was started in
// (given as ""), the one holding its executable, the installed data folder
// beside that executable (../share/kelwyrm, or ../share/games/kelwyrm in
// the games layout) and the installed data folder the build was configured
// for. Folders named twice are kept once.
std::vector<std::string> DataFolders();

// `name` in the first of DataFolders() that holds it: `name` unchanged when
// the start folder holds it, and also when no folder does, so the open
// fails and is reported exactly as it would have been.
std::string FindDataFile(const char *name);

#endif
