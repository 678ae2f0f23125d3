#ifndef PALETTE_H
#define PALETTE_H

// The one palette every generated picture shares: a grey ramp, sixteen
// hue ramps for the art, a small colour cube so that any colour the
// programs ask of makecol finds a near match, and a few exact colours.

#include <allegro.h>

constexpr int kMaskColour = 0;   // index 0: black, transparent in sprites
constexpr int kGreyLevels = 16;
constexpr int kGreyBase = 1;
constexpr int kRampLevels = 8;
constexpr int kRampBase = kGreyBase + kGreyLevels;

enum Ramp {
   RampSkin, RampEarth, RampWood, RampGrass, RampLeaf, RampStone, RampRed, RampGold,
   RampBlue, RampIce, RampPurple, RampSand, RampSteel, RampBrick, RampPink, RampTeal,
   kRampCount
};

constexpr int kCubeBase = kRampBase + kRampCount * kRampLevels;
constexpr int kCubeR = 5, kCubeG = 5, kCubeB = 4;
constexpr int kFixedBase = kCubeBase + kCubeR * kCubeG * kCubeB;

// Exact colours the programs draw with (makecol must find them away from
// index 0), plus the outline colour of the art.
enum FixedColour {
   kOutline = kFixedBase, kPureRed, kLightGreen, kPureYellow, kPureGreen, kPureBlue,
   kExitGreen, kExitGreenDark, kNight, kNightLight, kShadowBlue, kFixedEnd
};
static_assert(kFixedEnd <= PAL_SIZE, "palette overflows 256 entries");

// Palette index of a ramp level, 0 = darkest; out-of-range levels clamp.
int Shade(Ramp ramp, int level);

// Palette index of a grey, 0 = near black .. kGreyLevels - 1 = white.
int Grey(int level);

// Moves an index `steps` levels lighter (negative: darker) inside its own
// ramp; indices outside every ramp are returned unchanged.
int Lighten(int index, int steps);

// Fills `pal` with the game's palette.
void BuildPalette(PALETTE pal);

#endif
