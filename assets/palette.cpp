#include "palette.h"

#include <algorithm>

namespace {

struct Rgb {
   int r, g, b;
};

// Each hue ramp runs shadow -> base colour -> highlight; the shadows lean
// toward cool purple and the highlights toward warm light, as pixel art does.
struct RampKeys {
   Rgb shadow, base, light;
};

constexpr int kBaseLevel = 4;   // ramp level that holds the base colour exactly

const RampKeys kRampKeys[kRampCount] = {
   {{90, 40, 40}, {232, 164, 120}, {255, 232, 204}},   // skin
   {{40, 22, 20}, {132, 82, 46}, {206, 156, 98}},      // earth
   {{56, 28, 16}, {168, 102, 46}, {246, 196, 112}},    // wood
   {{12, 52, 32}, {64, 172, 44}, {196, 250, 112}},     // grass
   {{6, 34, 34}, {34, 120, 64}, {124, 212, 112}},      // leaf
   {{30, 30, 48}, {112, 112, 128}, {214, 214, 224}},   // stone
   {{64, 0, 24}, {212, 24, 28}, {255, 176, 156}},      // red
   {{92, 44, 8}, {240, 180, 24}, {255, 255, 184}},     // gold
   {{12, 16, 64}, {44, 92, 212}, {164, 212, 255}},     // blue
   {{44, 84, 136}, {140, 200, 240}, {244, 255, 255}},  // ice
   {{36, 12, 54}, {132, 52, 172}, {232, 172, 255}},    // purple
   {{112, 80, 44}, {222, 190, 122}, {255, 246, 204}},  // sand
   {{30, 40, 56}, {112, 132, 152}, {222, 236, 246}},   // steel
   {{62, 16, 16}, {172, 62, 40}, {242, 152, 112}},     // brick
   {{82, 12, 54}, {232, 82, 152}, {255, 202, 232}},    // pink
   {{4, 40, 52}, {22, 150, 160}, {164, 250, 240}},     // teal
};

// Six-bit grey values; 32 is (128,128,128) and 63 is white.
const int kGreyValues[kGreyLevels] = {3, 6, 10, 14, 18, 22, 27, 32, 36, 40, 44, 48, 52, 56, 60, 63};

const Rgb kFixedColours[kFixedEnd - kFixedBase] = {
   {28, 18, 36},     // outline: a very dark purple reads as black but is opaque
   {255, 0, 0},      // red
   {128, 255, 128},  // light green
   {255, 255, 0},    // yellow
   {0, 255, 0},      // green
   {0, 0, 255},      // blue
   {40, 220, 80},    // exit sign green
   {8, 96, 40},      // exit sign shadow
   {16, 20, 44},     // night blue
   {40, 48, 88},     // night blue, lit
   {60, 64, 110},    // blue shadow of clouds and snow
};

RGB Six(Rgb c)
{
   RGB out;
   out.r = c.r >> 2;
   out.g = c.g >> 2;
   out.b = c.b >> 2;
   out.filler = 0;
   return out;
}

Rgb Mix(Rgb a, Rgb b, int num, int den)
{
   return {a.r + (b.r - a.r) * num / den, a.g + (b.g - a.g) * num / den,
           a.b + (b.b - a.b) * num / den};
}

Rgb RampColour(const RampKeys &keys, int level)
{
   if (level <= kBaseLevel)
      return Mix(keys.shadow, keys.base, level, kBaseLevel);
   return Mix(keys.base, keys.light, level - kBaseLevel, kRampLevels - kBaseLevel);
}

// An even spread over the colour space so that stray colours asked of
// makecol (the glittering shots use random ones) land on something close.
Rgb CubeColour(int i)
{
   int b = i % kCubeB;
   int g = (i / kCubeB) % kCubeG;
   int r = i / (kCubeB * kCubeG);
   return {r * 255 / (kCubeR - 1), g * 255 / (kCubeG - 1), b * 255 / (kCubeB - 1)};
}

}  // namespace

int Shade(Ramp ramp, int level)
{
   return kRampBase + ramp * kRampLevels + std::clamp(level, 0, kRampLevels - 1);
}

int Grey(int level)
{
   return kGreyBase + std::clamp(level, 0, kGreyLevels - 1);
}

int Lighten(int index, int steps)
{
   if (index >= kGreyBase && index < kRampBase)
      return Grey(index - kGreyBase + steps);
   if (index >= kRampBase && index < kCubeBase) {
      int ramp = (index - kRampBase) / kRampLevels;
      int level = (index - kRampBase) % kRampLevels;
      return Shade(static_cast<Ramp>(ramp), level + steps);
   }
   return index;
}

void BuildPalette(PALETTE pal)
{
   pal[kMaskColour] = Six({0, 0, 0});
   for (int i = 0; i < kGreyLevels; i++) {
      int v = kGreyValues[i];
      pal[kGreyBase + i] = RGB{static_cast<unsigned char>(v), static_cast<unsigned char>(v),
                               static_cast<unsigned char>(v), 0};
   }
   for (int r = 0; r < kRampCount; r++)
      for (int l = 0; l < kRampLevels; l++)
         pal[Shade(static_cast<Ramp>(r), l)] = Six(RampColour(kRampKeys[r], l));
   for (int i = 0; i < kCubeR * kCubeG * kCubeB; i++)
      pal[kCubeBase + i] = Six(CubeColour(i));
   for (int i = kFixedBase; i < kFixedEnd; i++)
      pal[i] = Six(kFixedColours[i - kFixedBase]);
   for (int i = kFixedEnd; i < PAL_SIZE; i++)
      pal[i] = Six({0, 0, 0});
}
