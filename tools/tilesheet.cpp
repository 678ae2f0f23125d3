#include "tilesheet.h"

#include <algorithm>
#include <cstdio>

#include "pngbytes.h"
#include "safefile.h"
#include "tmx.h"

constexpr int kWidestSheet = 10;
constexpr int kOpaque = 255;
constexpr int kMaskIndex = 0;

int SheetColumns(int count)
{
   for (int columns = std::min(count, kWidestSheet); columns > 1; columns--)
      if (count % columns == 0)
         return columns;
   return count <= kWidestSheet ? count : 1;
}

// Copies the top-left tile of a picture: a taller picture (the enemy) shows
// the part of it that the editor shows in a cell.
static void CopyTile(BITMAP *sheet, const DATAFILE &object, const RGB *pal, int left, int top)
{
   BITMAP *picture = object.type == DAT_BITMAP ? (BITMAP *)object.dat : nullptr;
   for (int y = 0; y < kTmxTileSize; y++)
      for (int x = 0; x < kTmxTileSize; x++) {
         int index = picture && x < picture->w && y < picture->h ? getpixel(picture, x, y) : kMaskIndex;
         int colour = makeacol32(0, 0, 0, 0);
         if (index != kMaskIndex)
            colour = makeacol32(_rgb_scale_6[pal[index].r], _rgb_scale_6[pal[index].g],
                                _rgb_scale_6[pal[index].b], kOpaque);
         putpixel(sheet, left + x, top + y, colour);
      }
}

bool WriteTileSheet(const std::string &filename, const DATAFILE *data, const RGB *pal, int count, int columns)
{
   int rows = (count + columns - 1) / columns;
   BITMAP *sheet = create_bitmap_ex(32, columns * kTmxTileSize, rows * kTmxTileSize);
   if (!sheet)
      return false;
   clear_to_color(sheet, makeacol32(0, 0, 0, 0));
   for (int t = 0; t < count; t++)
      CopyTile(sheet, data[t + 1], pal, (t % columns) * kTmxTileSize, (t / columns) * kTmxTileSize);
   std::string png;
   bool ok = PngBytes(sheet, pal, png) && WriteFileSafely(filename.c_str(), png);
   destroy_bitmap(sheet);
   return ok;
}
