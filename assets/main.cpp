// assetgen: paints, synthesises and packs every asset of the game and the
// editor into the run folder. Everything is drawn here with Allegro calls in
// one shared 8-bit palette; files are written by Allegro, libsndfile, libsmf,
// loadpng and Allegro's own `dat` and `pat2dat` tools.

#include <allegro.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "icons.h"
#include "music.h"
#include "packing.h"
#include "palette.h"
#include "sheet.h"
#include "sounds.h"
#include "sprites.h"
#include "tiles.h"

namespace {

constexpr int kPaletteBmpSide = 16;   // pal.bmp shows the 256 entries as 16 x 16 pixels

struct Args {
   std::string run_dir, sheet_png;
   PackTools tools;
};

std::vector<BITMAP *> NewBitmaps(int n, int w, int h)
{
   std::vector<BITMAP *> v;
   for (int i = 0; i < n; i++)
      v.push_back(create_bitmap(w, h));
   return v;
}

void FreeBitmaps(const std::vector<BITMAP *> &v)
{
   for (BITMAP *b : v)
      destroy_bitmap(b);
}

BITMAP *PaletteBitmap()
{
   BITMAP *bmp = create_bitmap(kPaletteBmpSide, kPaletteBmpSide);
   for (int i = 0; i < PAL_SIZE; i++)
      putpixel(bmp, i % kPaletteBmpSide, i / kPaletteBmpSide, i);
   return bmp;
}

bool WritePictures(const Args &a, const RGB *pal)
{
   const PackTools &t = a.tools;
   std::vector<BITMAP *> tiles = NewBitmaps(kTileCount, kTileSize, kTileSize);
   std::vector<BITMAP *> walk = NewBitmaps(kWalkFrames, kBodyW, kBodyH);
   // enemy.dat: editor icon, the enemy itself, editor picture of value 2
   std::vector<BITMAP *> enemy = {create_bitmap(kIconSize, kIconSize), create_bitmap(kBodyW, kBodyH),
                                  create_bitmap(kIconSize, kIconSize)};
   BITMAP *border = create_bitmap(kBorderW, kBorderH);
   BITMAP *palbmp = PaletteBitmap();

   for (int v = 0; v < kTileCount; v++)
      DrawTile(tiles[v], v);
   for (int f = 0; f < kWalkFrames; f++)
      DrawPlayerFrame(walk[f], f);
   DrawEnemyIcon(enemy[0]);
   DrawEnemyBody(enemy[1]);
   DrawEnemyMarker(enemy[2]);
   DrawBorder(border);

   std::string palfile = t.work_dir + "/pal.bmp";
   std::string border_file = a.run_dir + "/border.bmp";
   bool ok = save_bmp(palfile.c_str(), palbmp, pal) == 0 &&
             save_bmp(border_file.c_str(), border, pal) == 0 &&
             PackPalette(t, a.run_dir + "/pal.dat", palfile) &&
             PackBitmaps(t, a.run_dir + "/tiles.dat", SaveNumbered(t, "tile", tiles, pal)) &&
             PackBitmaps(t, a.run_dir + "/pwalk.dat", SaveNumbered(t, "pwalk", walk, pal)) &&
             PackBitmaps(t, a.run_dir + "/enemy.dat", SaveNumbered(t, "enemy", enemy, pal)) &&
             WriteContactSheet(a.sheet_png, {tiles, walk, enemy, border}, pal);

   FreeBitmaps(tiles);
   FreeBitmaps(walk);
   FreeBitmaps(enemy);
   destroy_bitmap(border);
   destroy_bitmap(palbmp);
   return ok;
}

bool WriteAudio(const Args &a)
{
   std::string midi = a.run_dir + "/jingel.mid";
   return WriteSounds(a.run_dir) && WriteMusic(midi) &&
          PackPatches(a.tools, a.run_dir + "/patches.dat", midi);
}

bool MakeDir(const std::string &dir)
{
   return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

bool StartAllegro(PALETTE pal)
{
   if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
      std::fprintf(stderr, "assetgen: cannot start Allegro\n");
      return false;
   }
   set_color_depth(8);
   BuildPalette(pal);
   set_palette(pal);
   return true;
}

}  // namespace

int main(int argc, char **argv)
{
   PALETTE pal;
   // The icons alone: the programs compile their window icon in, so they
   // wait for these and not for the slower sounds and datafiles.
   if (argc == 3 && std::string(argv[1]) == "--icons") {
      if (!StartAllegro(pal))
         return 1;
      bool ok = WriteIcons(argv[2], pal);
      allegro_exit();
      return ok ? 0 : 1;
   }
   if (argc != 8) {
      std::fprintf(stderr,
                   "usage: assetgen RUN_DIR WORK_DIR CONTACT_SHEET_PNG DAT_TOOL PAT2DAT_TOOL SOUNDFONT FAKETIME_TOOL\n"
                   "       assetgen --icons ICON_DIR\n");
      return 2;
   }
   Args a;
   a.run_dir = argv[1];
   a.tools.work_dir = argv[2];
   a.sheet_png = argv[3];
   a.tools.dat = argv[4];
   a.tools.pat2dat = argv[5];
   a.tools.soundfont = argv[6];
   a.tools.faketime = argv[7];
   if (!MakeDir(a.run_dir) || !MakeDir(a.tools.work_dir)) {
      std::fprintf(stderr, "assetgen: cannot create the output folders\n");
      return 1;
   }

   if (!StartAllegro(pal))
      return 1;
   bool ok = WritePictures(a, pal) && WriteAudio(a);
   allegro_exit();
   return ok ? 0 : 1;
}
