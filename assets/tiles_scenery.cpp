#include "tiles.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "paint.h"

namespace {

constexpr int kLast = kTileSize - 1;

// A puff of cloud made of lit discs, outlined in a cool shadow colour.
struct Puff {
   int x, y, r;
};

void CloudPuffs(BITMAP *bmp, const Puff *puffs, int n)
{
   for (int i = 0; i < n; i++)
      ShadedEllipse(bmp, puffs[i].x, puffs[i].y, puffs[i].r, puffs[i].r, RampIce, 3, 7);
   Outline(bmp, kShadowBlue);
}

// The big cloud is painted 64 pixels wide and cut into two tiles.
void BigCloudHalf(BITMAP *bmp, bool right)
{
   static const Puff kPuffs[] = {{12, 21, 8}, {24, 14, 11}, {38, 12, 12}, {51, 20, 9},
                                 {30, 22, 8}, {44, 22, 8},  {20, 23, 7}};
   BITMAP *wide = create_bitmap(2 * kTileSize, kTileSize);
   clear_to_color(wide, kMaskColour);
   CloudPuffs(wide, kPuffs, sizeof(kPuffs) / sizeof(kPuffs[0]));
   blit(wide, bmp, right ? kTileSize : 0, 0, 0, 0, kTileSize, kTileSize);
   destroy_bitmap(wide);
}

void SmallCloud(BITMAP *bmp)
{
   static const Puff kPuffs[] = {{10, 18, 6}, {17, 13, 8}, {24, 18, 5}, {16, 19, 6}};
   CloudPuffs(bmp, kPuffs, sizeof(kPuffs) / sizeof(kPuffs[0]));
}

void Sun(BITMAP *bmp)
{
   for (int i = 0; i < 12; i++) {
      double a = i * M_PI / 6 + 0.26;
      int x1 = 16 + static_cast<int>(std::lround(10 * std::cos(a)));
      int y1 = 16 + static_cast<int>(std::lround(10 * std::sin(a)));
      int x2 = 16 + static_cast<int>(std::lround(15 * std::cos(a)));
      int y2 = 16 + static_cast<int>(std::lround(15 * std::sin(a)));
      line(bmp, x1, y1, x2, y2, Shade(RampGold, i % 2 ? 5 : 7));
   }
   ShadedEllipse(bmp, 16, 16, 9, 9, RampGold, 4, 7);
   putpixel(bmp, 12, 12, Shade(RampGold, 7));
}

void Bush(BITMAP *bmp)
{
   static const Puff kLeaves[] = {{8, 24, 7}, {16, 19, 9}, {24, 23, 7}, {16, 26, 6}};
   for (const Puff &p : kLeaves)
      ShadedEllipse(bmp, p.x, p.y, p.r, p.r, RampLeaf, 1, 6);
   rectfill(bmp, 2, 28, 29, kLast, Shade(RampLeaf, 1));
   for (int i = 0; i < 5; i++)
      putpixel(bmp, 9 + i * 4, 18 + (i % 2) * 5, Shade(RampGrass, 7));
   Outline(bmp, kOutline);
}

// A trunk filling the tile from top to bottom so that it stacks.
void TreeTrunk(BITMAP *bmp)
{
   rectfill(bmp, 10, 0, 21, kLast, Shade(RampWood, 3));
   vline(bmp, 10, 0, kLast, Shade(RampWood, 1));
   vline(bmp, 11, 0, kLast, Shade(RampWood, 4));
   vline(bmp, 12, 0, kLast, Shade(RampWood, 5));
   vline(bmp, 21, 0, kLast, Shade(RampWood, 1));
   vline(bmp, 20, 0, kLast, Shade(RampWood, 2));
   for (int y = 2; y < kTileSize; y += 7) {
      vline(bmp, 15, y, y + 3, Shade(RampWood, 2));
      vline(bmp, 18, y + 3, y + 6, Shade(RampWood, 2));
   }
   ellipsefill(bmp, 16, 16, 2, 3, Shade(RampWood, 1));
   ellipse(bmp, 16, 16, 2, 3, Shade(RampWood, 2));
   vline(bmp, 9, 0, kLast, kOutline);
   vline(bmp, 22, 0, kLast, kOutline);
}

void TreeCrown(BITMAP *bmp)
{
   static const Puff kLeaves[] = {{10, 16, 9}, {21, 14, 10}, {16, 8, 8}, {15, 21, 9}, {24, 22, 7}};
   for (const Puff &p : kLeaves)
      ShadedEllipse(bmp, p.x, p.y, p.r, p.r, RampGrass, 1, 6);
   Rng rng(22);
   Speckle(bmp, rng, 2, 2, 29, 29, 30, Shade(RampGrass, 2));
   Speckle(bmp, rng, 2, 2, 20, 16, 12, Shade(RampGrass, 7));
   rectfill(bmp, 14, 28, 17, kLast, Shade(RampWood, 3));
   Outline(bmp, kOutline);
}

void Fence(BITMAP *bmp)
{
   for (int x : {4, 20}) {
      rectfill(bmp, x, 8, x + 6, kLast, Shade(RampWood, 5));
      triangle(bmp, x, 8, x + 6, 8, x + 3, 4, Shade(RampWood, 5));
      vline(bmp, x + 6, 8, kLast, Shade(RampWood, 3));
   }
   for (int y : {13, 23})
      RaisedRect(bmp, 0, y, kLast, y + 3, Shade(RampWood, 4));
   Outline(bmp, kOutline);
}

void Flowers(BITMAP *bmp)
{
   static const int kStems[][3] = {{6, 18, RampRed}, {14, 13, RampGold}, {22, 17, RampPink},
                                   {27, 22, RampBlue}};
   for (const auto &s : kStems) {
      vline(bmp, s[0], s[1], kLast, Shade(RampLeaf, 4));
      putpixel(bmp, s[0] + 1, s[1] + 6, Shade(RampLeaf, 5));
      putpixel(bmp, s[0] + 2, s[1] + 5, Shade(RampLeaf, 5));
      Ramp petal = static_cast<Ramp>(s[2]);
      for (int d = 0; d < 4; d++) {
         int dx = d == 0 ? -2 : d == 1 ? 2 : 0;
         int dy = d == 2 ? -2 : d == 3 ? 2 : 0;
         rectfill(bmp, s[0] + dx - 1, s[1] + dy - 1, s[0] + dx, s[1] + dy, Shade(petal, 5));
      }
      putpixel(bmp, s[0], s[1], Shade(RampGold, 7));
   }
   Outline(bmp, kOutline);
}

void GrassTuft(BITMAP *bmp)
{
   static const int kBlades[][2] = {{4, 20}, {8, 14}, {12, 18}, {16, 10}, {20, 16}, {24, 13},
                                    {28, 21}};
   for (int i = 0; i < 7; i++) {
      int lean = (i % 2) ? 2 : -2;
      line(bmp, kBlades[i][0], kLast, kBlades[i][0] + lean, kBlades[i][1], Shade(RampGrass, 3 + i % 3));
      line(bmp, kBlades[i][0] + 1, kLast, kBlades[i][0] + lean + 1, kBlades[i][1] + 2,
           Shade(RampGrass, 5));
   }
   Outline(bmp, kOutline);
}

// Far away, so low in contrast and cool in colour: a dome lit from the
// upper left with a few dark pines standing on its ridge.
void DistantHill(BITMAP *bmp)
{
   constexpr int kCx = 16, kCy = 36, kRx = 15, kRy = 24;
   ShadedEllipse(bmp, kCx, kCy, kRx, kRy, RampTeal, 1, 4);
   for (int x : {8, 12, 22}) {
      double dx = static_cast<double>(x - kCx) / kRx;
      int ridge = kCy - static_cast<int>(kRy * std::sqrt(1.0 - dx * dx));
      triangle(bmp, x - 3, ridge + 3, x + 3, ridge + 3, x, ridge - 6, Shade(RampTeal, 1));
      line(bmp, x, ridge - 6, x - 3, ridge + 3, Shade(RampTeal, 2));
   }
   Outline(bmp, kOutline);
}

void MountainPeak(BITMAP *bmp)
{
   triangle(bmp, 16, 2, 0, kLast, kLast, kLast, Shade(RampStone, 2));
   triangle(bmp, 16, 2, 0, kLast, 16, kLast, Shade(RampStone, 4));
   static const int kSnow[] = {16, 2, 9, 14, 12, 12, 16, 15, 20, 11, 23, 14};
   polygon(bmp, 6, kSnow, Shade(RampIce, 6));
   line(bmp, 16, 2, 16, 15, Shade(RampIce, 4));
   line(bmp, 16, 15, 20, 11, Shade(RampIce, 4));
   line(bmp, 20, 11, 23, 14, Shade(RampIce, 4));
}

void Signpost(BITMAP *bmp)
{
   rectfill(bmp, 14, 14, 17, kLast, Shade(RampWood, 3));
   vline(bmp, 14, 14, kLast, Shade(RampWood, 5));
   static const int kArrow[] = {3, 5, 22, 5, 29, 10, 22, 15, 3, 15};
   polygon(bmp, 5, kArrow, Shade(RampWood, 5));
   hline(bmp, 3, 5, 22, Shade(RampWood, 7));
   line(bmp, 22, 15, 29, 10, Shade(RampWood, 2));
   hline(bmp, 3, 15, 22, Shade(RampWood, 2));
   line(bmp, 7, 10, 20, 10, Shade(RampWood, 1));
   line(bmp, 17, 8, 20, 10, Shade(RampWood, 1));
   line(bmp, 17, 12, 20, 10, Shade(RampWood, 1));
   Outline(bmp, kOutline);
}

void WallTorch(BITMAP *bmp)
{
   ShadedEllipse(bmp, 16, 9, 5, 7, RampRed, 3, 7);
   ShadedEllipse(bmp, 16, 11, 3, 4, RampGold, 4, 7);
   putpixel(bmp, 16, 2, Shade(RampGold, 5));
   rectfill(bmp, 13, 17, 19, 19, Shade(RampSteel, 4));
   rectfill(bmp, 14, 19, 18, 28, Shade(RampWood, 3));
   vline(bmp, 14, 19, 28, Shade(RampWood, 5));
   rectfill(bmp, 11, 23, 21, 25, Shade(RampSteel, 3));
   hline(bmp, 11, 23, 21, Shade(RampSteel, 6));
   Outline(bmp, kOutline);
}

void CastleWindow(BITMAP *bmp)
{
   rectfill(bmp, 4, 8, 27, kLast, Shade(RampStone, 4));
   circlefill(bmp, 16, 12, 12, Shade(RampStone, 4));
   rectfill(bmp, 9, 12, 22, 28, kNight);
   circlefill(bmp, 16, 12, 7, kNight);
   vline(bmp, 16, 5, 28, Shade(RampStone, 2));
   hline(bmp, 9, 16, 22, Shade(RampStone, 2));
   putpixel(bmp, 12, 9, Shade(RampGold, 6));
   putpixel(bmp, 20, 21, Shade(RampGold, 5));
   rectfill(bmp, 6, 28, 25, 30, Shade(RampStone, 5));
   hline(bmp, 6, 28, 25, Shade(RampStone, 7));
   Bevel(bmp, 0, 0, kLast, kLast);
   Outline(bmp, kOutline);
}

void HangingVine(BITMAP *bmp)
{
   for (int y = 0; y < kTileSize; y++) {
      int x = 16 + static_cast<int>(std::lround(4 * std::sin(y * 0.35)));
      putpixel(bmp, x, y, Shade(RampLeaf, 3));
      putpixel(bmp, x + 1, y, Shade(RampLeaf, 4));
      if (y % 6 == 2) {
         int side = (y / 6) % 2 ? 3 : -3;
         ShadedEllipse(bmp, x + side, y + 1, 2, 2, RampGrass, 2, 6);
      }
   }
   Outline(bmp, kOutline);
}

void Pebbles(BITMAP *bmp)
{
   static const Puff kStones[] = {{7, 27, 4}, {15, 29, 2}, {21, 26, 5}, {27, 29, 2}, {12, 30, 1}};
   for (const Puff &p : kStones)
      ShadedEllipse(bmp, p.x, p.y, p.r + 1, p.r, RampStone, 2, 7);
   Outline(bmp, kOutline);
}

// A spotted red cap: the lower half of a lit ellipse is cut away to leave
// a dome over the stalk.
void Mushroom(BITMAP *bmp)
{
   ShadedEllipse(bmp, 16, 15, 12, 9, RampRed, 2, 6);
   rectfill(bmp, 3, 16, 29, 24, kMaskColour);
   hline(bmp, 5, 16, 27, Shade(RampRed, 2));
   for (const Puff &p : {Puff{10, 11, 2}, Puff{19, 9, 2}, Puff{23, 13, 1}, Puff{15, 14, 1}})
      circlefill(bmp, p.x, p.y, p.r, Grey(15));
   rectfill(bmp, 13, 17, 19, 29, Shade(RampSand, 5));
   vline(bmp, 18, 17, 29, Shade(RampSand, 3));
   hline(bmp, 13, 17, 19, Shade(RampSand, 2));
   Outline(bmp, kOutline);
}

void TwinklingStar(BITMAP *bmp)
{
   line(bmp, 16, 5, 16, 27, Shade(RampGold, 6));
   line(bmp, 5, 16, 27, 16, Shade(RampGold, 6));
   line(bmp, 11, 11, 21, 21, Shade(RampGold, 4));
   line(bmp, 21, 11, 11, 21, Shade(RampGold, 4));
   rectfill(bmp, 14, 14, 18, 18, Shade(RampGold, 7));
   circlefill(bmp, 16, 16, 1, Grey(15));
}

void Moon(BITMAP *bmp)
{
   ShadedEllipse(bmp, 16, 16, 12, 12, RampSand, 3, 7);
   circlefill(bmp, 22, 12, 10, kMaskColour);
   circlefill(bmp, 10, 19, 2, Shade(RampSand, 4));
   putpixel(bmp, 7, 12, Shade(RampSand, 4));
}

}  // namespace

bool DrawSceneryTile(BITMAP *bmp, int value)
{
   switch (value) {
   case 16: BigCloudHalf(bmp, false); break;
   case 17: BigCloudHalf(bmp, true); break;
   case 18: SmallCloud(bmp); break;
   case 19: Sun(bmp); break;
   case 20: Bush(bmp); break;
   case 21: TreeTrunk(bmp); break;
   case 22: TreeCrown(bmp); break;
   case 23: Fence(bmp); break;
   case 24: Flowers(bmp); break;
   case 25: GrassTuft(bmp); break;
   case 26: DistantHill(bmp); break;
   case 27: MountainPeak(bmp); break;
   case 28: Signpost(bmp); break;
   case 29: WallTorch(bmp); break;
   case 30: CastleWindow(bmp); break;
   case 31: HangingVine(bmp); break;
   case 32: Pebbles(bmp); break;
   case 33: Mushroom(bmp); break;
   case 34: TwinklingStar(bmp); break;
   case 35: Moon(bmp); break;
   default: return false;
   }
   return true;
}
