#ifndef REPLAY_H
#define REPLAY_H

// Recorded play: the keys the game reads, pass by pass, kept in a replay file
// (replayfile.h) and fed back into Allegro's key[] so the game replays exactly.
//
// A pass is one run of the frame loop from its Escape test to its rest; its
// keys are polled once at its start and stay as they are while it runs. A death
// or level-complete screen waits inside the pass that shows it and polls the
// keyboard while it waits, so F1 counts as down in a pass when it was down at
// its start or was seen by such a wait: that pass's F1 is what ended the
// screen, and a replay ends it in the same pass. The window's close button ends
// such a wait and the game, so it is kept as F1. "finished MAP at pass N"
// counts the passes since the level began (a death's reload of the same map
// does not start the count again). A game started at a chosen cell records
// that cell, and its replay starts there.

#include <string>

#include "main.h"
#include "replayfile.h"

// The demo's replay, made by the build beside the levels.
constexpr const char *kDemoReplay = "demo.replay";

// Whether the recorded maps are the ones the game is about to play: MAP alone
// when one is given, the level order otherwise, each file unchanged. Returns
// "" or the reason.
std::string CheckReplayMaps(const Replay &replay, const char *single_map);

// Starting a mode, before any map is loaded. A replay that cannot be used,
// or a recording that could not be written where asked, ends the program
// with one message and status 2.
void StartRecording(const char *file, const char *single_map);
void StartReplay(const char *file, const char *single_map);
// The demo: the shipped levels from the replay the build made, with "DEMO"
// on the border strip and each level-complete screen held for a while.
void StartDemo(const char *file);
// Writes a recording and returns to the keyboard; the game's end does it too.
// False, with one line on stderr, when a recording could not be kept.
bool EndReplay();
// A game refused before its first pass: a recording it began is not written.
void DropRecording();

// Around each pass of the frame loop. The start comes before the Escape test.
void ReplayPassStart();
void ReplayPassEnd();
// Called by a death or level-complete screen each time it rests while it
// waits for F1: a recording notes F1 there, a replay ends the screen at the
// recorded pass. Nothing happens without either.
void ReplayScreenWait();
// A replay that has played its last pass.
bool ReplayRunOut();

#endif
