// One edit-mode pass headless: palette, grid, four layers of the view, the
// mouse highlight, the information column, the overview and the copy to the
// screen; and the designer's tools on the whole map.
#include <benchmark/benchmark.h>
#include <cstring>
#include <unistd.h>

#include "edit.h"
#include "headless.h"
#include "history.h"
#include "main.h"
#include "overview.h"
#include "tools.h"

static bool Start(benchmark::State &state)
{
   StartHeadless(kScreenW, kScreenH);
   if (chdir(RunDir().c_str()) != 0) {
      state.SkipWithError("no run folder");
      return false;
   }
   if (!buffer)
      LoadAssets();
   return true;
}

static void BM_EditPass(benchmark::State &state)
{
   if (!Start(state))
      return;
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

// The whole ground layer, 10,000 cells, filled and undone in turn: each
// fill changes every cell, with its undo step.
static void BM_FloodFillWholeLayer(benchmark::State &state)
{
   if (!Start(state))
      return;
   memset(map, 0, sizeof map);
   ClearHistory();
   int value = 1;
   for (auto _ : state) {
      benchmark::DoNotOptimize(FloodFill(kGroundLayer, 100, 25, value));
      value = value == 1 ? 2 : 1;
   }
   ClearHistory();
}
BENCHMARK(BM_FloodFillWholeLayer)->Repetitions(5)->ReportAggregatesOnly(true);

// A block the size of the map, all four layers, pasted at the top-left.
static void BM_PasteWholeMap(benchmark::State &state)
{
   if (!Start(state))
      return;
   for (int l = 0; l < kMapLayers; l++)
      for (int c = 0; c < kMapCols; c++)
         for (int r = 0; r < kMapRows; r++)
            map[l][c][r] = (unsigned short)(1 + (l + c + r) % 3);
   SelectCells(0, 0, kMapCols - 1, kMapRows - 1);
   CopySelection();
   ClearHistory();
   for (auto _ : state) {
      map[kGroundLayer][0][0] ^= 1;   // so each paste changes a cell and makes a step
      PasteAt(0, 0);
   }
   ClearSelection();
   ClearHistory();
}
BENCHMARK(BM_PasteWholeMap)->Repetitions(5)->ReportAggregatesOnly(true);

static void BM_DrawOverview(benchmark::State &state)
{
   if (!Start(state))
      return;
   for (int l = 0; l < kMapLayers; l++)
      for (int c = 0; c < kMapCols; c++)
         for (int r = 0; r < kMapRows; r++)
            map[l][c][r] = (unsigned short)((l * 3 + c + r) % 50);
   for (auto _ : state)
      DrawOverview();
}
BENCHMARK(BM_DrawOverview)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
