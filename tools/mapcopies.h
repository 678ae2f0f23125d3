#ifndef MAPCOPIES_H
#define MAPCOPIES_H

// The level files the whole-game search loads: the player's maps copied
// under the level order's names into a temporary folder of their own (in
// TMPDIR when it is set), which goes away however levelcheck ends: on its
// return, on an early exit, or on Ctrl+C or a kill's SIGTERM.

#include <string>
#include <vector>

// The maps in the level order, the last one repeated, as the game plays them.
// Returns the folder; a failure ends levelcheck with status 2.
std::string PlaceMapCopies(const std::vector<std::string> &maps);

void RemoveMapCopies();

#endif
