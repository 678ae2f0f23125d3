#include "tiles.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "paint.h"

namespace {

constexpr int kLast = kTileSize - 1;

void Coin(BITMAP *bmp)
{
   ShadedEllipse(bmp, 16, 16, 9, 11, RampGold, 2, 7);
   ellipse(bmp, 16, 16, 6, 8, Shade(RampGold, 3));
   vline(bmp, 16, 11, 21, Shade(RampGold, 3));
   vline(bmp, 17, 11, 21, Shade(RampGold, 6));
   putpixel(bmp, 12, 9, Grey(15));
   Outline(bmp, kOutline);
}

// A cut gem: a table of light facets above a darker pavilion.
void Gem(BITMAP *bmp, Ramp ramp)
{
   static const int kCrown[] = {10, 8, 22, 8, 27, 14, 5, 14};
   static const int kPavilion[] = {5, 14, 27, 14, 16, 27};
   polygon(bmp, 4, kCrown, Shade(ramp, 5));
   polygon(bmp, 3, kPavilion, Shade(ramp, 3));
   triangle(bmp, 16, 14, 27, 14, 16, 27, Shade(ramp, 2));
   line(bmp, 12, 8, 10, 14, Shade(ramp, 7));
   line(bmp, 20, 8, 22, 14, Shade(ramp, 4));
   hline(bmp, 5, 14, 27, Shade(ramp, 6));
   line(bmp, 10, 14, 16, 27, Shade(ramp, 4));
   rectfill(bmp, 11, 9, 12, 10, Grey(15));
   Outline(bmp, kOutline);
}

void Key(BITMAP *bmp)
{
   ShadedEllipse(bmp, 9, 16, 6, 6, RampGold, 2, 7);
   circlefill(bmp, 9, 16, 2, kMaskColour);
   rectfill(bmp, 14, 15, 28, 18, Shade(RampGold, 5));
   hline(bmp, 14, 15, 28, Shade(RampGold, 7));
   hline(bmp, 14, 18, 28, Shade(RampGold, 3));
   rectfill(bmp, 22, 19, 24, 23, Shade(RampGold, 4));
   rectfill(bmp, 26, 19, 28, 22, Shade(RampGold, 4));
   Outline(bmp, kOutline);
}

void Heart(BITMAP *bmp)
{
   ShadedEllipse(bmp, 11, 12, 6, 6, RampRed, 2, 7);
   ShadedEllipse(bmp, 21, 12, 6, 6, RampRed, 2, 6);
   triangle(bmp, 5, 14, 27, 14, 16, 26, Shade(RampRed, 3));
   triangle(bmp, 16, 14, 27, 14, 16, 26, Shade(RampRed, 2));
   rectfill(bmp, 8, 9, 9, 10, Grey(15));
   Outline(bmp, kOutline);
}

// A five-pointed star, built from its outer and inner corner points.
void StarShape(BITMAP *bmp, int cx, int cy, int outer, int inner, int colour)
{
   int pts[20];
   for (int i = 0; i < 10; i++) {
      double a = -M_PI / 2 + i * M_PI / 5;
      int r = (i % 2) ? inner : outer;
      pts[2 * i] = cx + static_cast<int>(std::lround(r * std::cos(a)));
      pts[2 * i + 1] = cy + static_cast<int>(std::lround(r * std::sin(a)));
   }
   polygon(bmp, 10, pts, colour);
}

void StarPickup(BITMAP *bmp)
{
   StarShape(bmp, 16, 17, 13, 6, Shade(RampGold, 4));
   StarShape(bmp, 15, 16, 8, 4, Shade(RampGold, 6));
   putpixel(bmp, 14, 15, Grey(15));
   Bevel(bmp, 0, 0, kLast, kLast);
   rectfill(bmp, 13, 16, 13, 18, kOutline);
   rectfill(bmp, 18, 16, 18, 18, kOutline);
   Outline(bmp, kOutline);
}

void Potion(BITMAP *bmp)
{
   ShadedEllipse(bmp, 16, 20, 9, 9, RampPurple, 2, 6);
   rectfill(bmp, 8, 11, 24, 15, kMaskColour);
   ShadedEllipse(bmp, 16, 20, 9, 9, RampIce, 3, 7);
   for (int y = 17; y <= 29; y++)
      for (int x = 7; x <= 25; x++)
         if (getpixel(bmp, x, y) != kMaskColour)
            putpixel(bmp, x, y, Shade(RampPink, y == 17 ? 7 : 6 - (x + 2 * y) / 18));
   rectfill(bmp, 13, 7, 19, 12, Shade(RampIce, 5));
   rectfill(bmp, 13, 3, 19, 6, Shade(RampWood, 4));
   hline(bmp, 13, 3, 19, Shade(RampWood, 6));
   rectfill(bmp, 10, 19, 11, 22, Grey(15));
   Outline(bmp, kOutline);
}

void Chest(BITMAP *bmp)
{
   rectfill(bmp, 3, 8, 28, 16, Shade(RampWood, 4));
   ellipsefill(bmp, 15, 11, 12, 4, Shade(RampWood, 5));
   rectfill(bmp, 3, 11, 28, 16, Shade(RampWood, 4));
   rectfill(bmp, 3, 17, 28, 28, Shade(RampWood, 3));
   hline(bmp, 3, 17, 28, Shade(RampWood, 1));
   for (int x : {3, 26})
      rectfill(bmp, x, 8, x + 2, 28, Shade(RampGold, 4));
   rectfill(bmp, 13, 14, 18, 21, Shade(RampGold, 5));
   putpixel(bmp, 15, 17, kOutline);
   vline(bmp, 15, 18, 19, kOutline);
   Bevel(bmp, 0, 0, kLast, kLast);
   Outline(bmp, kOutline);
}

void Apple(BITMAP *bmp)
{
   ShadedEllipse(bmp, 12, 18, 8, 9, RampRed, 2, 7);
   ShadedEllipse(bmp, 20, 18, 8, 9, RampRed, 1, 5);
   ShadedEllipse(bmp, 10, 15, 3, 4, RampRed, 4, 7);
   line(bmp, 16, 10, 17, 4, Shade(RampWood, 2));
   ShadedEllipse(bmp, 21, 6, 4, 2, RampLeaf, 3, 6);
   putpixel(bmp, 9, 13, Grey(15));
   Outline(bmp, kOutline);
}

void Crown(BITMAP *bmp)
{
   static const int kShape[] = {4, 24, 4, 9, 10, 16, 16, 6, 22, 16, 28, 9, 28, 24};
   polygon(bmp, 7, kShape, Shade(RampGold, 5));
   rectfill(bmp, 4, 20, 28, 25, Shade(RampGold, 3));
   hline(bmp, 4, 20, 28, Shade(RampGold, 7));
   for (const auto &p : {std::pair{4, 8}, std::pair{16, 5}, std::pair{28, 8}})
      ShadedEllipse(bmp, p.first, p.second, 2, 2, RampGold, 4, 7);
   ShadedEllipse(bmp, 10, 22, 2, 2, RampRed, 3, 7);
   ShadedEllipse(bmp, 16, 22, 2, 2, RampBlue, 3, 7);
   ShadedEllipse(bmp, 22, 22, 2, 2, RampLeaf, 3, 7);
   Bevel(bmp, 0, 0, kLast, kLast);
   Outline(bmp, kOutline);
}

void Ring(BITMAP *bmp)
{
   ShadedEllipse(bmp, 16, 20, 10, 9, RampGold, 2, 7);
   ellipsefill(bmp, 16, 20, 7, 6, kMaskColour);
   static const int kStone[] = {12, 8, 20, 8, 22, 11, 16, 15, 10, 11};
   polygon(bmp, 5, kStone, Shade(RampTeal, 5));
   triangle(bmp, 16, 15, 22, 11, 10, 11, Shade(RampTeal, 3));
   putpixel(bmp, 13, 9, Grey(15));
   Outline(bmp, kOutline);
}

void Shield(BITMAP *bmp)
{
   static const int kShape[] = {5, 4, 27, 4, 27, 15, 16, 29, 5, 15};
   polygon(bmp, 5, kShape, Shade(RampSteel, 5));
   static const int kField[] = {8, 7, 24, 7, 24, 15, 16, 25, 8, 15};
   polygon(bmp, 5, kField, Shade(RampBlue, 4));
   triangle(bmp, 16, 7, 24, 7, 16, 25, Shade(RampBlue, 3));
   triangle(bmp, 16, 25, 24, 15, 24, 7, Shade(RampBlue, 3));
   rectfill(bmp, 15, 9, 17, 21, Shade(RampGold, 6));
   rectfill(bmp, 11, 12, 21, 14, Shade(RampGold, 6));
   Bevel(bmp, 0, 0, kLast, kLast);
   Outline(bmp, kOutline);
}

void Scroll(BITMAP *bmp)
{
   rectfill(bmp, 7, 8, 25, 24, Shade(RampSand, 5));
   for (int y = 11; y <= 21; y += 3)
      hline(bmp, 10, y, 22 - (y % 2) * 3, Shade(RampSand, 2));
   for (int y : {6, 24}) {
      ShadedEllipse(bmp, 16, y, 12, 3, RampSand, 2, 6);
      ellipsefill(bmp, 4, y, 1, 2, Shade(RampWood, 3));
      ellipsefill(bmp, 28, y, 1, 2, Shade(RampWood, 3));
   }
   rectfill(bmp, 17, 14, 19, 18, Shade(RampRed, 4));
   putpixel(bmp, 17, 14, Shade(RampRed, 6));
   Outline(bmp, kOutline);
}

// The level exit: an open door with light spilling out, under a glowing
// green EXIT sign. It must read as the way out at a glance.
void ExitDoor(BITMAP *bmp)
{
   rectfill(bmp, 0, 0, kLast, 10, kExitGreenDark);
   rectfill(bmp, 1, 1, kLast - 1, 9, kExitGreen);
   hline(bmp, 1, 1, kLast - 1, kLightGreen);
   textout_ex(bmp, font, "EXIT", 1, 3, kExitGreenDark, -1);
   textout_ex(bmp, font, "EXIT", 1, 2, Grey(15), -1);
   // stone door frame around a bright doorway
   RaisedRect(bmp, 2, 12, 29, kLast, Shade(RampStone, 4));
   rectfill(bmp, 6, 15, 25, kLast, Shade(RampGold, 7));
   GradeRows(bmp, 6, 15, 25, kLast, RampGold, 7, 4);
   rectfill(bmp, 6, 15, 25, 16, Grey(15));
   // the door leaf swung open toward us, hinged on the left
   static const int kLeaf[] = {6, 15, 12, 18, 12, kLast, 6, kLast};
   polygon(bmp, 4, kLeaf, Shade(RampWood, 3));
   line(bmp, 12, 18, 12, kLast, Shade(RampWood, 1));
   vline(bmp, 7, 16, kLast, Shade(RampWood, 5));
   rectfill(bmp, 10, 24, 11, 25, Shade(RampGold, 5));
   // light rays on the floor
   for (int i = 0; i < 3; i++)
      line(bmp, 16 + i * 4, kLast, 22 + i * 3, kLast - 5 + i, Grey(15));
}

}  // namespace

bool DrawItemTile(BITMAP *bmp, int value)
{
   switch (value) {
   case 36: Coin(bmp); break;
   case 37: Gem(bmp, RampRed); break;
   case 38: Gem(bmp, RampBlue); break;
   case 39: Key(bmp); break;
   case 40: Heart(bmp); break;
   case 41: StarPickup(bmp); break;
   case 42: Potion(bmp); break;
   case 43: Chest(bmp); break;
   case 44: Apple(bmp); break;
   case 45: Crown(bmp); break;
   case 46: Ring(bmp); break;
   case 47: Shield(bmp); break;
   case 48: Scroll(bmp); break;
   case kExitTile: ExitDoor(bmp); break;
   default: return false;
   }
   return true;
}
