// levelcheck: proves that a level can be finished. Starting where the game
// starts a level, it tries every input on every frame, moving the player
// with the game's own Player::Move and Player::CheckGround, until the exit
// is reached; the enemy is ignored. It prints the shortest input path, or
// where the player is stuck when the exit cannot be reached. It also looks
// for traps: places the player can get into but never leave towards the exit.
//
//   levelcheck map.dat     exit status 0 finishable, 1 not, 2 bad file

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "main.h"
#include "mapfile.h"

// One frame's keys, in the order the game reads them.
constexpr int kKeyRight = 1;
constexpr int kKeyLeft = 2;
constexpr int kKeyJump = 4;
constexpr int kInputCount = 8;
static const char *const kInputNames[kInputCount] = {"none", "R", "L", "L+R", "J", "R+J", "L+J", "L+R+J"};

// Positions are reported as the cell the exit test looks at.
constexpr int kExitProbeX = kFeetX;
constexpr int kExitProbeY = kStepProbeY;

constexpr int kFramesPerSecond = 1000 / kFrameRestMs;
// A player this far below the map's bottom has nothing to land on and the
// one jump it may still have lifts far less, so it only keeps falling.
constexpr int kLostBelowPx = kMapRows * kTileSize + 4 * kTileSize;
constexpr int kTrapExamples = 8;
constexpr int kNoState = -1;

// Everything that decides how the player moves next; direction and walk
// frame do not.
struct PlayerState {
   int x, y, xoffset, yoffset, jumping, jumptime, onground;
};

static std::vector<PlayerState> states;
static std::vector<int> parent;
static std::vector<unsigned char> via;          // input that led here
static std::vector<int> successors;             // kInputCount per state
static std::unordered_map<uint64_t, int> seen;

static uint64_t Key(const PlayerState &s)
{
   return (uint64_t)(uint16_t)s.x | (uint64_t)(uint16_t)s.y << 16 | (uint64_t)(uint8_t)s.xoffset << 32 |
          (uint64_t)(uint8_t)s.yoffset << 40 | (uint64_t)(s.jumping != 0) << 48 |
          (uint64_t)(uint8_t)s.jumptime << 49 | (uint64_t)(s.onground != 0) << 57;
}

static void Restore(const PlayerState &s)
{
   Pl.x = s.x;
   Pl.y = s.y;
   xoffset = s.xoffset;
   yoffset = s.yoffset;
   Pl.jumping = s.jumping;
   Pl.jumptime = s.jumptime;
   Pl.onground = s.onground;
}

static PlayerState Capture()
{
   return {Pl.x, Pl.y, xoffset, yoffset, Pl.jumping != 0 ? -1 : 0, Pl.jumptime, Pl.onground};
}

// The movement part of UpdatePlayer for one frame, without its sound.
static PlayerState Step(const PlayerState &from, int input)
{
   Restore(from);
   if (input & kKeyRight)
      Pl.Move(kRight);
   if (input & kKeyLeft)
      Pl.Move(kLeft);
   if (input & kKeyJump)
      Pl.StartJump();
   Pl.CheckGround();
   return Capture();
}

// The same cell Player::CheckForVictory looks at.
static bool OnExit(const PlayerState &s)
{
   Restore(s);
   return Pl.OnExit();
}

static bool Lost(const PlayerState &s)
{
   return s.yoffset * kTileSize + s.y > kLostBelowPx;
}

static int Add(const PlayerState &s, int from, int input)
{
   auto found = seen.find(Key(s));
   if (found != seen.end())
      return found->second;
   int index = (int)states.size();
   seen.emplace(Key(s), index);
   states.push_back(s);
   parent.push_back(from);
   via.push_back((unsigned char)input);
   return index;
}

// Breadth first over frames, so the first exit found is a shortest path.
// Explores everything reachable (for the trap search) and returns the
// first state on the exit, or kNoState.
static int Explore()
{
   Pl.Init();
   PlayerState start = {Pl.x, Pl.y, 0, 0, Pl.jumping, Pl.jumptime, Pl.onground};
   Add(start, kNoState, 0);
   int goal = kNoState;
   for (size_t i = 0; i < states.size(); i++) {
      successors.resize((i + 1) * kInputCount, kNoState);
      // The game moves the player before it first looks for the exit, so a
      // start on the exit is finished by the first frame, not before it.
      if (i > 0 && (OnExit(states[i]) || Lost(states[i])))
         continue;   // the level ends here, or the player is gone for good
      for (int input = 0; input < kInputCount; input++) {
         int next = Add(Step(states[i], input), (int)i, input);
         successors[i * kInputCount + input] = next;
         if (goal == kNoState && OnExit(states[next]))
            goal = next;
      }
   }
   return goal;
}

static int CellCol(const PlayerState &s)
{
   return s.xoffset + (s.x + kExitProbeX) / kTileSize;
}

static int CellRow(const PlayerState &s)
{
   return s.yoffset + (s.y + kExitProbeY) / kTileSize;
}

static void PrintPath(int goal)
{
   std::vector<int> inputs;
   for (int i = goal; parent[i] != kNoState; i = parent[i])
      inputs.push_back(via[i]);
   std::string line;
   for (size_t end = inputs.size(); end > 0;) {
      size_t start = end - 1;
      while (start > 0 && inputs[start - 1] == inputs[end - 1])
         start--;
      if (!line.empty())
         line += ", ";
      line += std::string(kInputNames[inputs[end - 1]]) + " x" + std::to_string(end - start);
      end = start;
   }
   printf("exit reached in %zu frames (%.1f s at %d frames a second)\n", inputs.size(),
          (double)inputs.size() / kFramesPerSecond, kFramesPerSecond);
   printf("shortest input path: %s\n", line.c_str());
}

static void PrintStuck()
{
   int min_col = kMapCols, max_col = -1, min_row = kMapRows, max_row = -1;
   const PlayerState *furthest = &states[0];
   for (const PlayerState &s : states) {
      if (Lost(s))
         continue;
      int col = CellCol(s), row = CellRow(s);
      min_col = std::min(min_col, col);
      max_col = std::max(max_col, col);
      min_row = std::min(min_row, row);
      max_row = std::max(max_row, row);
      if (col > CellCol(*furthest))
         furthest = &s;
   }
   printf("the exit CANNOT be reached\n");
   printf("the player gets no further than columns %d to %d, rows %d to %d\n", min_col, max_col, min_row,
          max_row);
   printf("furthest right: column %d, row %d (view at column %d, row %d)\n", CellCol(*furthest),
          CellRow(*furthest), furthest->xoffset, furthest->yoffset);
}

// States from which no input sequence leads to the exit any more.
static void PrintTraps()
{
   size_t n = states.size();
   std::vector<int> pred_start(n + 1, 0), preds;
   for (size_t i = 0; i < n; i++)
      for (int k = 0; k < kInputCount; k++)
         if (successors[i * kInputCount + k] != kNoState)
            pred_start[successors[i * kInputCount + k] + 1]++;
   for (size_t i = 0; i < n; i++)
      pred_start[i + 1] += pred_start[i];
   preds.resize(pred_start[n]);
   std::vector<int> fill(pred_start.begin(), pred_start.end() - 1);
   for (size_t i = 0; i < n; i++)
      for (int k = 0; k < kInputCount; k++)
         if (successors[i * kInputCount + k] != kNoState)
            preds[fill[successors[i * kInputCount + k]]++] = (int)i;
   std::vector<char> hopeful(n, 0);
   std::vector<int> queue;
   for (size_t i = 0; i < n; i++)
      if (OnExit(states[i]))
         hopeful[i] = 1, queue.push_back((int)i);
   for (size_t q = 0; q < queue.size(); q++)
      for (int p = pred_start[queue[q]]; p < pred_start[queue[q] + 1]; p++)
         if (!hopeful[preds[p]])
            hopeful[preds[p]] = 1, queue.push_back(preds[p]);
   std::set<std::pair<int, int>> cells;
   size_t trapped = 0, fallen = 0;
   for (size_t i = 0; i < n; i++) {
      if (hopeful[i])
         continue;
      trapped++;
      if (CellRow(states[i]) >= kMapRows)
         fallen++;
      // Where a hopeful player steps into the trap is what a designer mends.
      if (parent[i] != kNoState && hopeful[parent[i]])
         cells.insert({CellCol(states[parent[i]]), CellRow(states[parent[i]])});
   }
   if (trapped == 0) {
      printf("no traps: the exit stays reachable from every one of the %zu states\n", n);
      return;
   }
   printf("TRAPS: from %zu of %zu reachable states the exit can no longer be reached", trapped, n);
   if (fallen)
      printf(" (%zu of them below the map)", fallen);
   if (!cells.empty())
      printf(";\n  the way in is at %zu cells, e.g.", cells.size());
   int shown = 0;
   for (auto &c : cells)
      if (shown++ < kTrapExamples)
         printf(" (column %d, row %d)", c.first, c.second);
   printf("\n");
}

int main(int argc, char **argv)
{
   if (argc != 2) {
      fprintf(stderr, "usage: levelcheck map.dat\n");
      return 2;
   }
   if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
      fprintf(stderr, "levelcheck: cannot start Allegro\n");
      return 2;
   }
   MapFileResult result = ReadMapFile(argv[1], map);
   if (result != MAPFILE_OK) {
      fprintf(stderr, "%s: %s\n", argv[1], MapFileMessage(result));
      return 2;
   }
   printf("%s:\n", argv[1]);
   int goal = Explore();
   printf("explored %zu player states\n", states.size());
   if (goal == kNoState) {
      PrintStuck();
      return 1;
   }
   PrintPath(goal);
   PrintTraps();
   return 0;
}
