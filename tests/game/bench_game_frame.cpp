// One whole pass of the frame loop, headless, on a shipped level.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <unistd.h>

#include "draw.h"
#include "headless.h"
#include "main.h"
#include "saveload.h"

static void BM_GamePass(benchmark::State &state)
{
   StartHeadless(kScreenW, kScreenH);
   if (chdir(RunDir().c_str()) != 0) {
      state.SkipWithError("no run folder");
      return;
   }
   LoadAssets();
   currentlevel = kFirstLevel;
   LoadMap(level[currentlevel]);
   InitPlayer();
   key[KEY_F1] = 1;       // a death or exit screen must not wait for ever
   for (auto _ : state)
      GamePass();
   key[KEY_F1] = 0;
}
BENCHMARK(BM_GamePass)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
