#include "sprites.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "paint.h"

namespace {

struct Point {
   int x, y;
};

// One walk pose: where the feet and hands are relative to hip and shoulder,
// and how much the body bobs up.
struct Pose {
   Point front_foot, back_foot;
   int front_hand, back_hand;
   int bob;
};

// Contact, passing, contact with the other leg, passing.
const Pose kWalk[kWalkFrames] = {
   {{7, 0}, {-6, 0}, -6, 6, 0},
   {{2, -3}, {-1, 0}, -1, 1, -1},
   {{-6, 0}, {7, 0}, 6, -6, 0},
   {{-1, 0}, {2, -3}, 1, -1, -1},
};

constexpr int kHipY = 33;
constexpr int kShoulderY = 20;
constexpr int kFeetY = kBodyH - 1;
constexpr int kArmLength = 10;

// A limb of the given thickness, painted as a run of small squares.
void Limb(BITMAP *bmp, Point a, Point b, int width, int colour)
{
   int steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)) + 1;
   for (int i = 0; i <= steps; i++) {
      int x = a.x + (b.x - a.x) * i / steps;
      int y = a.y + (b.y - a.y) * i / steps;
      rectfill(bmp, x - width / 2, y, x - width / 2 + width - 1, y, colour);
   }
}

// Leg from the hip to a foot, the knee pushed forward, ending in a boot
// pointing right.
void Leg(BITMAP *bmp, Point hip, Point foot, int trouser, int boot)
{
   Point knee = {(hip.x + foot.x) / 2 + 2, (hip.y + foot.y) / 2};
   Limb(bmp, hip, knee, 5, trouser);
   Limb(bmp, knee, {foot.x, foot.y - 4}, 5, trouser);
   rectfill(bmp, foot.x - 2, foot.y - 4, foot.x + 3, foot.y, boot);
   rectfill(bmp, foot.x + 3, foot.y - 2, foot.x + 5, foot.y, boot);
   hline(bmp, foot.x - 2, foot.y - 4, foot.x + 2, Lighten(boot, 2));
}

// Arm from the shoulder to a hand swung `hand_dx` pixels forward, with a
// dark back edge so that it reads against the tunic.
void Arm(BITMAP *bmp, Point shoulder, int hand_dx, int sleeve, int skin)
{
   Point hand = {shoulder.x + hand_dx, shoulder.y + kArmLength};
   Limb(bmp, shoulder, hand, 4, sleeve);
   Limb(bmp, {shoulder.x - 2, shoulder.y + 2}, {hand.x - 2, hand.y}, 1, Lighten(sleeve, -3));
   rectfill(bmp, hand.x - 1, hand.y + 1, hand.x + 2, hand.y + 3, skin);
   putpixel(bmp, hand.x - 1, hand.y + 3, Lighten(skin, -2));
}

void PlayerHead(BITMAP *bmp, int top)
{
   ShadedEllipse(bmp, 16, top + 8, 7, 7, RampSkin, 3, 6);
   // hair over the crown and the back of the head
   ellipsefill(bmp, 15, top + 3, 7, 3, Shade(RampEarth, 2));
   rectfill(bmp, 9, top + 1, 13, top + 11, Shade(RampEarth, 2));
   hline(bmp, 11, top + 1, 17, Shade(RampEarth, 4));
   vline(bmp, 10, top + 7, top + 10, Shade(RampEarth, 3));
   // a red headband whose tails fly out behind
   rectfill(bmp, 9, top + 5, 23, top + 6, Shade(RampRed, 4));
   hline(bmp, 9, top + 5, 23, Shade(RampRed, 6));
   line(bmp, 8, top + 6, 4, top + 9, Shade(RampRed, 4));
   line(bmp, 8, top + 5, 3, top + 6, Shade(RampRed, 3));
   // eye looking right, ear, nose, mouth
   rectfill(bmp, 18, top + 8, 20, top + 10, Grey(15));
   rectfill(bmp, 20, top + 8, 21, top + 10, kOutline);
   hline(bmp, 18, top + 7, 21, Shade(RampEarth, 2));
   rectfill(bmp, 13, top + 9, 14, top + 11, Shade(RampSkin, 3));
   putpixel(bmp, 13, top + 10, Shade(RampSkin, 1));
   putpixel(bmp, 24, top + 10, Shade(RampSkin, 4));
   hline(bmp, 20, top + 13, 22, Shade(RampSkin, 1));
}

void PlayerBody(BITMAP *bmp, const Pose &pose)
{
   int b = pose.bob;
   Point hip = {15, kHipY + b};
   int trouser = Shade(RampBlue, 1), boot = Shade(RampWood, 2);
   Leg(bmp, {hip.x - 1, hip.y}, {15 + pose.back_foot.x, kFeetY + pose.back_foot.y},
       Shade(RampBlue, 0), Lighten(boot, -1));
   Arm(bmp, {14, kShoulderY + b}, pose.back_hand, Shade(RampTeal, 1), Shade(RampSkin, 2));
   // tunic with a belt
   rectfill(bmp, 10, kShoulderY - 2 + b, 21, kHipY + 1 + b, Shade(RampTeal, 4));
   GradeRows(bmp, 10, kShoulderY - 2 + b, 21, kHipY + 1 + b, RampTeal, 5, 3);
   vline(bmp, 10, kShoulderY - 1 + b, kHipY + b, Shade(RampTeal, 6));
   rectfill(bmp, 10, kHipY - 3 + b, 21, kHipY - 2 + b, Shade(RampWood, 2));
   rectfill(bmp, 16, kHipY - 3 + b, 17, kHipY - 2 + b, Shade(RampGold, 6));
   Leg(bmp, {hip.x + 1, hip.y}, {15 + pose.front_foot.x, kFeetY + pose.front_foot.y}, trouser, boot);
   Arm(bmp, {16, kShoulderY + b}, pose.front_hand, Shade(RampTeal, 6), Shade(RampSkin, 5));
   PlayerHead(bmp, 3 + b);
}

// The enemy's head, facing left: a horned purple brute with one big eye.
void EnemyHead(BITMAP *bmp, int dx, int dy, Ramp skin)
{
   triangle(bmp, dx + 8, dy + 9, dx + 13, dy + 6, dx + 6, dy + 0, Shade(RampSand, 5));
   triangle(bmp, dx + 20, dy + 6, dx + 25, dy + 9, dx + 27, dy + 0, Shade(RampSand, 3));
   ShadedEllipse(bmp, dx + 16, dy + 13, 10, 9, skin, 1, 6);
   ellipsefill(bmp, dx + 11, dy + 11, 4, 3, Grey(15));
   rectfill(bmp, dx + 8, dy + 10, dx + 10, dy + 12, kPureRed);
   putpixel(bmp, dx + 8, dy + 10, kOutline);
   line(bmp, dx + 6, dy + 6, dx + 15, dy + 8, kOutline);
   line(bmp, dx + 6, dy + 7, dx + 15, dy + 9, kOutline);
   hline(bmp, dx + 7, dy + 17, dx + 17, kOutline);
   for (int x = dx + 8; x <= dx + 16; x += 3)
      putpixel(bmp, x, dy + 18, Grey(15));
}

void EnemyLegs(BITMAP *bmp)
{
   for (int x : {10, 19}) {
      rectfill(bmp, x, 38, x + 4, kFeetY - 3, Shade(RampPurple, x == 10 ? 3 : 2));
      rectfill(bmp, x - 4, kFeetY - 3, x + 4, kFeetY, Shade(RampPurple, 1));
      for (int c = x - 4; c <= x; c += 2)
         putpixel(bmp, c, kFeetY, Shade(RampSand, 6));
   }
}

void EnemyTorsoAndGun(BITMAP *bmp)
{
   ShadedEllipse(bmp, 16, 30, 10, 10, RampPurple, 1, 5);
   ellipsefill(bmp, 15, 32, 5, 6, Shade(RampPink, 4));
   for (int y = 28; y <= 36; y += 3)
      hline(bmp, 12, y, 18, Shade(RampPink, 3));
   // arm reaching forward with a blaster
   Limb(bmp, {18, 25}, {8, 30}, 4, Shade(RampPurple, 4));
   rectfill(bmp, 0, 27, 9, 30, Shade(RampSteel, 4));
   hline(bmp, 0, 27, 9, Shade(RampSteel, 6));
   rectfill(bmp, 6, 31, 8, 33, Shade(RampSteel, 2));
   putpixel(bmp, 0, 28, kPureRed);
}

}  // namespace

void DrawPlayerFrame(BITMAP *bmp, int frame)
{
   clear_to_color(bmp, kMaskColour);
   PlayerBody(bmp, kWalk[frame % kWalkFrames]);
   Outline(bmp, kOutline);
}

void DrawEnemyBody(BITMAP *bmp)
{
   clear_to_color(bmp, kMaskColour);
   EnemyLegs(bmp);
   EnemyTorsoAndGun(bmp);
   EnemyHead(bmp, 0, 2, RampPurple);
   Outline(bmp, kOutline);
}

void DrawEnemyIcon(BITMAP *bmp)
{
   clear_to_color(bmp, kMaskColour);
   rectfill(bmp, 0, 0, kIconSize - 1, kIconSize - 1, kPureRed);
   rectfill(bmp, 2, 2, kIconSize - 3, kIconSize - 3, kNight);
   EnemyHead(bmp, 0, 6, RampPurple);
}

void DrawEnemyMarker(BITMAP *bmp)
{
   clear_to_color(bmp, kMaskColour);
   EnemyHead(bmp, 0, 4, RampSteel);
   Outline(bmp, kOutline);
   rectfill(bmp, 22, 20, 31, 31, Shade(RampGold, 5));
   rect(bmp, 22, 20, 31, 31, kOutline);
   textout_ex(bmp, font, "2", 23, 22, kOutline, -1);
}

void DrawBorder(BITMAP *bmp)
{
   clear_to_color(bmp, Grey(1));
   hline(bmp, 0, 0, kBorderW - 1, Shade(RampSteel, 5));
   hline(bmp, 0, 1, kBorderW - 1, Shade(RampSteel, 3));
   hline(bmp, 0, kBorderH - 1, kBorderW - 1, kOutline);
   for (int y = 2; y < kBorderH - 1; y++)
      for (int x = 0; x < kBorderW; x++)
         if (Bayer(x, y) == 0 && (x / 4 + y) % 3 == 0)
            putpixel(bmp, x, y, Grey(2));
   // rivets along the strip, clear of the life count on the left
   for (int x = 96; x < kBorderW; x += 32) {
      putpixel(bmp, x, 7, Shade(RampSteel, 6));
      putpixel(bmp, x + 1, 8, Shade(RampSteel, 1));
      putpixel(bmp, x + 1, 7, Shade(RampSteel, 4));
      putpixel(bmp, x, 8, Shade(RampSteel, 3));
   }
}
