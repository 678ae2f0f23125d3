// One edit-mode pass headless: palette, grid, four layers of the view, the
// mouse highlight, the information column and the copy to the screen.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "edit.h"
#include "headless.h"
#include "main.h"

static void BM_EditPass(benchmark::State &state)
{
   StartHeadless(kScreenW, kScreenH);
   if (chdir(RunDir().c_str()) != 0) {
      state.SkipWithError("no run folder");
      return;
   }
   if (!buffer)
      LoadAssets();
   for (int l = 0; l < kMapLayers; l++)   // every cell of the view holds a picture
      for (int c = 0; c < kViewCols; c++)
         for (int r = 0; r < kViewRows; r++)
            map[l][c][r] = (unsigned short)(1 + (c + r) % 2);
   mouse_x = 100;
   mouse_y = 100;
   mouse_b = 2;
   for (auto _ : state)
      EditPass();
}
BENCHMARK(BM_EditPass)->Repetitions(10)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
