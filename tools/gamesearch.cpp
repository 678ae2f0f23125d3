#include "gamesearch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

#include "main.h"
#include "mapcopies.h"
#include "movement.h"
#include "replay.h"
#include "saveload.h"

// The inputs tried each pass: still, right or left, each with or without a
// jump and with or without fire. Both arrows at once only stand still.
static const unsigned char kInputs[] = {
   0, kReplayRight, kReplayLeft,
   kReplayJump, kReplayRight | kReplayJump, kReplayLeft | kReplayJump,
   kReplayFire, kReplayRight | kReplayFire, kReplayLeft | kReplayFire,
   kReplayJump | kReplayFire, kReplayRight | kReplayJump | kReplayFire,
   kReplayLeft | kReplayJump | kReplayFire,
};

// Tries with a wider beam and dearer hits when a narrow one finds nothing.
struct Effort {
   size_t beam;
   int hitcost;        // a hit taken weighs as much as this many passes of way
   int shotvalue;      // a hit on an enemy is worth this many
};
static const Effort kEfforts[] = {{400, 40, 0}, {400, 40, 8}, {1500, 80, 0}, {1500, 20, 8}};

// A beam that has come no nearer to the exit for this long is stuck (shots
// of a dead enemy can hang in the air for good) and is given up.
constexpr int kStallPasses = 400;

// Scores count quarter passes: a change of keys costs one, so of two equal
// ways the one a player's hands would take wins (held keys, few changes).
constexpr long kPassScore = 4;
constexpr long kChangeScore = 1;
constexpr int kPerPlace = 3;

// A level that takes this much longer than its shortest path is given up.
constexpr int kMaxSlack = 3000;

// Everything one pass reads and writes. The shot colours come from rand(),
// but only pixels use them, so the generator's state is not part of it.
struct GameState {
   Player pl;
   Enemy en;
   Bullet pb[kMaxShots];
   Bullet eb[kMaxShots];
   int xoffset, yoffset, currentlevel, levelsfinished;
   int cleared;        // the set of this level's enemy starts used up
};

struct Node {
   GameState s;
   int parent;
   unsigned char input;
   long score;
   int order;
   int changes;        // key changes on the way here
   int shots;          // hits on enemies on the way here
};

static std::vector<std::pair<int, int>> starts;     // the level's enemy starts
// The sets of used-up starts met in this level, each once; a state names
// its set by index, so it stays small however many starts the level has.
static std::vector<std::vector<bool>> clearedsets;
static std::unordered_map<std::vector<bool>, int> clearedindex;
static int restoredset = 0;
static MapGrid levelmap;                            // the level as loaded
static int played_aou = 0, played_hit = 0, played_dies = 0;

// Samples are counted, not played: they tell the hits apart.
extern "C" int __wrap_play_sample(const SAMPLE *spl, int, int, int, int)
{
   played_aou += spl == aou;
   played_hit += spl == hit;
   played_dies += spl == dies;
   return 0;
}

static void Restore(const GameState &s)
{
   Pl = s.pl;
   En = s.en;
   memcpy(bullet, s.pb, sizeof bullet);
   memcpy(Ebullet, s.eb, sizeof Ebullet);
   xoffset = s.xoffset;
   yoffset = s.yoffset;
   currentlevel = s.currentlevel;
   levelsfinished = s.levelsfinished;
   restoredset = s.cleared;
   const std::vector<bool> &cleared = clearedsets[s.cleared];
   for (size_t i = 0; i < starts.size(); i++)
      map[kEnemyLayer][starts[i].first][starts[i].second] = cleared[i] ? 0 : kEnemyStart;
}

static bool StartUsed(size_t i)
{
   return map[kEnemyLayer][starts[i].first][starts[i].second] != kEnemyStart;
}

// The set of used-up starts on the map now; mostly the one last restored.
static int ClearedSet()
{
   const std::vector<bool> &was = clearedsets[restoredset];
   size_t i = 0;
   while (i < starts.size() && StartUsed(i) == was[i])
      i++;
   if (i == starts.size())
      return restoredset;
   std::vector<bool> now(starts.size());
   for (i = 0; i < starts.size(); i++)
      now[i] = StartUsed(i);
   auto found = clearedindex.emplace(now, (int)clearedsets.size());
   if (found.second)
      clearedsets.push_back(now);
   return found.first->second;
}

static GameState Capture()
{
   GameState s;
   s.pl = Pl;
   s.en = En;
   memcpy(s.pb, bullet, sizeof bullet);
   memcpy(s.eb, Ebullet, sizeof Ebullet);
   s.xoffset = xoffset;
   s.yoffset = yoffset;
   s.currentlevel = currentlevel;
   s.levelsfinished = levelsfinished;
   s.cleared = ClearedSet();
   return s;
}

// Two states that play on alike hash alike: the walk frame and free shot
// slots do not count.
static uint64_t Hash(const GameState &s)
{
   uint64_t h = 1469598103934665603ull;
   auto mix = [&h](long v) { h = (h ^ (uint64_t)v) * 1099511628211ull; };
   const Player &p = s.pl;
   for (long v : {(long)p.x, (long)p.y, (long)p.direction, (long)(p.jumping != 0), (long)p.jumptime,
                  (long)p.onground, (long)p.life, (long)p.firing})
      mix(v);
   const Enemy &e = s.en;
   for (long v : {(long)e.x, (long)e.y, (long)e.active, (long)e.facing, (long)e.blocked,
                  (long)e.direction, (long)e.firing, (long)e.life})
      mix(v);
   for (const Bullet *shots : {s.pb, s.eb})
      for (int i = 0; i < kMaxShots; i++)
         if (shots[i].active)
            mix(i), mix(shots[i].x), mix(shots[i].y), mix(shots[i].speed);
         else
            mix(-1);
   mix(s.xoffset);
   mix(s.yoffset);
   mix(s.cleared);                 // one index for one set
   return h;
}

// One pass of the game's rules with these keys; F1 is held so a
// level-complete screen ends in the pass that shows it.
static void Pass(unsigned char input)
{
   key[KEY_RIGHT] = (input & kReplayRight) != 0;
   key[KEY_LEFT] = (input & kReplayLeft) != 0;
   key[KEY_SPACE] = (input & kReplayJump) != 0;
   key[KEY_LCONTROL] = (input & kReplayFire) != 0;
   key[KEY_F1] = 1;
   UpdatePlayer();
   UpdateEnemy();
}

// `name` is the player's own file, the copy's source, for messages.
static void FindStarts(const std::string &name)
{
   starts.clear();
   if (ReadMapFile(level[currentlevel], levelmap) != MAPFILE_OK) {
      fprintf(stderr, "levelcheck: cannot read %s again\n", name.c_str());
      exit(2);
   }
   for (int c = 0; c < kMapCols; c++)
      for (int r = 0; r < kMapRows; r++)
         if (levelmap[kEnemyLayer][c][r] == kEnemyStart)
            starts.push_back({c, r});
   clearedsets.assign(1, std::vector<bool>(starts.size(), false));
   clearedindex = {{clearedsets[0], 0}};
   restoredset = 0;
}

// A beam of game states, pass by pass, ordered by the movement's own
// distance to the exit plus a price for every life lost. On success the
// inputs are appended and the game stands after the level-complete pass.
static bool SearchLevel(const GameState &start, const Effort &effort, std::vector<unsigned char> &inputs,
                        size_t &tried)
{
   MoveGraph graph;
   Restore(start);
   if (graph.Explore(CaptureMove()) == kNoState)
      return false;
   std::vector<int> dist = graph.DistancesToExit();
   int limit = dist[0] + kMaxSlack;

   std::vector<Node> beam = {{start, -1, 0, 0, 0, 0, 0}};
   std::vector<std::vector<std::pair<int, unsigned char>>> back;
   std::vector<Node> next;
   std::unordered_set<uint64_t> seen;
   int nearest = dist[0], nearest_pass = 0;
   for (int pass = 1; pass <= limit && !beam.empty() && pass - nearest_pass < kStallPasses; pass++) {
      next.clear();
      seen.clear();
      for (size_t i = 0; i < beam.size(); i++) {
         for (unsigned char input : kInputs) {
            Restore(beam[i].s);
            int life = Pl.life, finished = levelsfinished, hits = played_hit;
            Pass(input);
            tried++;
            if (Pl.life > life)
               continue;                       // a death brings ten lives back
            if (levelsfinished != finished) {
               inputs.resize(inputs.size() + pass);
               size_t at = inputs.size() - 1;
               inputs[at] = input | kReplayF1;
               for (int p = (int)i, layer = (int)back.size() - 1; layer >= 0; layer--) {
                  inputs[--at] = back[layer][p].second;
                  p = back[layer][p].first;
               }
               return true;
            }
            auto found = graph.seen.find(MoveKey(CaptureMove()));
            if (found == graph.seen.end() || dist[found->second] < 0)
               continue;
            GameState s = Capture();
            if (!seen.insert(Hash(s)).second)
               continue;
            if (dist[found->second] < nearest)
               nearest = dist[found->second], nearest_pass = pass;
            int changes = beam[i].changes + (pass > 1 && input != beam[i].input);
            int shots = beam[i].shots + played_hit - hits;
            long score = kPassScore * (dist[found->second] + (long)effort.hitcost * (kPlayerLives - Pl.life) -
                                       (long)effort.shotvalue * shots) +
                         kChangeScore * changes;
            next.push_back({s, (int)i, input, score, (int)next.size(), changes, shots});
         }
      }
      if (getenv("LEVELCHECK_TRACE") && pass % 100 == 0 && !next.empty()) {
         const Node &best = *std::min_element(next.begin(), next.end(), [](const Node &a, const Node &b) {
            return a.score < b.score;
         });
         fprintf(stderr, "pass %d: %zu states, best %ld (life %d, view %d,%d at %d,%d; enemy %d at %d,%d life %d)\n",
                 pass, next.size(), best.score, best.s.pl.life, best.s.xoffset, best.s.yoffset, best.s.pl.x,
                 best.s.pl.y, best.s.en.active, best.s.en.x, best.s.en.y, best.s.en.life);
      }
      // The best states, but only a few per place of the player, so waiting
      // in safety cannot crowd out every way forward.
      std::sort(next.begin(), next.end(), [](const Node &a, const Node &b) {
         return a.score != b.score ? a.score < b.score : a.order < b.order;
      });
      size_t kept = 0;
      std::unordered_map<uint64_t, int> per_place;
      for (size_t k = 0; k < next.size() && kept < effort.beam; k++) {
         Restore(next[k].s);
         if (++per_place[MoveKey(CaptureMove())] <= kPerPlace)
            next[kept++] = next[k];
      }
      next.resize(kept);
      std::vector<std::pair<int, unsigned char>> layer;
      for (const Node &n : next)
         layer.push_back({n.parent, n.input});
      back.push_back(std::move(layer));
      beam.swap(next);
   }
   return false;
}

// Plays a found level again from its start, counting what happened; the
// game then stands in the next level, as after the real pass.
static void CountLevel(const GameState &start, const unsigned char *inputs, LevelRun &run)
{
   memcpy(map, levelmap, sizeof map);     // the level-complete pass loaded the next one
   Restore(start);
   played_aou = played_hit = played_dies = 0;
   for (int i = 0; i < run.passes; i++)
      Pass(inputs[i]);
   run.hitstaken = played_aou;
   run.enemyhits = played_hit;
   run.enemieskilled = played_dies;
}

// The game's shape without its pictures: tiny bitmaps keep drawing cheap and
// colours come from a lookup table instead of a palette search.
static void StartGameHeadless()
{
   static bool ready = false;
   if (ready)
      return;
   ready = true;
   set_color_depth(8);
   static PALETTE palette;
   for (int i = 0; i < PAL_SIZE; i++)
      palette[i] = {(unsigned char)(i & 63), (unsigned char)((i >> 2) & 63), (unsigned char)((i >> 4) & 63), 0};
   static RGB_MAP table;
   create_rgb_table(&table, palette, nullptr);
   rgb_map = &table;
   screen = create_bitmap(1, 1);
   buffer = create_bitmap(1, 1);
   static DATAFILE sprites[kWalkFrames + 1];
   for (int i = 0; i < kWalkFrames; i++)
      sprites[i] = {create_bitmap(1, 1), DAT_BITMAP, 0, nullptr};
   sprites[kWalkFrames] = {nullptr, DAT_END, 0, nullptr};
   pwalk = sprites;
   enemy = sprites;
   for (SAMPLE **s : {&fires, &hit, &dies, &jumps, &congrats, &aou, &omgdied})
      *s = create_sample(8, 0, 1000, 1);
}

GameRun SearchWholeGame(const std::vector<std::string> &maps)
{
   StartGameHeadless();
   std::string dir = PlaceMapCopies(maps);
   char cwd[4096];
   if (!getcwd(cwd, sizeof cwd) || chdir(dir.c_str()) != 0) {
      perror("levelcheck");
      exit(2);
   }
   StartLevelOrder();

   GameRun run;
   for (const std::string &name : maps) {
      LevelRun lr;
      lr.map = name;
      FindStarts(name);
      GameState start = Capture();
      std::vector<Effort> efforts(std::begin(kEfforts), std::end(kEfforts));
      Effort tried;
      if (const char *e = getenv("LEVELCHECK_EFFORT"))
         if (sscanf(e, "%zu,%d,%d", &tried.beam, &tried.hitcost, &tried.shotvalue) == 3)
            efforts = {tried};
      for (const Effort &effort : efforts) {
         size_t before = run.passes.size();
         if (SearchLevel(start, effort, run.passes, run.states)) {
            lr.finished = true;
            lr.passes = (int)(run.passes.size() - before);
            CountLevel(start, &run.passes[before], lr);
            break;
         }
      }
      run.levels.push_back(lr);
      if (!lr.finished)
         break;
   }
   if (chdir(cwd) != 0)
      perror("levelcheck");
   RemoveMapCopies();
   return run;
}
