#include "editor_fixture.h"

#include "edit.h"
#include "enemy.h"
#include "main.h"

class EnemyTest : public EditorTest {};

TEST_F(EnemyTest, KeysStayInsideTheirRanges)
{
   Press(KEY_A);
   for (int pass = 0; pass < 3; pass++)
      EnemyPass();
   EXPECT_EQ(tile, 2);
   Release(KEY_A);
   Press(KEY_Z);
   for (int pass = 0; pass < 3; pass++)
      EnemyPass();
   EXPECT_EQ(tile, 0);
   EXPECT_EQ(pauses, std::vector<unsigned>(4, 100u));

   ReleaseAllKeys();
   pauses.clear();
   Press(KEY_RIGHT);
   for (int pass = 0; pass < 30; pass++)
      EnemyPass();
   EXPECT_EQ(xoffset, 196);   // 196 is past 192, so no further step
   EXPECT_EQ(pauses.size(), 28u);
   xoffset = 192;
   EnemyPass();
   EXPECT_EQ(xoffset, 199);

   ReleaseAllKeys();
   Press(KEY_LEFT);
   xoffset = 10;
   EnemyPass();
   EXPECT_EQ(xoffset, 3);
   EnemyPass();
   EXPECT_EQ(xoffset, 0);
   pauses.clear();
   EnemyPass();
   EXPECT_EQ(xoffset, 0);
   EXPECT_TRUE(pauses.empty());
}

TEST_F(EnemyTest, LeftClickPlacesTheValueOnLayer2Only)
{
   xoffset = 7;
   yoffset = 43;
   layer = 0;   // placement writes layer 2 whatever the layer
   map[kEnemyLayer][7][43] = 1;
   SetMouse(0, 0, kLeftButton);
   EnemyPass();
   EXPECT_EQ(map[kEnemyLayer][7][43], 0);   // value 0 removes an enemy

   tile = 2;
   SetMouse(319, 199, kLeftButton);
   EnemyPass();
   EXPECT_EQ(map[kEnemyLayer][16][49], 2);
   const int elsewhere[][2] = {{0, 200}, {320, 0}, {4 * 32, 0}};
   xoffset = 196;   // view columns 4 to 9 lie past the map's edge
   for (auto &p : elsewhere) {
      SetMouse(p[0], p[1], kLeftButton);
      EnemyPass();
   }
   EXPECT_EQ(FilledCells(), 1);
}

TEST_F(EnemyTest, TextsAndIconAppearFromTheSecondPass)
{
   map[kEnemyLayer][1][0] = 2;
   SetMouse(600, 470, 0);
   Press(KEY_A);
   EnemyPass();
   EXPECT_FALSE(ShowsText(screen, 350, 10, "Tile: 0", grey));
   EXPECT_TRUE(Blank(screen, 0, 300, 31, 331));
   EXPECT_TRUE(ShowsImage(screen, 32, 0, enemy, 2));
   EnemyPass();
   EXPECT_TRUE(ShowsText(screen, 350, 0, "Xoffset: 0", grey));
   EXPECT_TRUE(ShowsText(screen, 350, 10, "Tile: 1", grey));
   EXPECT_TRUE(ShowsImage(screen, 0, 300, enemy, 0));
}
