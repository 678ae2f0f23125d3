// The player: walking, jumping, falling, view jumps, shots, death and victory.

#include "game_test.h"

#include <algorithm>
#include <cstdlib>

#include "draw.h"

namespace {

using PlayerTest = GameTest;

constexpr int kFloorRow = 5;
constexpr int kRestY = kFloorRow * kTileSize - kBodyH + 3;   // a fall lands 3 px deep

TEST_F(PlayerTest, WalkingBlockedByWallsAtStepHeightOnly)
{
   StandOnRow(100, kFloorRow);
   Press(KEY_RIGHT);
   UpdatePlayer();
   EXPECT_EQ(Pl.x, 103);
   EXPECT_EQ(Pl.frame, 1);

   Pl.x = 96;                 // right edge against column 4
   Solid(4, 3);               // y + 45 = 154 lies in row 4, not 3: no wall
   UpdatePlayer();
   EXPECT_EQ(Pl.x, 99);
   Pl.x = 96;
   Solid(4, 4);
   for (int i = 0; i < 4; i++)
      UpdatePlayer();
   EXPECT_EQ(Pl.x, 96);       // walking on the spot: the frame still cycles
   EXPECT_EQ(Pl.frame, 2);
   EXPECT_EQ(Pl.direction, kRight);

   Press(KEY_LEFT);           // both keys: right then left, two frames, facing left
   Pl.x = 40;
   Pl.frame = 0;
   UpdatePlayer();
   EXPECT_EQ(Pl.x, 40);
   EXPECT_EQ(Pl.frame, 2);
   EXPECT_EQ(Pl.direction, kLeft);
   Pl.Move(3);
   EXPECT_EQ(Pl.x, 40);
   EXPECT_EQ(Pl.frame, 2);
}

TEST_F(PlayerTest, FallLandsUpToThreePixelsDeepAndJumpRisesSixtyPixels)
{
   GroundRow(kFloorRow, 0, 20);
   Press(KEY_SPACE);                 // no jump during the first fall: not yet on ground
   while (!Pl.onground) {
      UpdatePlayer();
      ASSERT_EQ(Pl.jumping, 0);
   }
   EXPECT_EQ(Pl.y, kRestY);
   EXPECT_TRUE(Sounds().empty());

   UpdatePlayer();                   // space held: the jump starts and rises 12 at once
   EXPECT_EQ(Pl.y, kRestY - 12);
   EXPECT_EQ(Sounds(), std::vector<const SAMPLE *>{jumps});
   Release(KEY_SPACE);
   int top = Pl.y;
   for (int i = 0; i < 6; i++) {
      UpdatePlayer();
      top = std::min(top, Pl.y);
   }
   EXPECT_EQ(top, kRestY - 60);
   EXPECT_EQ(Pl.jumping, 0);
   UpdatePlayer();
   EXPECT_EQ(Pl.y, top + 4);         // then plain falling
   while (!Pl.onground)
      UpdatePlayer();
   EXPECT_EQ(Pl.y, kRestY);
}

TEST_F(PlayerTest, JumpStartsInMidAirAfterWalkingOffALedge)
{
   StandOnRow(0, kFloorRow);
   for (int c = 0; c < kMapCols; c++)
      map[kGroundLayer][c][kFloorRow] = 0;
   Pl.CheckGround();
   EXPECT_EQ(Pl.y, kFloorRow * kTileSize - kBodyH + 4);
   Press(KEY_SPACE);
   UpdatePlayer();
   EXPECT_NE(Pl.jumping, 0);
   for (int i = 0; i < 8; i++)
      UpdatePlayer();
   EXPECT_EQ(Pl.jumping, 0);         // no second jump before landing
   EXPECT_EQ(Pl.onground, 0);
   EXPECT_EQ(Sounds().size(), 1u);
}

// One step or one gravity pass from a boundary position, in an empty map.
TEST_F(PlayerTest, ViewJumpsBySevenTilesAtTheExactBounds)
{
   enum Step { RIGHT, LEFT, GROUND };
   struct Case { Step step; int x, y, xoff, yoff; int x2, y2, xoff2, yoff2; } cases[] = {
      {RIGHT, 221, 0, 0, 0, 224, 0, 0, 0},      {RIGHT, 222, 0, 0, 0, 0, 0, 7, 0},
      {RIGHT, 222, 0, 196, 0, 0, 0, 203, 0},    {RIGHT, 222, 0, 203, 0, 225, 0, 203, 0},
      {LEFT, 6, 0, 7, 0, 3, 0, 7, 0},           {LEFT, 3, 0, 7, 0, 224, 0, 0, 0},
      {LEFT, 0, 0, 0, 0, -3, 0, 0, 0},          {LEFT, -3, 0, 0, 0, -3, 0, 0, 0},
      {GROUND, 0, 168, 0, 0, 0, 172, 0, 0},     {GROUND, 0, 172, 0, 0, 0, 0, 0, 7},
      {GROUND, 0, 172, 0, 42, 0, 0, 0, 49},     {GROUND, 0, 172, 0, 49, 0, 176, 0, 49},
      {GROUND, 0, -19, 0, 7, 0, -15, 0, 7},     {GROUND, 0, -24, 0, 7, 0, 173, 0, 0},
   };
   for (const Case &c : cases) {
      Pl.x = c.x;
      Pl.y = c.y;
      xoffset = c.xoff;
      yoffset = c.yoff;
      if (c.step == GROUND)
         Pl.CheckGround();
      else
         Pl.Move(c.step == RIGHT ? kRight : kLeft);
      EXPECT_EQ((std::vector<int>{Pl.x, Pl.y, xoffset, yoffset}),
                (std::vector<int>{c.x2, c.y2, c.xoff2, c.yoff2}))
         << "step " << c.step << " from " << c.x << "," << c.y << " at " << c.xoff << "," << c.yoff;
   }
}

TEST_F(PlayerTest, LaunchTakesLowestFreeSlotOrStaysPendingSilently)
{
   Bullet shots[kMaxShots] = {};
   shots[0].active = shots[1].active = 1;
   EXPECT_TRUE(LaunchShot(shots, 100, 50, kLeft, nullptr));
   EXPECT_EQ(shots[2].active, 1);
   EXPECT_EQ(shots[2].x, 114);
   EXPECT_EQ(shots[2].y, 63);
   EXPECT_EQ(shots[2].speed, -8);
   EXPECT_EQ(shots[3].active, 0);

   Press(KEY_LCONTROL);
   for (int i = 0; i < kMaxShots; i++)
      UpdatePlayer();
   EXPECT_EQ(played.size(), 10u);
   for (const Bullet &b : bullet)
      EXPECT_EQ(b.active, 1);
   Release(KEY_LCONTROL);
   for (Bullet &b : bullet)
      b.speed = 0;                   // keep all ten in flight
   UpdatePlayer();
   Pl.firing = 1;
   UpdatePlayer();
   EXPECT_EQ(played.size(), 10u);
   EXPECT_EQ(Pl.firing, 1);
   bullet[6].active = 0;
   UpdatePlayer();                   // key up, but the pending request goes off
   EXPECT_EQ(Pl.firing, 0);
   EXPECT_EQ(bullet[6].active, 1);
   ASSERT_EQ(played.size(), 11u);
   EXPECT_EQ(played.back().sample, fires);
   EXPECT_EQ(played.back().vol, 255);
   EXPECT_EQ(played.back().pan, 128);
   EXPECT_EQ(played.back().freq, 10000);
   EXPECT_EQ(played.back().loop, 0);
}

TEST_F(PlayerTest, FlightDrawsGlitterThenMovesAndFreesPastTheViewWidth)
{
   Bullet shots[kMaxShots] = {};
   shots[0] = {114, 63, -8, 1};
   shots[1] = {312, 10, 8, 1};
   shots[2] = {8, 10, -8, 1};
   shots[3] = {6, 20, -8, 1};
   srand(7);
   int expected[4];
   for (int &c : expected) {
      int b = rand() % 255, g = rand() % 255, r = rand() % 255;
      c = makecol(r, g, b);
   }
   srand(7);
   FlyShots(shots);
   EXPECT_EQ(getpixel(buffer, 114, 63), expected[0]);
   EXPECT_EQ(getpixel(buffer, 115, 63), expected[1]);
   EXPECT_EQ(getpixel(buffer, 114, 64), expected[2]);
   EXPECT_EQ(getpixel(buffer, 115, 64), expected[3]);
   EXPECT_EQ(shots[0].x, 106);
   EXPECT_EQ(shots[1].x, 320);
   EXPECT_EQ(shots[1].active, 1);
   EXPECT_EQ(shots[2].active, 1);    // at 0 it stays
   EXPECT_EQ(shots[3].active, 0);    // at -2 it is gone
   FlyShots(shots);
   EXPECT_EQ(shots[1].active, 0);
}

TEST_F(PlayerTest, HitBoxIsTheRightHalfOfTheBodyWithStrictEdges)
{
   struct Case { int x, y; bool hits; } cases[] = {
      {16, 10, false}, {17, 10, true}, {31, 50, true}, {32, 10, false},
      {20, 0, false}, {20, 51, false}, {20, 1, true}, {5, 10, false},
   };
   for (const Case &c : cases) {
      Bullet b = {c.x + 40, c.y + 30, 8, 1};
      EXPECT_EQ(ShotHits(b, 40, 30), c.hits) << c.x << "," << c.y;
   }
}

TEST_F(PlayerTest, TenthHitShowsDeathScreenAndRestartsTheLevel)
{
   map[kEnemyLayer][2][2] = 1;
   WriteLevels();
   map[kEnemyLayer][2][2] = 0;       // as if the enemy had been woken
   UseTestTiles();
   xoffset = 7;
   map[kGroundLayer][12][0] = 1;     // view cell (5, 0)
   Pl.x = 100;
   Pl.y = 40;
   Pl.life = 2;
   En = {};                          // no enemy yet: the death still plays `dies`
   Ebullet[0] = {120, 50, 0, 1};
   Ebullet[3] = {125, 60, 0, 1};
   Ebullet[5] = {10, 10, 0, 1};
   bullet[1] = {50, 50, 0, 1};
   Press(KEY_F1);                    // held beforehand: the wait ends at once
   DrawToBuffer();
   UpdatePlayer();
   EXPECT_EQ(Sounds(), (std::vector<const SAMPLE *>{aou, aou, omgdied, dies}));
   EXPECT_EQ(Pl.life, 10);
   EXPECT_EQ(Pl.x, 0);
   EXPECT_EQ(Pl.direction, kRight);
   EXPECT_EQ(xoffset, 7);            // the view in which it died
   EXPECT_EQ(map[kEnemyLayer][2][2], 1);
   EXPECT_EQ(map[kGroundLayer][12][0], 0);
   for (int i = 0; i < kMaxShots; i++)
      EXPECT_FALSE(bullet[i].active || Ebullet[i].active) << i;
   int white = makecol(255, 255, 255);
   EXPECT_GT(CountColour(screen, 130 - 68, 120, 130 + 67, 127, white), 0);
   EXPECT_GT(CountColour(screen, 130 - 84, 130, 130 + 83, 137, white), 0);
   EXPECT_EQ(CountColour(screen, 0, 0, 319, 119, white), 0);
   EXPECT_EQ(CountColour(screen, 160, 0, 191, 31, kColourA), 32 * 32);   // tiles under the text

   // The rest of that frame draws sprites onto a buffer without tiles or border.
   UpdateEnemy();
   DrawAll();
   EXPECT_EQ(CountColour(screen, 160, 0, 191, 31, 0), 32 * 32);
   EXPECT_EQ(CountColour(screen, 64, 224, 319, 239, 0), 256 * 16);
}

TEST_F(PlayerTest, ExitLoadsTheNextLevelUpToMapFiveWhichRepeats)
{
   EnterTempDir();
   Press(KEY_F1);
   for (int lvl = kFirstLevel; lvl <= kLastLevel; lvl++) {
      map[kItemLayer][0][0] = 100 + lvl;   // tells the files apart
      ASSERT_EQ(WriteMapFile(level[lvl], map), MAPFILE_OK);
   }
   int expected[] = {2, 3, 4, 4, 4};
   for (int next : expected) {
      xoffset = 14;
      yoffset = 7;
      map[kItemLayer][14 + 1][7 + 2] = kExitTile;   // under (x + 16, y + 45)
      Pl.x = 40;
      Pl.y = 30;
      Pl.life = 5;
      played.clear();
      Pl.CheckForVictory();
      EXPECT_EQ(currentlevel, next);
      EXPECT_EQ(map[kItemLayer][0][0], 100 + next);
      EXPECT_EQ(Sounds(), std::vector<const SAMPLE *>{congrats});
      EXPECT_EQ(xoffset + yoffset + Pl.x + Pl.y, 0);
      EXPECT_EQ(Pl.life, 5);
   }
   int green = makecol(128, 255, 128);
   EXPECT_GT(CountColour(screen, 0, 100, 319, 107, green), 0);
   EXPECT_GT(CountColour(screen, 72, 110, 72 + 8 * 20 - 1, 117, green), 0);
   EXPECT_EQ(CountColour(screen, 0, 110, 71, 117, green), 0);   // nine spaces
}

// The exit test comes first; the shot is then tested against the player at (0, 0).
TEST_F(PlayerTest, ExitAndDeadlyHitInTheSameFrame)
{
   WriteLevels();
   map[kItemLayer][3][3] = kExitTile;
   Pl.x = 3 * kTileSize - 16;
   Pl.y = 3 * kTileSize - 45;
   Pl.life = 1;
   Ebullet[0] = {20, 20, 0, 1};
   Press(KEY_F1);
   UpdatePlayer();
   EXPECT_EQ(Sounds(), (std::vector<const SAMPLE *>{congrats, aou, omgdied, dies}));
   EXPECT_EQ(currentlevel, 2);
   EXPECT_EQ(Pl.life, 10);
}

}  // namespace
