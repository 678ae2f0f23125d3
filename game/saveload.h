#ifndef SAVELOAD_H
#define SAVELOAD_H

// Replaces the whole level map with the named file; a file that cannot be
// read ends the game with a message naming it.
void LoadMap(const char *filename);

#endif
