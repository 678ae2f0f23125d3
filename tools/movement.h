#ifndef MOVEMENT_H
#define MOVEMENT_H

// The player's movement alone, moved by the game's own Player::Move and
// Player::CheckGround: the states a player can reach and how far each one is
// from the exit. The enemy is ignored.

#include <cstdint>
#include <unordered_map>
#include <vector>

// One frame's keys, in the order the game reads them.
constexpr int kKeyRight = 1;
constexpr int kKeyLeft = 2;
constexpr int kKeyJump = 4;
constexpr int kInputCount = 8;
constexpr int kNoState = -1;

// Everything that decides how the player moves next; direction and walk
// frame do not.
struct PlayerState {
   int x, y, xoffset, yoffset, jumping, jumptime, onground;
};

// The movement state of the game's player and view now.
PlayerState CaptureMove();
uint64_t MoveKey(const PlayerState &s);
bool OnExit(const PlayerState &s);
// Far below the map, with nothing left to land on.
bool Lost(const PlayerState &s);

// Every state reachable from a start, breadth first over frames.
struct MoveGraph {
   std::vector<PlayerState> states;
   std::vector<int> parent;
   std::vector<unsigned char> via;          // input that led here
   std::vector<int> successors;             // kInputCount per state
   std::unordered_map<uint64_t, int> seen;

   // Explores everything reachable and returns the first state found on the
   // exit (at the end of a shortest path), or kNoState.
   int Explore(const PlayerState &start);
   // Frames from each state to the nearest exit; -1 where none is left.
   std::vector<int> DistancesToExit() const;
};

#endif
