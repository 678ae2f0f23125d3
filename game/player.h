#ifndef PLAYER_H
#define PLAYER_H

#include <string>

// The player character: one global instance, Pl.
class Player {
public:
   int x;
   int y;
   int direction;
   int jumping;
   int jumptime;
   int onground;
   int frame;
   int life;
   int firing;

   void Init();
   void Move(int direction);
   void CheckGround();
   void Draw();
   void Fire();
   void CheckForDeath();
   void Dies();
   void CheckForVictory();

   // Starts a jump when the player may (on ground, no jump under way);
   // nonzero when it did.
   int StartJump();
   // Nonzero when the exit tile lies under the player's mid-body.
   int OnExit();
};

constexpr int kPlayerLives = 10;
constexpr int kWalkFrames = 4;      // objects of pwalk.dat, facing right
constexpr int kExitTile = 49;

void InitPlayer();
void UpdatePlayer();

// Why the player cannot start with its top-left corner at map cell
// (col, row) of the map loaded now, or "".
std::string StartRefusal(int col, int row);
// Puts the player's top-left corner at the top-left of map cell (col, row)
// and the view where walking there would have brought it: the player's
// whole body inside the view, the view inside the map.
void PlaceAtStart(int col, int row);

#endif
