#include "sheet.h"

#include <loadpng.h>

#include <cstdio>
#include <initializer_list>

#include "palette.h"
#include "sprites.h"
#include "tiles.h"

namespace {

constexpr int kMargin = 6;
constexpr int kLabelH = 10;
constexpr int kCell = kTileSize + 8;
constexpr int kTileCols = 10;
constexpr int kTileRows = kTileCount / kTileCols;
constexpr int kSceneCols = 10, kSceneRows = 7;
constexpr int kSceneW = kSceneCols * kTileSize, kSceneH = kSceneRows * kTileSize + kBorderH;
constexpr int kSwatch = 8;
constexpr int kPaletteSide = 16 * kSwatch;
constexpr int kSheetW = kMargin * 3 + kSceneW + kPaletteSide;
constexpr int kTilesTop = kMargin;
constexpr int kSpritesTop = kTilesTop + kTileRows * (kCell + kLabelH) + kMargin;
constexpr int kSceneTop = kSpritesTop + kLabelH + kBodyH + 2 * kMargin;
constexpr int kSheetH = kSceneTop + kLabelH + kSceneH + kMargin;

// A made-up stretch of level: ground, scenery and items in their layers,
// as the game draws them (ground, then scenery, then items).
const char *const kSceneGround[kSceneRows] = {
   "..........", "..........", "..........", ".....786..", "..........", "4115..3c41", "2222..3332"};
const char *const kSceneBack[kSceneRows] = {
   "GH..J...I.", "....I.....", "..........", "..m.......", "..t.....o.", "..........", ".........."};
const char *const kSceneItem[kSceneRows] = {
   "..........", "..........", "......f...", "..........", "....k....x", "..........", ".........."};

// Scene letters: digits and a..f are ground values 0..15; upper-case
// G.. are scenery 16..; lower-case from 'k' are items and the exit.
int SceneValue(char c)
{
   switch (c) {
   case 'c': return 11;
   case 'e': return 14;
   case 'G': return 16;
   case 'H': return 17;
   case 'I': return 34;
   case 'J': return 35;
   case 'm': return 22;
   case 'o': return 20;
   case 't': return 21;
   case 'f': return 36;
   case 'k': return 40;
   case 'x': return kExitTile;
   default: return (c >= '0' && c <= '9') ? c - '0' : 0;
   }
}

void Checker(BITMAP *bmp, int x1, int y1, int w, int h)
{
   for (int y = 0; y < h; y += 4)
      for (int x = 0; x < w; x += 4)
         rectfill(bmp, x1 + x, y1 + y, x1 + x + 3, y1 + y + 3, ((x + y) / 4) % 2 ? Grey(4) : Grey(5));
}

void Labelled(BITMAP *sheet, BITMAP *pic, int x, int y, const char *label)
{
   textout_ex(sheet, font, label, x, y, Grey(13), -1);
   Checker(sheet, x, y + kLabelH, pic->w, pic->h);
   draw_sprite(sheet, pic, x, y + kLabelH);
}

void TileGrid(BITMAP *sheet, const SheetArt &art)
{
   for (int v = 0; v < kTileCount; v++) {
      char label[16];
      std::snprintf(label, sizeof(label), "%d", v);
      int x = kMargin + (v % kTileCols) * kCell;
      int y = kTilesTop + (v / kTileCols) * (kCell + kLabelH);
      Labelled(sheet, art.tiles[v], x, y, label);
   }
}

void SpriteRow(BITMAP *sheet, const SheetArt &art)
{
   int x = kMargin;
   for (size_t i = 0; i < art.walk.size(); i++, x += kCell) {
      char label[16];
      std::snprintf(label, sizeof(label), "P%zu", i);
      Labelled(sheet, art.walk[i], x, kSpritesTop, label);
   }
   for (size_t i = 0; i < art.enemy.size(); i++, x += kCell) {
      char label[16];
      std::snprintf(label, sizeof(label), "E%zu", i);
      Labelled(sheet, art.enemy[i], x, kSpritesTop, label);
   }
}

void PaletteSwatches(BITMAP *sheet)
{
   int x0 = 2 * kMargin + kSceneW, y0 = kSceneTop + kLabelH;
   textout_ex(sheet, font, "palette", x0, kSceneTop, Grey(13), -1);
   for (int i = 0; i < PAL_SIZE; i++) {
      int x = x0 + (i % 16) * kSwatch, y = y0 + (i / 16) * kSwatch;
      rectfill(sheet, x, y, x + kSwatch - 1, y + kSwatch - 1, i);
   }
}

void Scene(BITMAP *sheet, const SheetArt &art)
{
   int x0 = kMargin, y0 = kSceneTop + kLabelH;
   textout_ex(sheet, font, "in play", x0, kSceneTop, Grey(13), -1);
   rectfill(sheet, x0, y0, x0 + kSceneW - 1, y0 + kSceneH - 1, kMaskColour);
   for (const char *const *layer : {kSceneGround, kSceneBack, kSceneItem})
      for (int r = 0; r < kSceneRows; r++)
         for (int c = 0; c < kSceneCols; c++)
            draw_sprite(sheet, art.tiles[SceneValue(layer[r][c])], x0 + c * kTileSize, y0 + r * kTileSize);
   draw_sprite(sheet, art.walk[0], x0 + 40, y0 + 5 * kTileSize - kBodyH);
   draw_sprite_h_flip(sheet, art.walk[2], x0 + 4 * kTileSize + 8, y0 + 5 * kTileSize - kBodyH - 30);
   draw_sprite(sheet, art.enemy[1], x0 + 6 * kTileSize, y0 + 3 * kTileSize - kBodyH);
   int border_y = y0 + kSceneRows * kTileSize;
   blit(art.border, sheet, 0, 0, x0, border_y, kBorderW, kBorderH);
   textout_ex(sheet, font, "Life: 10", x0, border_y + kLifeTextRow, Grey(15), kMaskColour);
}

}  // namespace

bool WriteContactSheet(const std::string &path, const SheetArt &art, const RGB *pal)
{
   BITMAP *sheet = create_bitmap(kSheetW, kSheetH);
   BITMAP *big = create_bitmap(kSheetW * kSheetScale, kSheetH * kSheetScale);
   clear_to_color(sheet, Grey(2));
   TileGrid(sheet, art);
   SpriteRow(sheet, art);
   Scene(sheet, art);
   PaletteSwatches(sheet);
   stretch_blit(sheet, big, 0, 0, kSheetW, kSheetH, 0, 0, big->w, big->h);
   bool ok = save_png(path.c_str(), big, pal) == 0;
   if (!ok)
      std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
   destroy_bitmap(big);
   destroy_bitmap(sheet);
   return ok;
}
