#include "tiles.h"

#include <initializer_list>

#include "paint.h"

namespace {

constexpr int kLast = kTileSize - 1;
constexpr int kGrassDepth = 7;      // rows of turf on top of a grass tile
constexpr int kCornerRadius = 6;    // rounding of the grass edge tiles
constexpr int kPlankHeight = 11;    // rows of a wooden platform

// Earth with lighter and darker clods and a few embedded pebbles.
void EarthFill(BITMAP *bmp, int y0, unsigned seed)
{
   Rng rng(seed);
   rectfill(bmp, 0, y0, kLast, kLast, Shade(RampEarth, 3));
   for (int i = 0; i < 14; i++) {
      int x = rng.Next(kTileSize), y = y0 + rng.Next(kTileSize - y0);
      int level = rng.Next(2) ? 2 : 4;
      rectfill(bmp, x, y, x + 1 + rng.Next(2), y + rng.Next(2), Shade(RampEarth, level));
   }
   for (int i = 0; i < 4; i++) {
      int x = 2 + rng.Next(kTileSize - 5), y = y0 + 3 + rng.Next(kTileSize - y0 - 5);
      rectfill(bmp, x, y, x + 2, y + 1, Shade(RampStone, 4));
      putpixel(bmp, x, y, Shade(RampStone, 6));
      hline(bmp, x, y + 2, x + 2, Shade(RampEarth, 1));
   }
   Speckle(bmp, rng, 0, y0, kLast, kLast, 40, Shade(RampEarth, 2));
   Speckle(bmp, rng, 0, y0, kLast, kLast, 20, Shade(RampEarth, 5));
}

// Turf over earth; the turf's lower edge hangs down in blade tips.
void GrassTop(BITMAP *bmp, unsigned seed)
{
   EarthFill(bmp, 0, seed);
   for (int x = 0; x < kTileSize; x++) {
      int depth = kGrassDepth + ((x * 5 + 3) % 7 == 0 ? 3 : (x * 3) % 4 == 0 ? 1 : 0);
      vline(bmp, x, 0, depth, Shade(RampGrass, 4));
      putpixel(bmp, x, depth, Shade(RampGrass, 2));
      putpixel(bmp, x, depth + 1, Shade(RampEarth, 1));
      if ((x * 7) % 5 == 1)
         vline(bmp, x, 2, 4, Shade(RampGrass, 5));
   }
   hline(bmp, 0, 0, kLast, Shade(RampGrass, 7));
   hline(bmp, 0, 1, kLast, Shade(RampGrass, 6));
   for (int x = 1; x < kTileSize; x += 4)
      putpixel(bmp, x, 1, Shade(RampGrass, 7));
}

// The left end of a grass strip: a rounded top corner and turf running
// down the side.
void GrassLeftEdge(BITMAP *bmp, unsigned seed)
{
   GrassTop(bmp, seed);
   for (int y = 2; y < 14; y++) {
      int width = y < 8 ? 3 : 2 - (y - 8) / 3;
      if (width > 0)
         hline(bmp, 0, y, width - 1, Shade(RampGrass, 5));
   }
   vline(bmp, 0, 0, 31, Shade(RampEarth, 1));
   vline(bmp, 0, 2, 10, Shade(RampGrass, 2));
   for (int y = 0; y < kCornerRadius; y++)
      for (int x = 0; x < kCornerRadius; x++) {
         int dx = kCornerRadius - x, dy = kCornerRadius - y;
         if (dx * dx + dy * dy > kCornerRadius * kCornerRadius)
            putpixel(bmp, x, y, kMaskColour);
         else if (dx * dx + dy * dy > (kCornerRadius - 1) * (kCornerRadius - 1))
            putpixel(bmp, x, y, Shade(RampGrass, 6));
      }
}

// Bricks of the given size, every other row shifted by half a brick, in
// mortar; drawn so that neighbouring tiles join seamlessly.
void Bricks(BITMAP *bmp, int w, int h, Ramp ramp, int mortar, unsigned seed)
{
   Rng rng(seed);
   clear_to_color(bmp, mortar);
   for (int row = 0; row * h < kTileSize; row++) {
      int shift = (row % 2) ? -w / 2 : 0;
      for (int x = shift; x < kTileSize; x += w) {
         int base = Shade(ramp, 3 + rng.Next(3) / 2);
         RaisedRect(bmp, x + 1, row * h + 1, x + w - 1, row * h + h - 1, base);
      }
   }
   Speckle(bmp, rng, 0, 0, kLast, kLast, 30, Shade(ramp, 2));
   Speckle(bmp, rng, 0, 0, kLast, kLast, 16, Shade(ramp, 5));
}

// A wooden plank across the top rows, rounded at the open ends, with a
// bracket below each end.
void Platform(BITMAP *bmp, bool left_end, bool right_end)
{
   int x1 = left_end ? 2 : 0, x2 = right_end ? kLast - 2 : kLast;
   rectfill(bmp, x1, 0, x2, kPlankHeight, Shade(RampWood, 4));
   hline(bmp, x1, 0, x2, Shade(RampWood, 7));
   hline(bmp, x1, 1, x2, Shade(RampWood, 5));
   for (int x = x1 + 3; x < x2 - 3; x += 9)
      hline(bmp, x, 4 + (x % 3), x + 5, Shade(RampWood, 3));
   hline(bmp, x1, 6, x2, Shade(RampWood, 3));
   hline(bmp, x1, kPlankHeight - 1, x2, Shade(RampWood, 2));
   hline(bmp, x1, kPlankHeight, x2, Shade(RampWood, 1));
   for (int x : {6, 25}) {
      putpixel(bmp, x, 3, Shade(RampSteel, 6));
      putpixel(bmp, x, 8, Shade(RampSteel, 6));
   }
   if (left_end) {
      vline(bmp, x1, 1, kPlankHeight - 1, Shade(RampWood, 6));
      triangle(bmp, 5, kPlankHeight + 1, 12, kPlankHeight + 1, 5, 22, Shade(RampWood, 3));
      vline(bmp, 5, kPlankHeight + 1, 22, Shade(RampWood, 5));
   }
   if (right_end) {
      vline(bmp, x2, 1, kPlankHeight - 1, Shade(RampWood, 2));
      triangle(bmp, kLast - 5, kPlankHeight + 1, kLast - 12, kPlankHeight + 1, kLast - 5, 22,
               Shade(RampWood, 3));
      vline(bmp, kLast - 5, kPlankHeight + 1, 22, Shade(RampWood, 2));
   }
   Outline(bmp, kOutline);
}

void MetalBlock(BITMAP *bmp)
{
   RaisedRect(bmp, 0, 0, kLast, kLast, Shade(RampSteel, 4));
   RaisedRect(bmp, 1, 1, kLast - 1, kLast - 1, Shade(RampSteel, 4));
   rectfill(bmp, 5, 5, kLast - 5, kLast - 5, Shade(RampSteel, 3));
   hline(bmp, 5, 5, kLast - 5, Shade(RampSteel, 2));
   vline(bmp, 5, 5, kLast - 5, Shade(RampSteel, 2));
   for (int i = 0; i < 6; i++) {
      line(bmp, 8 + i, 22, 22 + i, 8, Shade(RampSteel, i < 2 ? 6 : 4));
   }
   for (int y : {3, kLast - 4})
      for (int x : {3, kLast - 4}) {
         rectfill(bmp, x, y, x + 1, y + 1, Shade(RampSteel, 5));
         putpixel(bmp, x, y, Shade(RampSteel, 7));
         putpixel(bmp, x + 1, y + 1, Shade(RampSteel, 1));
      }
}

// Rounded boulders packed together, cracks between them.
void Rock(BITMAP *bmp)
{
   clear_to_color(bmp, Shade(RampStone, 1));
   static const int kLumps[][4] = {{7, 7, 9, 8},   {23, 6, 10, 8}, {6, 23, 8, 9},
                                   {20, 22, 11, 10}, {31, 17, 5, 7}, {0, 15, 4, 6}};
   for (const auto &l : kLumps)
      ShadedEllipse(bmp, l[0], l[1], l[2], l[3], RampStone, 1, 6);
   Rng rng(10);
   Speckle(bmp, rng, 0, 0, kLast, kLast, 30, Shade(RampStone, 2));
   line(bmp, 13, 12, 16, 17, Shade(RampStone, 0));
   line(bmp, 25, 26, 28, 29, Shade(RampStone, 1));
}

void Crate(BITMAP *bmp)
{
   rectfill(bmp, 0, 0, kLast, kLast, Shade(RampWood, 3));
   for (int x = 4; x < kLast - 3; x += 6)
      vline(bmp, x, 4, kLast - 4, Shade(RampWood, 2));
   for (int i = 0; i < 4; i++)
      line(bmp, 4 + i, kLast - 4, kLast - 4, 4 + i, Shade(RampWood, i == 0 ? 6 : 5));
   RaisedRect(bmp, 0, 0, kLast, 3, Shade(RampWood, 5));
   RaisedRect(bmp, 0, kLast - 3, kLast, kLast, Shade(RampWood, 5));
   RaisedRect(bmp, 0, 0, 3, kLast, Shade(RampWood, 5));
   RaisedRect(bmp, kLast - 3, 0, kLast, kLast, Shade(RampWood, 5));
   for (int y : {1, kLast - 2})
      for (int x : {1, kLast - 2})
         putpixel(bmp, x, y, Shade(RampSteel, 6));
}

void IceBlock(BITMAP *bmp)
{
   RaisedRect(bmp, 0, 0, kLast, kLast, Shade(RampIce, 4));
   GradeRows(bmp, 1, 1, kLast - 1, kLast - 1, RampIce, 5, 3);
   for (int i = 0; i < 3; i++)
      line(bmp, 6 + i * 2, 4, 4, 6 + i * 2, Shade(RampIce, 7));
   line(bmp, 12, 4, 4, 12, Shade(RampIce, 6));
   line(bmp, 27, 18, 18, 27, Shade(RampIce, 6));
   line(bmp, 18, 10, 22, 15, Shade(RampIce, 2));
   line(bmp, 22, 15, 21, 20, Shade(RampIce, 2));
   hline(bmp, 0, 0, kLast, Shade(RampIce, 7));
   hline(bmp, 1, kLast, kLast, Shade(RampIce, 1));
   vline(bmp, kLast, 1, kLast, Shade(RampIce, 1));
}

// Sand with wind ripples and darker grains.
void Sand(BITMAP *bmp)
{
   clear_to_color(bmp, Shade(RampSand, 4));
   for (int x = 0; x < kTileSize; x++)
      for (int row = 0; row < 4; row++) {
         int y = row * 8 + 3 + (((x + row * 11) % 16 < 8) ? (x % 8) / 3 : 2 - (x % 8) / 3);
         putpixel(bmp, x, y, Shade(RampSand, 2));
         putpixel(bmp, x, y - 1, Shade(RampSand, 6));
      }
   hline(bmp, 0, 0, kLast, Shade(RampSand, 7));
   Rng rng(14);
   Speckle(bmp, rng, 0, 1, kLast, kLast, 28, Shade(RampSand, 1));
   Speckle(bmp, rng, 0, 1, kLast, kLast, 16, Shade(RampEarth, 5));
}

// Stone brick overgrown with moss along the top and in drips.
void MossyStone(BITMAP *bmp)
{
   Bricks(bmp, 16, 16, RampStone, Shade(RampStone, 1), 15);
   Rng rng(150);
   for (int x = 0; x < kTileSize; x++) {
      int depth = 3 + rng.Next(3) + ((x / 5) % 3 == 0 ? rng.Next(8) : 0);
      for (int y = 0; y <= depth; y++)
         putpixel(bmp, x, y, Shade(RampLeaf, y == 0 ? 6 : (y == depth ? 2 : 4 + (x + y) % 2)));
   }
   for (int i = 0; i < 5; i++) {
      int x = rng.Next(kTileSize), y = 12 + rng.Next(18);
      ShadedEllipse(bmp, x, y, 2, 1, RampLeaf, 2, 5);
   }
}

}  // namespace

bool DrawGroundTile(BITMAP *bmp, int value)
{
   switch (value) {
   case 1: GrassTop(bmp, 1); break;
   case 2: EarthFill(bmp, 0, 2); break;
   case 3: Bricks(bmp, 16, 16, RampStone, Shade(RampStone, 1), 3); break;
   case 4: GrassLeftEdge(bmp, 4); break;
   case 5: {
      BITMAP *left = create_bitmap(kTileSize, kTileSize);
      GrassLeftEdge(left, 5);
      MirrorInto(left, bmp);
      destroy_bitmap(left);
      break;
   }
   case 6: Platform(bmp, false, false); break;
   case 7: Platform(bmp, true, false); break;
   case 8: Platform(bmp, false, true); break;
   case 9: MetalBlock(bmp); break;
   case 10: Rock(bmp); break;
   case 11: Crate(bmp); break;
   case 12: Bricks(bmp, 16, 8, RampBrick, Shade(RampSand, 2), 12); break;
   case 13: IceBlock(bmp); break;
   case 14: Sand(bmp); break;
   case 15: MossyStone(bmp); break;
   default: return false;
   }
   return true;
}

void DrawTile(BITMAP *bmp, int value)
{
   clear_to_color(bmp, kMaskColour);
   if (!DrawGroundTile(bmp, value) && !DrawSceneryTile(bmp, value))
      DrawItemTile(bmp, value);
}
