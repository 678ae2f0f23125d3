#ifndef GAMESOUND_H
#define GAMESOUND_H

// Starts Allegro's sound the way the game plays: digital samples and the
// tune through the MIDI patch set found with the other data. False when the
// machine cannot play it, as the game would find at its start.
bool StartGameSound();

#endif
