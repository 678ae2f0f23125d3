// levelpic: draws a whole level, all 200 x 50 cells, as the game draws its
// view (layers 0, 1 and 3, masked, colour 0 behind), with the player's
// start, the enemy starts and the exit marked, into a PNG for designers.
//
//   levelpic map.dat tiles.dat pal.dat out.png

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "mapfile.h"
#include "platform.h"
#include "pngbytes.h"
#include "safefile.h"

constexpr int kTileSize = 32;
constexpr int kPictureW = kMapCols * kTileSize;
constexpr int kPictureH = kMapRows * kTileSize;
constexpr int kEnemyStart = 1;
constexpr int kExitTile = 49;
// The game looks at the view 7 tiles at a time; a tick on the top edge
// shows where each view jump lands.
constexpr int kScrollTiles = 7;
constexpr int kTickLength = 6;
constexpr int kLabelInset = 2;

static MapGrid level;

static void DrawLayer(BITMAP *picture, DATAFILE *tiles, int tilecount, int layer)
{
   for (int col = 0; col < kMapCols; col++)
      for (int row = 0; row < kMapRows; row++) {
         int v = level[layer][col][row];
         if (v < tilecount)   // a value without a picture draws nothing, as in the game
            masked_blit((BITMAP *)tiles[v].dat, picture, 0, 0, col * kTileSize, row * kTileSize, kTileSize,
                        kTileSize);
      }
}

// An outlined cell with a short label, drawn over the tiles.
static void MarkCell(BITMAP *picture, int col, int row, int colour, const char *label)
{
   int x = col * kTileSize, y = row * kTileSize;
   rect(picture, x, y, x + kTileSize - 1, y + kTileSize - 1, colour);
   rect(picture, x + 1, y + 1, x + kTileSize - 2, y + kTileSize - 2, colour);
   textout_ex(picture, font, label, x + kLabelInset, y + kLabelInset, colour, 0);
}

static void DrawMarks(BITMAP *picture)
{
   int red = makecol(255, 0, 0), white = makecol(255, 255, 255), green = makecol(128, 255, 128);
   for (int col = 0; col < kMapCols; col++)
      for (int row = 0; row < kMapRows; row++) {
         if (level[kEnemyLayer][col][row] == kEnemyStart)
            MarkCell(picture, col, row, red, "EN");
         if (level[kItemLayer][col][row] == kExitTile)
            MarkCell(picture, col, row, green, "EXIT");
      }
   MarkCell(picture, 0, 0, white, "GO");
   for (int col = 0; col < kMapCols; col += kScrollTiles)
      vline(picture, col * kTileSize, 0, kTickLength, white);
   for (int row = 0; row < kMapRows; row += kScrollTiles)
      hline(picture, 0, row * kTileSize, kTickLength, white);
}

int main(int argc, char **argv)
{
   if (argc != 5) {
      fprintf(stderr, "usage: levelpic map.dat tiles.dat pal.dat out.png\n");
      return 2;
   }
   if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
      fprintf(stderr, "levelpic: cannot start Allegro\n");
      return 1;
   }
   KeepFileNamesAsGiven();
   set_color_depth(8);
   MapFileResult result = ReadMapFile(argv[1], level);
   if (result != MAPFILE_OK) {
      fprintf(stderr, "%s: %s\n", argv[1], MapFileMessage(result));
      return 1;
   }
   DATAFILE *tiles = load_datafile(argv[2]);
   DATAFILE *pal = load_datafile(argv[3]);
   if (!tiles || !pal) {
      fprintf(stderr, "levelpic: cannot load %s\n", tiles ? argv[3] : argv[2]);
      return 1;
   }
   int tilecount = 0;
   while (tiles[tilecount].type != DAT_END)
      tilecount++;
   RGB *palette = (RGB *)pal[0].dat;
   set_palette(palette);
   BITMAP *picture = create_bitmap(kPictureW, kPictureH);
   clear_to_color(picture, 0);
   DrawLayer(picture, tiles, tilecount, kGroundLayer);
   DrawLayer(picture, tiles, tilecount, kBackgroundLayer);
   DrawLayer(picture, tiles, tilecount, kItemLayer);
   DrawMarks(picture);
   std::string png;
   if (!PngBytes(picture, palette, png) || !WriteFileSafely(argv[4], png)) {
      fprintf(stderr, "%s: cannot write the picture\n", argv[4]);
      return 1;
   }
   return 0;
}
