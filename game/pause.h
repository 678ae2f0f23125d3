#ifndef PAUSE_H
#define PAUSE_H

// The pause, between two passes of the frame loop: the pause key or a
// gamepad's Start holds the game, with "PAUSED" over the last frame and the
// tune stopped, until pressed again. A pause is not a pass: the passes a
// recording or a replay counts go on where they stopped.

// Called once before each pass. Returns at once when no pause was asked
// for; false when Escape or the close button ended the game during one.
bool PauseWhenAsked();

#endif
