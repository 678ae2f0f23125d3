#ifndef SOUNDS_H
#define SOUNDS_H

// The game's sound effects. The game plays every sample at ten times the
// rate stored in its file, so each is synthesised for a playback rate of
// kPlaybackRate and stored with a rate a tenth of that: pitches and lengths
// come out right only when played the game's way.

#include <string>

constexpr int kPlaybackRate = 22050;
constexpr int kPlaySpeedup = 10;   // the game's frequency 10000 over Allegro's 1000
constexpr int kStoredRate = kPlaybackRate / kPlaySpeedup;

// Writes the seven samples into `dir`; false (with a message) on failure.
bool WriteSounds(const std::string &dir);

#endif
