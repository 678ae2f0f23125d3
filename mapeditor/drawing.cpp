#include "drawing.h"

#include "main.h"

void BlitToScreen()
{
   scare_mouse();
   acquire_screen();
   blit(buffer, screen, 0, 0, 0, 0, kScreenW, kScreenH);
   release_screen();
   unscare_mouse();
   clear_bitmap(buffer);
}

void DrawBox(BITMAP *bmp, int x, int y, int colour)
{
   hline(bmp, x, y, x + kTileSize, colour);
   hline(bmp, x, y + kTileSize, x + kTileSize, colour);
   vline(bmp, x, y, y + kTileSize, colour);
   vline(bmp, x + kTileSize, y, y + kTileSize, colour);
}

void DrawRect(BITMAP *bmp, int x1, int y1, int x2, int y2, int colour)
{
   vline(bmp, x1, y1, y2, colour);
   vline(bmp, x2, y1, y2, colour);
   hline(bmp, x1, y1, x2, colour);
   hline(bmp, x1, y2, x2, colour);
}

void DrawObject(const DATAFILE *d, int count, int value, int x, int y)
{
   // Map files may hold any 16-bit value; only real pictures are drawn.
   if (!d || value < 0 || value >= count || d[value].type != DAT_BITMAP)
      return;
   masked_blit((BITMAP *)d[value].dat, buffer, 0, 0, x, y, kTileSize, kTileSize);
}
