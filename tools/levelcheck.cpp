// levelcheck: proves that a level can be finished. Starting where the game
// starts a level, it tries every input on every frame, moving the player
// with the game's own Player::Move and Player::CheckGround, until the exit
// is reached; the enemy is ignored. It prints the shortest input path, or
// where the player is stuck when the exit cannot be reached. It also looks
// for traps: places the player can get into but never leave towards the exit.
// Then it plays the whole game, enemy and shots included, with the game's own
// frame code, and looks for a path that reaches the exit alive.
//
//   levelcheck [--replay-out FILE] map.dat [more maps]
//     several maps are played one after another, as the game's level order;
//     FILE gets the path found alive as a replay for `game --replay FILE`.
//     exit status 0 finishable alive, 1 not, 2 bad file
//   LEVELCHECK_TRACE=1 prints the whole-game search's best state every 100
//   passes; LEVELCHECK_EFFORT=BEAM,HITCOST,SHOTVALUE tries only that effort.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "gamesearch.h"
#include "main.h"
#include "mapfile.h"
#include "movement.h"
#include "platform.h"
#include "replay.h"

static const char *const kInputNames[kInputCount] = {"none", "R", "L", "L+R", "J", "R+J", "L+J", "L+R+J"};

// Positions are reported as the cell the exit test looks at.
constexpr int kExitProbeX = kFeetX;
constexpr int kExitProbeY = kStepProbeY;

constexpr int kFramesPerSecond = kPassesPerSecond;
constexpr int kTrapExamples = 8;

static MoveGraph graph;

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
   const std::vector<int> &parent = graph.parent;
   std::vector<int> inputs;
   for (int i = goal; parent[i] != kNoState; i = parent[i])
      inputs.push_back(graph.via[i]);
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
   const PlayerState *furthest = &graph.states[0];
   for (const PlayerState &s : graph.states) {
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
   const std::vector<PlayerState> &states = graph.states;
   const std::vector<int> &parent = graph.parent;
   size_t n = states.size();
   std::vector<int> dist = graph.DistancesToExit();
   std::vector<char> hopeful(n, 0);
   for (size_t i = 0; i < n; i++)
      hopeful[i] = dist[i] >= 0;
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

// Runs of equal keys, as a player would read them.
static std::string KeyRuns(const unsigned char *keys, int n)
{
   std::string line;
   for (int i = 0; i < n;) {
      int run = 1;
      while (i + run < n && keys[i + run] == keys[i])
         run++;
      std::string name;
      for (auto [bit, letter] : {std::pair{kReplayRight, "R"}, {kReplayLeft, "L"}, {kReplayJump, "J"},
                                 {kReplayFire, "C"}, {kReplayF1, "F1"}})
         if (keys[i] & bit)
            name += (name.empty() ? "" : "+") + std::string(letter);
      line += (line.empty() ? "" : ", ") + (name.empty() ? "none" : name) + " x" + std::to_string(run);
      i += run;
   }
   return line;
}

// The movement-only proof: shortest path, or where the player is stuck, and traps.
static bool ProveMovement(const char *file)
{
   MapFileResult result = ReadMapFile(file, map);
   if (result != MAPFILE_OK) {
      fprintf(stderr, "%s: %s\n", file, MapFileMessage(result));
      exit(2);
   }
   printf("%s:\n", file);
   graph = MoveGraph{};
   Pl.Init();
   xoffset = yoffset = 0;
   int goal = graph.Explore(CaptureMove());
   printf("explored %zu player states\n", graph.states.size());
   if (goal == kNoState) {
      PrintStuck();
      return false;
   }
   PrintPath(goal);
   PrintTraps();
   return true;
}

// The whole game with the enemy; writes the found path as a replay.
static bool PlayAlive(const std::vector<std::string> &maps, const char *replay_out)
{
   GameRun run = SearchWholeGame(maps);
   printf("whole game with the enemy (%zu game states tried):\n", run.states);
   size_t at = 0;
   for (const LevelRun &lr : run.levels) {
      if (!lr.finished) {
         printf("%s: NOT finished alive\n", lr.map.c_str());
         return false;
      }
      printf("%s: finished alive at pass %d (%.1f s), hits taken %d, enemy hits %d, enemies shot %d\n",
             lr.map.c_str(), lr.passes, (double)lr.passes / kFramesPerSecond, lr.hitstaken, lr.enemyhits,
             lr.enemieskilled);
      printf("alive input path: %s\n", KeyRuns(&run.passes[at], lr.passes).c_str());
      at += lr.passes;
   }
   if (!replay_out)
      return true;
   Replay replay;
   replay.passes = run.passes;
   for (const std::string &name : maps) {
      ReplayMap m;
      m.name = FileNameOf(name);
      if (!FileChecksum(name.c_str(), m.crc)) {
         fprintf(stderr, "levelcheck: cannot read %s\n", name.c_str());
         exit(2);
      }
      replay.maps.push_back(m);
   }
   if (!WriteReplayFile(replay_out, replay)) {
      fprintf(stderr, "levelcheck: cannot write %s\n", replay_out);
      exit(2);
   }
   return true;
}

int main(int argc, char **argv)
{
   const char *replay_out = nullptr;
   std::vector<std::string> maps;
   for (int i = 1; i < argc; i++) {
      if (strcmp(argv[i], "--replay-out") == 0 && i + 1 < argc)
         replay_out = argv[++i];
      else if (argv[i][0] == '-')
         maps.clear(), i = argc;
      else
         maps.push_back(argv[i]);
   }
   if (maps.empty()) {
      fprintf(stderr, "usage: levelcheck [--replay-out FILE] map.dat [more maps, played in order]\n");
      return 2;
   }
   if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
      fprintf(stderr, "levelcheck: cannot start Allegro\n");
      return 2;
   }
   KeepFileNamesAsGiven();
   bool finishable = true;
   for (const std::string &name : maps)
      finishable = ProveMovement(name.c_str()) && finishable;
   if (!finishable)
      return 1;
   return PlayAlive(maps, replay_out) ? 0 : 1;
}
