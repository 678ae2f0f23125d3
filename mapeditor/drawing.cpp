#include "drawing.h"

#include "main.h"

#include <cstring>
#include <vector>

enum ObjectKind : unsigned char { OBJECT_NONE, OBJECT_OPAQUE, OBJECT_MASKED };

// The kinds of the pictures of the datafiles prepared so far.
struct PreparedDatafile {
   const DATAFILE *d;
   int count;
   std::vector<ObjectKind> kinds;
};
static std::vector<PreparedDatafile> prepared;

// An idle editor draws the same frame pass after pass, and copying it into
// the window costs more than the drawing; a frame the screen already shows
// is not copied again.
static bool ScreenShows(BITMAP *frame)
{
   if (bitmap_color_depth(screen) != 8 || screen->w < kScreenW || screen->h < kScreenH)
      return false;
   bool same = true;
   for (int y = 0; y < kScreenH && same; y++) {
      const void *shown = reinterpret_cast<const void *>(bmp_read_line(screen, y));
      same = memcmp(shown, frame->line[y], kScreenW) == 0;
   }
   bmp_unwrite_line(screen);
   return same;
}

void BlitToScreen()
{
   scare_mouse();
   acquire_screen();
   if (!ScreenShows(buffer))
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

static ObjectKind Classify(const DATAFILE &object)
{
   if (object.type != DAT_BITMAP)
      return OBJECT_NONE;
   BITMAP *bmp = (BITMAP *)object.dat;
   if (bmp->w < kTileSize || bmp->h < kTileSize)
      return OBJECT_MASKED;   // odd sizes take the general path
   int mask = bitmap_mask_color(bmp);
   int masked = 0;
   for (int y = 0; y < kTileSize; y++)
      for (int x = 0; x < kTileSize; x++)
         masked += getpixel(bmp, x, y) == mask;
   if (masked == kTileSize * kTileSize)
      return OBJECT_NONE;
   return masked == 0 ? OBJECT_OPAQUE : OBJECT_MASKED;
}

void PrepareObjects(const DATAFILE *d, int count)
{
   PreparedDatafile p = {d, count, {}};
   for (int i = 0; i < count; i++)
      p.kinds.push_back(Classify(d[i]));
   for (PreparedDatafile &old : prepared)
      if (old.d == d) {
         old = p;
         return;
      }
   prepared.push_back(p);
}

static ObjectKind KindOf(const DATAFILE *d, int count, int value)
{
   for (const PreparedDatafile &p : prepared)
      if (p.d == d && p.count == count)
         return p.kinds[value];
   return OBJECT_MASKED;
}

void DrawObject(const DATAFILE *d, int count, int value, int x, int y)
{
   // Map files may hold any 16-bit value; only real pictures are drawn.
   if (!d || value < 0 || value >= count || d[value].type != DAT_BITMAP)
      return;
   ObjectKind kind = KindOf(d, count, value);
   if (kind == OBJECT_OPAQUE)
      blit((BITMAP *)d[value].dat, buffer, 0, 0, x, y, kTileSize, kTileSize);
   else if (kind == OBJECT_MASKED)
      masked_blit((BITMAP *)d[value].dat, buffer, 0, 0, x, y, kTileSize, kTileSize);
}
