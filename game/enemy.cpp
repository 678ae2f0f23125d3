#include "enemy.h"

#include "main.h"

constexpr int kEnemyWalk = 3;
constexpr int kEnemyFall = 4;

// A new enemy stands this far above its start cell's top edge.
constexpr int kStartLift = 15;

// It walks while its left edge stays within the view's width.
constexpr int kRightmostX = kViewWidthPx - 1;
constexpr int kLeftmostX = 1;

// The player is level with the enemy inside this band of its y.
constexpr int kFireBandAbove = 2;

// Wakes (or replaces) the enemy at the first start of each view row.
void Enemy::Activate()
{
   for (int j = 0; j < kViewRows; j++) {
      for (int i = 0; i < kViewCols; i++) {
         int col = xoffset + i;
         int row = yoffset + j;
         if (MapValueAt(map, kEnemyLayer, col, row) != kEnemyStart)
            continue;
         active = 1;
         x = i * kTileSize;
         y = j * kTileSize - kStartLift;
         map[kEnemyLayer][col][row] = 0;   // a start found here lies inside the map
         blocked = 0;
         direction = kLeft;
         firing = 0;
         life = kEnemyLife;
         break;
      }
   }
}

// The enemy falls but never rises.
void Enemy::CheckGround()
{
   if (ViewCell(kGroundLayer, x + kFeetX, y + kFeetY) == 0)
      y += kEnemyFall;
}

// Patrol: a refused step turns the enemy round on its next move. It looks
// for walls and the view's edges only, so it walks off ledges.
void Enemy::Move()
{
   if (direction == kRight && blocked == 1) {
      direction = kLeft;
      blocked = 0;
   } else if (direction == kLeft && blocked == 1) {
      direction = kRight;
      blocked = 0;
   }

   if (direction == kRight) {
      if (ViewCell(kGroundLayer, x + kBodyW, y + kStepProbeY) == 0 && x <= kRightmostX)
         x += kEnemyWalk;
      else
         blocked = 1;
      facing = kRight;
   } else if (direction == kLeft) {
      if (ViewCell(kGroundLayer, x, y + kStepProbeY) == 0 && x >= kLeftmostX)
         x -= kEnemyWalk;
      else
         blocked = 1;
      facing = kLeft;
   }
}

// Fires at a player level with it on the side it faces; the request
// waits while all ten shots fly.
void Enemy::Fire()
{
   if (Pl.y > y - kFireBandAbove && Pl.y < y + kBodyH) {
      if (Pl.x < x && facing == kLeft)
         firing = 1;
      if (Pl.x > x && facing == kRight)
         firing = 1;
   }
   if (firing && LaunchShot(Ebullet, x, y, facing, nullptr))
      firing = 0;
   FlyShots(Ebullet);
}

// Every player shot inside the box counts, even after the enemy is gone.
void Enemy::CheckForDeath()
{
   for (int i = 0; i < kMaxShots; i++) {
      if (!bullet[i].active || !ShotHits(bullet[i], x, y))
         continue;
      PlaySound(hit);
      Deactivate();
      bullet[i].active = 0;
   }
}

void Enemy::Draw()
{
   BITMAP *sprite = static_cast<BITMAP *>(enemy[kEnemySprite].dat);
   if (facing == kLeft)
      draw_sprite(buffer, sprite, x, y);
   if (facing == kRight)
      draw_sprite_h_flip(buffer, sprite, x, y);
}

// Takes a hit point; with none left the enemy dies.
void Enemy::Deactivate()
{
   if (life != 0) {
      life--;
   } else {
      PlaySound(dies);
      active = 0;
   }
}

void UpdateEnemy()
{
   En.Activate();
   if (!En.active)
      return;
   En.CheckGround();
   En.Move();
   En.Fire();
   En.CheckForDeath();
   En.Draw();
}
