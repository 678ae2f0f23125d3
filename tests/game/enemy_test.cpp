// The enemy: activation, patrol, falling, drawing, firing and being hit.

#include "game_test.h"

namespace {

using EnemyTest = GameTest;

void Start(int col, int row) { map[kEnemyLayer][col][row] = kEnemyStart; }

TEST_F(EnemyTest, LowestRowWinsAndTakenStartsAreCleared)
{
   Start(3, 1);
   Start(6, 4);
   Start(8, 4);                       // second start of a row waits for the next frame
   map[kEnemyLayer][5][2] = 2;        // not a start
   Start(10, 3);                      // outside the view
   En.Activate();
   EXPECT_EQ(En.active, 1);
   EXPECT_EQ(En.x, 6 * kTileSize);
   EXPECT_EQ(En.y, 113);
   EXPECT_EQ(map[kEnemyLayer][3][1], 0);
   EXPECT_EQ(map[kEnemyLayer][6][4], 0);
   EXPECT_EQ(map[kEnemyLayer][8][4], kEnemyStart);
   EXPECT_EQ(map[kEnemyLayer][5][2], 2);
   EXPECT_EQ(map[kEnemyLayer][10][3], kEnemyStart);

   En.life = 3;
   En.firing = 1;
   En.blocked = 1;
   En.direction = kRight;
   En.Activate();                     // a fresh enemy replaces the old one
   EXPECT_EQ(En.x, 8 * kTileSize);
   EXPECT_EQ(En.life, kEnemyLife);
   EXPECT_EQ(En.firing + En.blocked, 0);
   EXPECT_EQ(En.direction, kLeft);
   EXPECT_EQ(map[kEnemyLayer][8][4], 0);
   EXPECT_TRUE(played.empty());
}

TEST_F(EnemyTest, StartAboveGroundStandsAboveAGapFalls)
{
   Start(3, 0);
   Solid(3, 1);
   En.Activate();
   EXPECT_EQ(En.x, 96);
   EXPECT_EQ(En.y, -15);
   En.CheckGround();
   EXPECT_EQ(En.y, -15);

   Solid(5, 4);
   En.x = 160;
   En.y = 20;
   int frames = 0;
   while (En.y + kBodyH < 4 * kTileSize) {
      En.CheckGround();
      frames++;
   }
   EXPECT_EQ(En.y, 20 + 4 * frames);
   En.CheckGround();
   EXPECT_EQ(En.y, 20 + 4 * frames);  // it never rises and stops on the first solid cell
}

TEST_F(EnemyTest, PatrolTurnsAtBothViewEdgesAfterARefusedStep)
{
   En = {288, 50, 1, 0, 0, kRight, 0, kEnemyLife};
   std::vector<int> xs;
   for (int i = 0; i < 13; i++) {
      En.Move();
      xs.push_back(En.x);
   }
   EXPECT_EQ(xs, (std::vector<int>{291, 294, 297, 300, 303, 306, 309, 312, 315, 318, 321, 321, 318}));
   EXPECT_EQ(En.facing, kLeft);

   En = {32, 50, 1, 0, 0, kLeft, 0, kEnemyLife};
   xs.clear();
   for (int i = 0; i < 13; i++) {
      En.Move();
      xs.push_back(En.x);
   }
   EXPECT_EQ(xs, (std::vector<int>{29, 26, 23, 20, 17, 14, 11, 8, 5, 2, -1, -1, 2}));
   EXPECT_EQ(En.facing, kRight);

   Solid(4, 2);                       // a wall at step height, 45 px below the top
   En = {96, 50, 1, 0, 0, kRight, 0, kEnemyLife};
   En.Move();
   EXPECT_EQ(En.x, 96);
   EXPECT_EQ(En.facing, kRight);
   En.Move();
   EXPECT_EQ(En.x, 93);
}

TEST_F(EnemyTest, StartInColumnZeroIsRefusedOnceThenWalksRight)
{
   Start(0, 2);
   GroundRow(3, 0, 9);
   UpdateEnemy();
   EXPECT_EQ(En.x, 0);
   EXPECT_EQ(En.blocked, 1);
   UpdateEnemy();
   EXPECT_EQ(En.x, 3);
   EXPECT_EQ(En.facing, kRight);
}

TEST_F(EnemyTest, DrawnAsStoredFacingLeftAndMirroredFacingRight)
{
   En = {100, 40, 1, kLeft, 0, kLeft, 0, kEnemyLife};
   En.Draw();
   BITMAP *left = create_bitmap(kBodyW, kBodyH);
   blit(buffer, left, 100, 40, 0, 0, kBodyW, kBodyH);
   clear_bitmap(buffer);
   En.facing = kRight;
   En.Draw();
   int differ = 0, drawn = 0;
   for (int y = 0; y < kBodyH; y++)
      for (int x = 0; x < kBodyW; x++) {
         differ += getpixel(left, x, y) != getpixel(buffer, 100 + kBodyW - 1 - x, 40 + y);
         drawn += getpixel(left, x, y) != 0;
      }
   EXPECT_EQ(differ, 0);
   EXPECT_GT(drawn, 0);
   destroy_bitmap(left);
   clear_bitmap(buffer);
   En.facing = 0;
   En.Draw();
   EXPECT_EQ(CountColour(buffer, 0, 0, kScreenW - 1, kScreenH - 1, 0), kScreenW * kScreenH);
}

TEST_F(EnemyTest, FiresOnlyWithinTheBandOnTheSideItFaces)
{
   struct Case { int facing, px, py; bool fires; } cases[] = {
      {kLeft, 50, 48, false}, {kLeft, 50, 49, true}, {kLeft, 50, 100, true},
      {kLeft, 50, 101, false}, {kLeft, 100, 60, false}, {kLeft, 150, 60, false},
      {kRight, 150, 60, true}, {kRight, 50, 60, false},
   };
   for (const Case &c : cases) {
      En = {100, 50, 1, c.facing, 0, c.facing, 0, kEnemyLife};
      FreeShots(Ebullet);
      Pl.x = c.px;
      Pl.y = c.py;
      En.Fire();
      EXPECT_EQ(Ebullet[0].active, c.fires) << c.facing << " " << c.px << "," << c.py;
   }
   En = {100, 50, 1, kLeft, 0, kLeft, 0, kEnemyLife};
   FreeShots(Ebullet);
   Pl.x = 0;
   Pl.y = 60;
   clear_bitmap(buffer);
   En.Fire();
   EXPECT_EQ(Ebullet[0].x, 106);      // launched at 114, drawn there, then moved
   EXPECT_EQ(Ebullet[0].y, 63);
   EXPECT_EQ(Ebullet[0].speed, -8);
   EXPECT_LT(CountColour(buffer, 114, 63, 115, 64, 0) +
             CountColour(buffer, 106, 63, 107, 64, 0), 8);
   EXPECT_TRUE(played.empty());       // the enemy fires silently
}

TEST_F(EnemyTest, PendingShotWaitsForAFreeSlotThenGoesOffOutOfTheBand)
{
   En = {100, 50, 1, kLeft, 0, kLeft, 0, kEnemyLife};
   for (Bullet &b : Ebullet)
      b = {200, 10, 0, 1};
   Pl.x = 0;
   Pl.y = 60;
   En.Fire();
   EXPECT_EQ(En.firing, 1);
   Pl.y = 200;
   Ebullet[4].active = 0;
   En.Fire();
   EXPECT_EQ(En.firing, 0);
   EXPECT_EQ(Ebullet[4].x, 106);
}

TEST_F(EnemyTest, EveryShotInTheBoxCountsAndTheEleventhHitKills)
{
   En = {100, 50, 1, kLeft, 0, kLeft, 0, kEnemyLife};
   bullet[2] = {117, 60, 0, 1};
   bullet[5] = {131, 100, 0, 1};
   bullet[7] = {116, 60, 0, 1};       // on the box's edge: a miss
   En.CheckForDeath();
   EXPECT_EQ(Sounds(), (std::vector<const SAMPLE *>{hit, hit}));
   EXPECT_EQ(En.life, 8);
   EXPECT_FALSE(bullet[2].active || bullet[5].active);
   EXPECT_TRUE(bullet[7].active);
   bullet[7].active = 0;

   for (int i = 0; i < 8; i++)
      En.Deactivate();
   EXPECT_EQ(En.life, 0);
   EXPECT_EQ(En.active, 1);
   played.clear();
   Ebullet[0] = {200, 10, -8, 1};
   Pl.x = Pl.y = 300;                 // out of the band: no new shot
   bullet[0] = {120, 60, 0, 1};
   bullet[1] = {125, 70, 0, 1};       // a second hit after the enemy is gone
   UpdateEnemy();
   EXPECT_EQ(Sounds(), (std::vector<const SAMPLE *>{hit, dies, hit, dies}));
   EXPECT_EQ(En.active, 0);
   EXPECT_GT(CountColour(buffer, 97, 50, 140, 100, 0), 0);
   EXPECT_LT(CountColour(buffer, 97, 50, 140, 100, 0), 44 * 51);   // drawn once more

   clear_bitmap(buffer);
   int before = Ebullet[0].x;
   UpdateEnemy();                     // no enemy: its shots neither move nor show
   EXPECT_EQ(Ebullet[0].x, before);
   EXPECT_EQ(Ebullet[0].active, 1);
   EXPECT_EQ(CountColour(buffer, 0, 0, kScreenW - 1, kScreenH - 1, 0), kScreenW * kScreenH);
}

}  // namespace
