#include "movement.h"

#include "main.h"

// A player this far below the map's bottom has nothing to land on and the
// one jump it may still have lifts far less, so it only keeps falling.
constexpr int kLostBelowPx = kMapRows * kTileSize + 4 * kTileSize;

uint64_t MoveKey(const PlayerState &s)
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

PlayerState CaptureMove()
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
   return CaptureMove();
}

// The same cell Player::CheckForVictory looks at.
bool OnExit(const PlayerState &s)
{
   Restore(s);
   return Pl.OnExit();
}

bool Lost(const PlayerState &s)
{
   return s.yoffset * kTileSize + s.y > kLostBelowPx;
}

static int Add(MoveGraph &g, const PlayerState &s, int from, int input)
{
   auto found = g.seen.find(MoveKey(s));
   if (found != g.seen.end())
      return found->second;
   int index = (int)g.states.size();
   g.seen.emplace(MoveKey(s), index);
   g.states.push_back(s);
   g.parent.push_back(from);
   g.via.push_back((unsigned char)input);
   return index;
}

int MoveGraph::Explore(const PlayerState &start)
{
   Add(*this, start, kNoState, 0);
   int goal = kNoState;
   for (size_t i = 0; i < states.size(); i++) {
      successors.resize((i + 1) * kInputCount, kNoState);
      // The game moves the player before it first looks for the exit, so a
      // start on the exit is finished by the first frame, not before it.
      if (i > 0 && (OnExit(states[i]) || Lost(states[i])))
         continue;   // the level ends here, or the player is gone for good
      for (int input = 0; input < kInputCount; input++) {
         int next = Add(*this, Step(states[i], input), (int)i, input);
         successors[i * kInputCount + input] = next;
         if (goal == kNoState && OnExit(states[next]))
            goal = next;
      }
   }
   return goal;
}

std::vector<int> MoveGraph::DistancesToExit() const
{
   size_t n = states.size();
   std::vector<int> pred_start(n + 1, 0), preds;
   for (int next : successors)
      if (next != kNoState)
         pred_start[next + 1]++;
   for (size_t i = 0; i < n; i++)
      pred_start[i + 1] += pred_start[i];
   preds.resize(pred_start[n]);
   std::vector<int> fill(pred_start.begin(), pred_start.end() - 1);
   for (size_t i = 0; i < successors.size(); i++)
      if (successors[i] != kNoState)
         preds[fill[successors[i]]++] = (int)(i / kInputCount);
   std::vector<int> dist(n, -1), queue;
   for (size_t i = 0; i < n; i++)
      if (OnExit(states[i]))
         dist[i] = 0, queue.push_back((int)i);
   for (size_t q = 0; q < queue.size(); q++)
      for (int p = pred_start[queue[q]]; p < pred_start[queue[q] + 1]; p++)
         if (dist[preds[p]] < 0)
            dist[preds[p]] = dist[queue[q]] + 1, queue.push_back(preds[p]);
   return dist;
}
