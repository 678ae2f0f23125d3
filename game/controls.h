#ifndef CONTROLS_H
#define CONTROLS_H

// The player's controls: the keys chosen in the settings file and the first
// gamepad, folded into the game keys of key[] (Right, Left, Space, left Ctrl
// and F1), the per-pass key state that the player code reads and that
// recordings and replays keep. A gamepad therefore records and replays as
// the keys it stands for.

#include <allegro.h>

// What the player chose; the defaults are the game's own keys, the usual
// layout of a gamepad's face buttons (A jumps, X fires) and its Start.
struct ControlBindings {
   int left = KEY_LEFT;
   int right = KEY_RIGHT;
   int jump = KEY_SPACE;
   int fire = KEY_LCONTROL;
   int pause = KEY_P;
   int padjump = 0;
   int padfire = 2;
   int padstart = 7;
};

// Looks for a gamepad; none, or one that fails, leaves the keyboard alone.
void InstallGamepad();

// Once at the start of a pass (onscreen false) and on every rest of a death
// or level-complete screen's wait (onscreen true, where Start counts as F1).
// Does nothing while nothing needs folding and the keyboard is not polled
// (the usual keys, no gamepad, no recording or replay): key[] is then read as
// it comes, exactly as always.
void UpdateControls(bool onscreen);

// The same, always polling the keyboard first: recordings and replays freeze
// key[] for a pass with it.
void PollControls(bool onscreen);

// Whether the pause key or Start went down since the last look, during play.
bool PausePressed();

#endif
