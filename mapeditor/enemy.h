#ifndef ENEMY_H
#define ENEMY_H

// Enemy values the placement screen offers: 0 (none), 1 (enemy start), 2.
constexpr int kMaxEnemyValue = 2;
// Sideways scrolling of the placement screen, in columns.
constexpr int kEnemyScrollStep = 7;
// A step right is taken only from here or less, so it never ends above 199.
constexpr int kEnemyScrollRightFrom = 192;

// Runs enemy placement on layer 2 until Escape is held.
void EditEnemy();

// One pass of the placement loop, without the Escape test.
void EnemyPass();

// Draws the mouse highlight and places `tile` on layer 2 on a left click.
void EHighlight();

#endif
