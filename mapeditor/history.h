#ifndef HISTORY_H
#define HISTORY_H

// Undo and redo of the map. Each step keeps only the cells one change
// altered, with their old and new values: a stroke of the mouse from press
// to release, a clear, a load, an enemy placement.

// The oldest steps are forgotten beyond either bound: 1,000 steps, and 4 MB
// of changed cells (8 bytes each) over all of them.
constexpr int kMaxUndoSteps = 1000;
constexpr long kMaxUndoCells = 512L * 1024;

// Opens a step (does nothing while one is open).
void BeginStep();
// Closes the open step. A step that changed nothing is dropped; any other
// becomes the newest undo step and drops every redo step.
void EndStep();
// One change as a step of its own, closing any open step first.
void RecordStep(void (*change)());

// Each gives back one step; false when there is none. Both close an open step first.
bool Undo();
bool Redo();

int UndoSteps();
int RedoSteps();
void ClearHistory();

// Keeps a stroke of the left button open as one step; called once a pass
// before the mouse paints.
void TrackStroke();

// Ctrl+Z undoes and Ctrl+Y redoes, once per press.
void HistoryKeys();

// Either Ctrl key is down: Z then belongs to undo, not to the screen's own keys.
bool CtrlHeld();

#endif
