#include "paint.h"

#include <algorithm>
#include <cmath>

namespace {

const int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Direction of the light: from the upper left, slightly in front.
constexpr double kLightX = -0.55, kLightY = -0.65, kLightZ = 0.52;

bool Opaque(BITMAP *bmp, int x, int y)
{
   return x >= 0 && y >= 0 && x < bmp->w && y < bmp->h && getpixel(bmp, x, y) != kMaskColour;
}

// Maps a brightness 0..1 to a ramp level, dithering the fractional part.
int DitheredLevel(double t, int lo, int hi, int x, int y)
{
   double v = lo + std::clamp(t, 0.0, 1.0) * (hi - lo);
   int level = static_cast<int>(v);
   if ((v - level) * 16.0 > Bayer(x, y) + 0.5)
      level++;
   return std::min(level, hi);
}

}  // namespace

int Rng::Next(int n)
{
   state_ = state_ * 1103515245u + 12345u;
   return static_cast<int>((state_ >> 16) % static_cast<unsigned>(n));
}

int Bayer(int x, int y)
{
   return kBayer4[y & 3][x & 3];
}

void ShadedEllipse(BITMAP *bmp, int cx, int cy, int rx, int ry, Ramp ramp, int lo, int hi)
{
   for (int y = cy - ry; y <= cy + ry; y++)
      for (int x = cx - rx; x <= cx + rx; x++) {
         double nx = (x - cx + 0.5) / (rx + 0.5);
         double ny = (y - cy + 0.5) / (ry + 0.5);
         double d = nx * nx + ny * ny;
         if (d > 1.0)
            continue;
         double nz = std::sqrt(1.0 - d);
         double light = nx * kLightX + ny * kLightY + nz * kLightZ;
         putpixel(bmp, x, y, Shade(ramp, DitheredLevel(0.15 + 0.85 * light, lo, hi, x, y)));
      }
}

void Bevel(BITMAP *bmp, int x1, int y1, int x2, int y2)
{
   BITMAP *copy = create_bitmap(bmp->w, bmp->h);
   blit(bmp, copy, 0, 0, 0, 0, bmp->w, bmp->h);
   for (int y = y1; y <= y2; y++)
      for (int x = x1; x <= x2; x++) {
         if (!Opaque(copy, x, y))
            continue;
         int c = getpixel(copy, x, y);
         if (!Opaque(copy, x, y - 1) || !Opaque(copy, x - 1, y))
            putpixel(bmp, x, y, Lighten(c, 2));
         else if (!Opaque(copy, x, y + 1) || !Opaque(copy, x + 1, y))
            putpixel(bmp, x, y, Lighten(c, -2));
      }
   destroy_bitmap(copy);
}

void RaisedRect(BITMAP *bmp, int x1, int y1, int x2, int y2, int base)
{
   rectfill(bmp, x1, y1, x2, y2, base);
   hline(bmp, x1, y1, x2, Lighten(base, 2));
   vline(bmp, x1, y1, y2, Lighten(base, 1));
   hline(bmp, x1 + 1, y2, x2, Lighten(base, -2));
   vline(bmp, x2, y1 + 1, y2, Lighten(base, -2));
}

void Outline(BITMAP *bmp, int colour)
{
   BITMAP *copy = create_bitmap(bmp->w, bmp->h);
   blit(bmp, copy, 0, 0, 0, 0, bmp->w, bmp->h);
   for (int y = 0; y < bmp->h; y++)
      for (int x = 0; x < bmp->w; x++) {
         if (Opaque(copy, x, y))
            continue;
         if (Opaque(copy, x - 1, y) || Opaque(copy, x + 1, y) || Opaque(copy, x, y - 1) ||
             Opaque(copy, x, y + 1))
            putpixel(bmp, x, y, colour);
      }
   destroy_bitmap(copy);
}

void Speckle(BITMAP *bmp, Rng &rng, int x1, int y1, int x2, int y2, int count, int colour)
{
   for (int i = 0; i < count; i++) {
      int x = x1 + rng.Next(x2 - x1 + 1);
      int y = y1 + rng.Next(y2 - y1 + 1);
      if (Opaque(bmp, x, y))
         putpixel(bmp, x, y, colour);
   }
}

void GradeRows(BITMAP *bmp, int x1, int y1, int x2, int y2, Ramp ramp, int top, int bottom)
{
   for (int y = y1; y <= y2; y++)
      for (int x = x1; x <= x2; x++) {
         if (!Opaque(bmp, x, y))
            continue;
         double t = y2 > y1 ? static_cast<double>(y - y1) / (y2 - y1) : 0.0;
         double v = top + t * (bottom - top);
         int lo = std::min(top, bottom), hi = std::max(top, bottom);
         int level = static_cast<int>(std::floor(v));
         if ((v - level) * 16.0 > Bayer(x, y) + 0.5)
            level++;
         putpixel(bmp, x, y, Shade(ramp, std::clamp(level, lo, hi)));
      }
}

void MirrorInto(BITMAP *src, BITMAP *dst)
{
   clear_to_color(dst, kMaskColour);
   draw_sprite_h_flip(dst, src, 0, 0);
}
