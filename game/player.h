#ifndef PLAYER_H
#define PLAYER_H

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

#endif
