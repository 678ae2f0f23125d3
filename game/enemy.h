#ifndef ENEMY_H
#define ENEMY_H

// The single enemy: one global instance, En, reused by every enemy start.
class Enemy {
public:
   int x;
   int y;
   int active;
   int facing;
   int blocked;
   int direction;
   int firing;
   int life;

   void Activate();
   void CheckGround();
   void Move();
   void Fire();
   void CheckForDeath();
   void Draw();
   void Deactivate();
};

constexpr int kEnemyStart = 1;     // ENEMY-layer value that wakes the enemy
constexpr int kEnemyLife = 10;
constexpr int kEnemySprite = 1;    // object of enemy.dat, facing left

void UpdateEnemy();

#endif
