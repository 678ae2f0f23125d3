#ifndef IDLE_H
#define IDLE_H

// The editor's loops would redraw as fast as the processor allows; each pass
// ends here and rests what is left of its share of a second.
constexpr int kPassMs = 10;   // at most 100 passes a second

void IdleRest();

#endif
