#ifndef SAVELOAD_H
#define SAVELOAD_H

// The one map file the editor writes and reads, in the working directory.
constexpr const char *kEditorMapFile = "map1.dat";

// Writes map to map1.dat. An earlier map1.dat survives a failed save, and
// the failure is reported after the usual confirmation.
void SaveMap();

// Replaces map by the contents of map1.dat. A missing, foreign or short file
// leaves map exactly as it was, and says so.
void LoadMap();

#endif
