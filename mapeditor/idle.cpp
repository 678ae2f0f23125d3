#include "idle.h"

#include <chrono>

#include <allegro.h>

typedef std::chrono::steady_clock Clock;

static Clock::time_point pass_start = Clock::now();

// Measured from the end of the last rest, so a pass that already paused (a
// scroll step) or drew slowly is not held up any further.
void IdleRest()
{
   auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - pass_start);
   if (spent.count() < kPassMs)
      rest(static_cast<unsigned>(kPassMs - spent.count()));
   pass_start = Clock::now();
}
