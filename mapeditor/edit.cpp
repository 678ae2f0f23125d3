#include "edit.h"

#include <cstring>

#include "history.h"
#include "idle.h"
#include "main.h"
#include "overview.h"
#include "playtest.h"
#include "tools.h"
#include "window.h"

constexpr int kPaletteTop = 300;
constexpr int kPaletteCols = 10;
constexpr int kPaletteRows = 5;
constexpr int kPaletteMouseBottom = 430;
// The picked palette row counts 32-pixel bands from y 288 (band 9), twelve
// pixels above the drawn rows: the bottom 12 pixel rows of a drawn row pick
// from the row below it.
constexpr int kPalettePickBand = 9;

constexpr int kTileValueTextY = 250;
constexpr int kPickTextY = 276;

constexpr int kInfoX = 380;
constexpr int kFpsY = 0;
constexpr int kSelectedLabelY = 40;
constexpr int kSelectedTileX = 450;
constexpr int kSelectedTileY = 50;
constexpr int kXoffsetY = 100;
constexpr int kYoffsetY = 110;
constexpr int kLayerNameY = 130;
constexpr int kSelectedNumberY = 150;

constexpr int kFpsPeriodMs = 1000;

static const char *const kLayerNames[kMapLayers] = {
   "Your editing GROUND layer",
   "Your editing BACKGROUND layer",
   "Your editing ENEMY layer",
   "Your editing ITEM/EXIT layer",
};

static const int kLayerKeys[kMapLayers] = {KEY_1, KEY_2, KEY_3, KEY_4};

void PlaceTileMenu()
{
   for (int pr = 0; pr < kPaletteRows; pr++)
      for (int pc = 0; pc < kPaletteCols; pc++) {
         int x = pc * kTileSize;
         int y = kPaletteTop + pr * kTileSize;
         DrawBox(buffer, x, y, red);
         DrawObject(tiles, tilecount, pr * kPaletteCols + pc, x, y);
      }
}

void PlaceGrid()
{
   for (int r = 0; r < kViewRows; r++)
      for (int c = 0; c < kViewCols; c++)
         DrawBox(buffer, c * kTileSize, r * kTileSize, grey);
}

void UpdateMap()
{
   for (int l = 0; l < kMapLayers; l++)
      for (int r = 0; r < kViewRows; r++)
         for (int c = 0; c < kViewCols; c++) {
            int col = xoffset + c;
            int row = yoffset + r;
            if (!MapCellInside(l, col, row))
               continue;   // past the map's edge the grid stays empty
            int v = map[l][col][row];
            if (l == kEnemyLayer) {
               if (v != 0)
                  DrawObject(enemy, enemycount, v, c * kTileSize, r * kTileSize);
            } else {
               DrawObject(tiles, tilecount, v, c * kTileSize, r * kTileSize);
            }
         }
}

bool HighlightViewCell(int mx, int my, int *col, int *row)
{
   if (mx < 0 || my < 0 || mx > kViewMouseRight || my > kViewMouseBottom)
      return false;
   int c = mx / kTileSize;
   int r = my / kTileSize;
   if (!MapCellInside(kGroundLayer, xoffset + c, yoffset + r))
      return false;
   DrawRect(buffer, c * kTileSize, r * kTileSize, c * kTileSize + kTileSize - 1,
            r * kTileSize + kTileSize - 1, red);
   *col = xoffset + c;
   *row = yoffset + r;
   return true;
}

static void PaletteMouse(int mx, int my, int buttons)
{
   if (mx < 0 || mx > kViewMouseRight || my < kPaletteTop || my > kPaletteMouseBottom)
      return;
   int pc = mx / kTileSize;
   int pr = my / kTileSize - kPalettePickBand;
   int x = pc * kTileSize;
   int y = kPaletteTop + pr * kTileSize;
   DrawRect(buffer, x, y, x + kTileSize - 1, y + kTileSize - 1, white);
   if (buttons & kLeftButton) {
      tile = pr * kPaletteCols + pc;
      textprintf_ex(buffer, font, 0, kPickTextY, grey, kTextBackground, "tile: %d", tile);
   }
}

void HighlightMouse()
{
   int mx = mouse_x;
   int my = mouse_y;
   int buttons = PaintButtons();
   int col, row;
   if (HighlightViewCell(mx, my, &col, &row) && MapCellInside(layer, col, row)) {
      // With both buttons down the cell is written first, so the text shows the new value.
      if (buttons & kLeftButton)
         map[layer][col][row] = (unsigned short)(tile & 0xFFFF);
      if (buttons & kRightButton)
         textprintf_ex(buffer, font, 0, kTileValueTextY, grey, kTextBackground,
                       "TILE VALUE: %d", map[layer][col][row]);
      return;
   }
   PaletteMouse(mx, my, buttons);
}

void TileChoosed()
{
   textout_ex(buffer, font, "Current Selected Tile", kInfoX, kSelectedLabelY, grey,
              kTextBackground);
   // Always from tiles.dat, also while the ENEMY layer is edited.
   DrawObject(tiles, tilecount, tile, kSelectedTileX, kSelectedTileY);
}

void DisplayInfo()
{
   textprintf_ex(buffer, font, kInfoX, kXoffsetY, grey, kTextBackground, "Xoffset: %d", xoffset);
   textprintf_ex(buffer, font, kInfoX, kYoffsetY, grey, kTextBackground, "Yoffset: %d", yoffset);
   if (layer >= 0 && layer < kMapLayers)
      textout_ex(buffer, font, kLayerNames[layer], kInfoX, kLayerNameY, white, kTextBackground);
   textprintf_ex(buffer, font, kInfoX, kSelectedNumberY, grey, kTextBackground,
                 "Current Selected Tile #%d", tile);
}

void ClearMap()
{
   memset(map, 0, sizeof(map));
}

void Timer()
{
   counter = counter + 1;
}

// Allegro's timer calls this once a second, outside the edit loop.
void FPS()
{
   fps = counter;
   counter = 0;
}

// A held key acts on every pass; a scroll step pauses so a held arrow is usable.
static void EditKeys()
{
   if (key[KEY_LEFT] && xoffset > 0) {
      xoffset--;
      rest(kScrollPauseMs);
   }
   if (key[KEY_RIGHT] && xoffset < kMaxXoffset) {
      xoffset++;
      rest(kScrollPauseMs);
   }
   if (key[KEY_DOWN] && yoffset < kMaxYoffset) {
      yoffset++;
      rest(kScrollPauseMs);
   }
   if (key[KEY_UP] && yoffset > 0) {
      yoffset--;
      rest(kScrollPauseMs);
   }
   // With Ctrl down, C copies the selection.
   if (key[KEY_C] && !CtrlHeld())
      RecordStep(ClearMap);
   if (key[KEY_HOME])
      xoffset = 0;
   if (key[KEY_END])
      xoffset = kMaxXoffset;
   if (key[KEY_PGUP])
      yoffset = 0;
   if (key[KEY_PGDN])
      yoffset = kMaxYoffset;
   for (int l = 0; l < kMapLayers; l++)
      if (key[kLayerKeys[l]])
         layer = l;
   HistoryKeys();
   if (key[KEY_F6])
      PlayTest();
   if (key[KEY_F7])
      PlayFromHere();
}

void EditPass()
{
   PlaceTileMenu();
   PlaceGrid();
   UpdateMap();
   TrackStroke();
   HighlightMouse();
   TileChoosed();
   DisplayInfo();
   textprintf_ex(buffer, font, kInfoX, kFpsY, grey, kTextBackground, "FRAMES / SECOND: %d", fps);
   DrawTools();
   DrawOverview();
   Timer();
   BlitToScreen();
   EditKeys();
   EditTools();
   OverviewMouse();
}

void EditMode()
{
   StartTools();
   while (!key[KEY_ESC] && !CloseRequested()) {
      // Asked for on every pass: a repeated request for the same callback and
      // period leaves its schedule alone. Kept out of EditPass so a pass can
      // run without Allegro's timer.
      install_int(FPS, kFpsPeriodMs);
      EditPass();
      IdleRest();
   }
   EndStep();
}
