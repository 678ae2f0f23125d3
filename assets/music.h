#ifndef MUSIC_H
#define MUSIC_H

// The game's music, "jingel.mid": a General MIDI loop of lead, bass,
// arpeggio and drums that starts and ends on a bar line.

#include <string>

constexpr int kTempoBpm = 116;
constexpr int kBeatsPerBar = 4;
constexpr int kBars = 16;   // 16 bars at 116 bpm: a little over 33 seconds

// Writes the tune to `path`; false (with a message) on failure.
bool WriteMusic(const std::string &path);

#endif
