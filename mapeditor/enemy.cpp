#include "enemy.h"

#include "edit.h"
#include "history.h"
#include "idle.h"
#include "main.h"
#include "overview.h"
#include "playtest.h"
#include "tools.h"
#include "window.h"

constexpr int kEnemyTextX = 350;
constexpr int kEnemyXoffsetY = 0;
constexpr int kEnemyTileY = 10;
constexpr int kEnemyIconX = 0;
constexpr int kEnemyIconY = 300;
constexpr int kEnemyIcon = 0;
constexpr int kEnemyPauseMs = 100;

void EHighlight()
{
   int buttons = mouse_b;
   int col, row;
   if (HighlightViewCell(mouse_x, mouse_y, &col, &row) && (buttons & kLeftButton))
      map[kEnemyLayer][col][row] = (unsigned short)(tile & 0xFFFF);
}

static void EnemyKeys()
{
   if (key[KEY_RIGHT] && xoffset <= kEnemyScrollRightFrom) {
      xoffset += kEnemyScrollStep;
      rest(kEnemyPauseMs);
   }
   if (key[KEY_LEFT] && xoffset > 0) {
      // Edit mode can leave xoffset at 1 to 6: the view never starts left of column 0.
      xoffset = xoffset > kEnemyScrollStep ? xoffset - kEnemyScrollStep : 0;
      rest(kEnemyPauseMs);
   }
   if (key[KEY_A] && tile < kMaxEnemyValue) {
      tile++;
      rest(kEnemyPauseMs);
   }
   // With Ctrl down, Z is undo.
   if (key[KEY_Z] && !CtrlHeld() && tile > 0) {
      tile--;
      rest(kEnemyPauseMs);
   }
   HistoryKeys();
   if (key[KEY_F6])
      PlayTest();
   if (key[KEY_F7])
      PlayFromHere();
}

void EnemyPass()
{
   PlaceGrid();
   TrackStroke();
   EHighlight();
   UpdateMap();
   DrawOverview();
   BlitToScreen();
   EnemyKeys();
   EnemyTools();
   OverviewMouse();
   // Drawn into the freshly cleared buffer: the next pass shows them.
   textprintf_ex(buffer, font, kEnemyTextX, kEnemyXoffsetY, grey, kTextBackground, "Xoffset: %d",
                 xoffset);
   textprintf_ex(buffer, font, kEnemyTextX, kEnemyTileY, grey, kTextBackground, "Tile: %d", tile);
   DrawObject(enemy, enemycount, kEnemyIcon, kEnemyIconX, kEnemyIconY);
}

void EditEnemy()
{
   tile = 0;
   layer = kEnemyLayer;
   while (!key[KEY_ESC] && !CloseRequested()) {
      EnemyPass();
      IdleRest();
   }
   EndStep();
}
