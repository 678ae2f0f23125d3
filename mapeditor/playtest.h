#ifndef PLAYTEST_H
#define PLAYTEST_H

// F6: the map as it stands is played in the game, without touching map1.dat.

enum PlayTestResult {
   PLAYTEST_PLAYED,        // the game ran and ended
   PLAYTEST_WRITE_FAILED,  // the temporary map could not be written
   PLAYTEST_NO_GAME,       // the game is missing or could not be started
   PLAYTEST_GAME_FAILED,   // the game ran and ended with an error
   PLAYTEST_NO_START       // F7 found no cell to start from; nothing ran
};

// Plays the map in the game beside the editor's own executable, named
// after it (kelwyrm-editor plays in kelwyrm, mapeditor in game).
PlayTestResult PlayTest();

// Writes the map to a temporary file, runs `game` on it from the current
// folder, silently where sound cannot play, waits for it to end and removes
// the file; the game ends with the editor, and the file goes with both.
// Failures, the game's own among them, are shown in a message. Keys the
// editor saw down before are forgotten afterwards: their releases went to
// the game's window.
PlayTestResult PlayTestWith(const char *game);

// F7: as F6, with the player starting at the view cell under the mouse, the
// one the red frame marks (the game's --start). A pointer off the view's
// cells of the map, or a cell where the player's body would stand in ground,
// is said in a message instead, and no game starts.
PlayTestResult PlayFromHere();
PlayTestResult PlayFromHereWith(const char *game, int mx, int my);

#endif
