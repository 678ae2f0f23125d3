#ifndef SAVELOAD_H
#define SAVELOAD_H

// The one map file the editor writes and reads: map1.dat in the working
// directory, or the FILE named on the command line (`mapfile`).
constexpr const char *kEditorMapFile = "map1.dat";

// Writes map to the map file. An earlier file survives a failed save, and
// the failure is reported after the usual confirmation.
void SaveMap();

// Replaces map by the contents of the map file. A missing, foreign or short
// file leaves map exactly as it was, and says so.
void LoadMap();

// A FILE named on the command line is loaded at start, without the
// confirmation; one that does not exist yet leaves the map empty, in silence.
void LoadNamedMapAtStart();

#endif
