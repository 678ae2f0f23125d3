#include "overview.h"

#include <algorithm>

#include "edit.h"
#include "main.h"

constexpr int kValues = 65536;

// Fixed colours where a picture would not read: enemies have no tile
// picture, and the exit must stand out among the items.
constexpr int kEnemyRed = 255, kEnemyGreen = 0, kEnemyBlue = 0;
constexpr int kExitRed = 255, kExitGreen = 255, kExitBlue = 0;
// Values without a picture in tiles.dat.
constexpr int kUnknownGrey = 160;

static unsigned char tile_colour[kValues];
static unsigned char enemy_colour;
static unsigned char exit_colour;

// The average of a picture's visible pixels, as the nearest palette colour.
static int AverageColour(const BITMAP *bmp, const RGB *pal, int fallback)
{
   long r = 0, g = 0, b = 0, n = 0;
   int mask = bitmap_mask_color(const_cast<BITMAP *>(bmp));
   for (int y = 0; y < bmp->h; y++)
      for (int x = 0; x < bmp->w; x++) {
         int p = getpixel(const_cast<BITMAP *>(bmp), x, y);
         if (p == mask)
            continue;
         r += pal[p].r;
         g += pal[p].g;
         b += pal[p].b;
         n++;
      }
   if (n == 0)
      return fallback;
   return bestfit_color(pal, (int)(r / n), (int)(g / n), (int)(b / n));
}

void PrepareOverview()
{
   PALETTE pal;
   get_palette(pal);
   int unknown = makecol(kUnknownGrey, kUnknownGrey, kUnknownGrey);
   std::fill(tile_colour, tile_colour + kValues, (unsigned char)unknown);
   for (int v = 0; v < tilecount && v < kValues; v++)
      if (tiles[v].type == DAT_BITMAP)
         tile_colour[v] = (unsigned char)AverageColour((BITMAP *)tiles[v].dat, pal, unknown);
   enemy_colour = (unsigned char)makecol(kEnemyRed, kEnemyGreen, kEnemyBlue);
   exit_colour = (unsigned char)makecol(kExitRed, kExitGreen, kExitBlue);
}

int OverviewColour(int col, int row)
{
   unsigned short item = map[kItemLayer][col][row];
   if (item == kExitValue)
      return exit_colour;
   if (item != 0)
      return tile_colour[item];
   if (map[kEnemyLayer][col][row] != 0)
      return enemy_colour;
   if (map[kGroundLayer][col][row] != 0)
      return tile_colour[map[kGroundLayer][col][row]];
   unsigned short back = map[kBackgroundLayer][col][row];
   return back != 0 ? tile_colour[back] : 0;
}

void DrawOverview()
{
   for (int row = 0; row < kMapRows; row++) {
      unsigned char *line = buffer->line[kOverviewY + row] + kOverviewX;
      for (int col = 0; col < kMapCols; col++)
         line[col] = (unsigned char)OverviewColour(col, row);
   }
   // Drawn just outside the view's cells, so they stay visible.
   DrawRect(buffer, kOverviewX + xoffset - 1, kOverviewY + yoffset - 1,
            kOverviewX + xoffset + kViewCols, kOverviewY + yoffset + kViewRows, white);
}

void OverviewMouse()
{
   int col = mouse_x - kOverviewX;
   int row = mouse_y - kOverviewY;
   if (!(mouse_b & kLeftButton) || col < 0 || col >= kMapCols || row < 0 || row >= kMapRows)
      return;
   xoffset = std::min(std::max(col - kOverviewCentreCol, 0), kMaxXoffset);
   yoffset = std::min(std::max(row - kOverviewCentreRow, 0), kMaxYoffset);
}
