#include "history.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "edit.h"
#include "main.h"

// One cell a step changed, by its place in the map seen as a flat array.
struct CellChange {
   uint32_t cell;
   uint16_t before;
   uint16_t after;
};

typedef std::vector<CellChange> Step;

static std::deque<Step> undo_steps;
static std::vector<Step> redo_steps;
static long undo_cells = 0;

// The map as it was when the open step began; compared with the map when
// it ends, so the drawing code writes cells as it always has.
static MapGrid before_step;
static bool step_open = false;

static bool undo_key_held = false;
static bool redo_key_held = false;

static unsigned short *Cells(MapGrid grid)
{
   return &grid[0][0][0];
}

void BeginStep()
{
   if (step_open)
      return;
   memcpy(before_step, map, sizeof(map));
   step_open = true;
}

static void ForgetOldest()
{
   while (undo_steps.size() > static_cast<size_t>(kMaxUndoSteps) ||
          (undo_cells > kMaxUndoCells && undo_steps.size() > 1)) {
      undo_cells -= static_cast<long>(undo_steps.front().size());
      undo_steps.pop_front();
   }
}

void EndStep()
{
   if (!step_open)
      return;
   step_open = false;
   const unsigned short *old = Cells(before_step);
   const unsigned short *now = Cells(map);
   Step step;
   for (uint32_t i = 0; i < static_cast<uint32_t>(kMapCells); i++)
      if (old[i] != now[i])
         step.push_back({i, old[i], now[i]});
   if (step.empty())
      return;
   step.shrink_to_fit();
   undo_cells += static_cast<long>(step.size());
   undo_steps.push_back(std::move(step));
   redo_steps.clear();
   ForgetOldest();
}

void RecordStep(void (*change)())
{
   EndStep();
   BeginStep();
   change();
   EndStep();
}

bool Undo()
{
   EndStep();
   if (undo_steps.empty())
      return false;
   Step step = std::move(undo_steps.back());
   undo_steps.pop_back();
   undo_cells -= static_cast<long>(step.size());
   unsigned short *cells = Cells(map);
   for (const CellChange &c : step)
      cells[c.cell] = c.before;
   redo_steps.push_back(std::move(step));
   return true;
}

bool Redo()
{
   EndStep();
   if (redo_steps.empty())
      return false;
   Step step = std::move(redo_steps.back());
   redo_steps.pop_back();
   unsigned short *cells = Cells(map);
   for (const CellChange &c : step)
      cells[c.cell] = c.after;
   undo_cells += static_cast<long>(step.size());
   undo_steps.push_back(std::move(step));
   return true;
}

int UndoSteps()
{
   return static_cast<int>(undo_steps.size());
}

int RedoSteps()
{
   return static_cast<int>(redo_steps.size());
}

void ClearHistory()
{
   undo_steps.clear();
   redo_steps.clear();
   undo_cells = 0;
   step_open = false;
   undo_key_held = redo_key_held = false;
}

void TrackStroke()
{
   if (mouse_b & kLeftButton)
      BeginStep();
   else
      EndStep();
}

bool CtrlHeld()
{
   return key[KEY_LCONTROL] || key[KEY_RCONTROL];
}

// Acting on every pass a key is held would wipe the whole history in a
// second, so each press gives one step.
void HistoryKeys()
{
   bool undo = CtrlHeld() && key[KEY_Z];
   bool redo = CtrlHeld() && key[KEY_Y];
   if (undo && !undo_key_held)
      Undo();
   if (redo && !redo_key_held)
      Redo();
   undo_key_held = undo;
   redo_key_held = redo;
}
