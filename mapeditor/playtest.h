#ifndef PLAYTEST_H
#define PLAYTEST_H

// F6: the map as it stands is played in the game, without touching map1.dat.

enum PlayTestResult {
   PLAYTEST_PLAYED,        // the game ran and ended
   PLAYTEST_WRITE_FAILED,  // the temporary map could not be written
   PLAYTEST_NO_GAME        // the game is missing or could not be started
};

// Plays the map in the game beside the editor's own executable, named
// after it (kelwyrm-editor plays in kelwyrm, mapeditor in game).
PlayTestResult PlayTest();

// Writes the map to a temporary file, runs `game` on it from the current
// folder, waits for it to end and removes the file. Failures are shown in a
// message. Keys the editor saw down before are forgotten afterwards: their
// releases went to the game's window.
PlayTestResult PlayTestWith(const char *game);

#endif
