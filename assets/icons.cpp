#include "icons.h"

#include <png.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "palette.h"
#include "sprites.h"
#include "tiles.h"

namespace {

constexpr int kArt = 64;          // the icons are drawn once at this size
constexpr int kCorner = 9;        // radius of the rounded square behind them
constexpr int kGroundTop = 52;    // the game's icon: ground from this row down
constexpr int kGrassTile = 1;
constexpr int kSunTile = 19;
constexpr int kStoneTile = 3;
constexpr int kCrateTile = 11;
constexpr int kCell = 24;         // the editor's icon: a 2 x 2 grid of tiles
constexpr int kGridX = 6;

void RoundedSquare(BITMAP *bmp, int colour)
{
   clear_to_color(bmp, kMaskColour);
   int n = bmp->w - 1;
   rectfill(bmp, kCorner, 0, n - kCorner, n, colour);
   rectfill(bmp, 0, kCorner, n, n - kCorner, colour);
   circlefill(bmp, kCorner, kCorner, kCorner, colour);
   circlefill(bmp, n - kCorner, kCorner, kCorner, colour);
   circlefill(bmp, kCorner, n - kCorner, kCorner, colour);
   circlefill(bmp, n - kCorner, n - kCorner, kCorner, colour);
}

BITMAP *Tile(int value)
{
   BITMAP *t = create_bitmap(kTileSize, kTileSize);
   DrawTile(t, value);
   return t;
}

// The player standing on grass under the sun.
void DrawGameIcon(BITMAP *bmp)
{
   RoundedSquare(bmp, Shade(RampBlue, 5));
   BITMAP *sun = Tile(kSunTile);
   masked_stretch_blit(sun, bmp, 0, 0, kTileSize, kTileSize, 40, 4, 20, 20);
   BITMAP *grass = Tile(kGrassTile);
   for (int x = 0; x < kArt; x += kTileSize)
      masked_blit(grass, bmp, 0, 0, x, kGroundTop, kTileSize, kArt - kGroundTop);
   BITMAP *player = create_bitmap(kBodyW, kBodyH);
   DrawPlayerFrame(player, 0);
   draw_sprite(bmp, player, (kArt - kBodyW) / 2, kGroundTop - kBodyH);
   // The corners stay transparent over the tiles as well.
   BITMAP *shape = create_bitmap(kArt, kArt);
   RoundedSquare(shape, 1);
   for (int y = 0; y < kArt; y++)
      for (int x = 0; x < kArt; x++)
         if (getpixel(shape, x, y) == kMaskColour)
            putpixel(bmp, x, y, kMaskColour);
   destroy_bitmap(shape);
   destroy_bitmap(player);
   destroy_bitmap(grass);
   destroy_bitmap(sun);
}

// Four tiles on the editor's grid, one of them picked with its red box.
void DrawEditorIcon(BITMAP *bmp)
{
   RoundedSquare(bmp, Grey(4));
   const int values[] = {kSunTile, kCrateTile, kGrassTile, kStoneTile};
   for (int i = 0; i < 4; i++) {
      BITMAP *t = Tile(values[i]);
      int x = kGridX + (i % 2) * (kCell + 4), y = kGridX + (i / 2) * (kCell + 4);
      rectfill(bmp, x, y, x + kCell - 1, y + kCell - 1, Grey(1));
      masked_stretch_blit(t, bmp, 0, 0, kTileSize, kTileSize, x, y, kCell, kCell);
      destroy_bitmap(t);
   }
   int x = kGridX + kCell + 4 - 2, y = kGridX - 2;
   rect(bmp, x, y, x + kCell + 3, y + kCell + 3, kPureRed);
   rect(bmp, x + 1, y + 1, x + kCell + 2, y + kCell + 2, kPureRed);
}

int Scale6(int v)
{
   return (v * 255 + 31) / 63;
}

// An RGBA PNG; the mask colour becomes fully transparent.
bool WritePng(const std::string &path, BITMAP *bmp, const RGB *pal)
{
   FILE *f = std::fopen(path.c_str(), "wb");
   if (!f)
      return false;
   png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
   png_infop info = png ? png_create_info_struct(png) : nullptr;
   if (!info || setjmp(png_jmpbuf(png))) {
      png_destroy_write_struct(&png, &info);
      std::fclose(f);
      return false;
   }
   png_init_io(png, f);
   png_set_IHDR(png, info, bmp->w, bmp->h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
   png_write_info(png, info);
   std::string row(bmp->w * 4, '\0');
   for (int y = 0; y < bmp->h; y++) {
      for (int x = 0; x < bmp->w; x++) {
         int c = getpixel(bmp, x, y);
         unsigned char *p = reinterpret_cast<unsigned char *>(&row[x * 4]);
         p[0] = Scale6(pal[c].r);
         p[1] = Scale6(pal[c].g);
         p[2] = Scale6(pal[c].b);
         p[3] = c == kMaskColour ? 0 : 255;
      }
      png_write_row(png, reinterpret_cast<png_const_bytep>(row.data()));
   }
   png_write_end(png, nullptr);
   png_destroy_write_struct(&png, &info);
   return std::fclose(f) == 0;
}

// XPM is C source: an array named `var`, two hex digits per pixel, the mask
// colour as "None".
bool WriteXpm(const std::string &path, const char *var, BITMAP *bmp, const RGB *pal)
{
   bool used[PAL_SIZE] = {};
   int colours = 0;
   for (int y = 0; y < bmp->h; y++)
      for (int x = 0; x < bmp->w; x++) {
         int c = getpixel(bmp, x, y);
         colours += !used[c];
         used[c] = true;
      }
   FILE *f = std::fopen(path.c_str(), "w");
   if (!f)
      return false;
   std::fprintf(f, "/* XPM */\nstatic const char *%s[] = {\n\"%d %d %d 2\",\n", var, bmp->w, bmp->h,
                colours);
   for (int c = 0; c < PAL_SIZE; c++) {
      if (!used[c])
         continue;
      if (c == kMaskColour)
         std::fprintf(f, "\"%02x c None\",\n", c);
      else
         std::fprintf(f, "\"%02x c #%02X%02X%02X\",\n", c, Scale6(pal[c].r), Scale6(pal[c].g),
                      Scale6(pal[c].b));
   }
   for (int y = 0; y < bmp->h; y++) {
      std::fputc('"', f);
      for (int x = 0; x < bmp->w; x++)
         std::fprintf(f, "%02x", getpixel(bmp, x, y));
      std::fprintf(f, "\"%s\n", y + 1 < bmp->h ? "," : "");
   }
   std::fprintf(f, "};\n");
   return std::fclose(f) == 0;
}

bool MakeDirs(const std::string &path)
{
   for (size_t i = 1; i <= path.size(); i++)
      if (i == path.size() || path[i] == '/')
         if (mkdir(path.substr(0, i).c_str(), 0755) != 0 && errno != EEXIST)
            return false;
   return true;
}

bool WriteIcon(const std::string &dir, const char *name, const char *var, BITMAP *art,
               const RGB *pal)
{
   bool ok = true;
   for (int size : kIconSizes) {
      std::string apps = dir + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
      BITMAP *icon = create_bitmap(size, size);
      stretch_blit(art, icon, 0, 0, kArt, kArt, 0, 0, size, size);
      ok = ok && MakeDirs(apps) && WritePng(apps + "/" + name + ".png", icon, pal);
      if (size == kWindowIconSize)
         ok = ok && WriteXpm(dir + "/" + name + ".xpm", var, icon, pal);
      destroy_bitmap(icon);
   }
   return ok;
}

}  // namespace

bool WriteIcons(const std::string &dir, const RGB *pal)
{
   BITMAP *game = create_bitmap(kArt, kArt);
   BITMAP *editor = create_bitmap(kArt, kArt);
   DrawGameIcon(game);
   DrawEditorIcon(editor);
   bool ok = WriteIcon(dir, "kelwyrm", "kelwyrm_xpm", game, pal) &&
             WriteIcon(dir, "kelwyrm-editor", "kelwyrm_editor_xpm", editor, pal);
   destroy_bitmap(game);
   destroy_bitmap(editor);
   return ok;
}
