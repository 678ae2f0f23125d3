// What Tiled shows: every cell of every shipped level, drawn by Tiled's own
// renderer (tmxrasterizer) one layer at a time, holds the picture the editor
// draws for its value, with the mask colour transparent.

#include <cstdlib>
#include <string>

#include "headless.h"   // Allegro first: loadpng.h builds on it
#include <loadpng.h>

#include "mapfile.h"
#include "tmx.h"

static MapGrid level;

// Whether a rendered cell shows the top-left tile of `picture`, or nothing.
static bool CellShows(BITMAP *render, int col, int row, BITMAP *picture, const RGB *p)
{
   for (int y = 0; y < kTmxTileSize; y++)
      for (int x = 0; x < kTmxTileSize; x++) {
         int i = picture ? getpixel(picture, x, y) : 0;
         int c = getpixel(render, col * kTmxTileSize + x, row * kTmxTileSize + y);
         int want = i ? makeacol32(_rgb_scale_6[p[i].r], _rgb_scale_6[p[i].g], _rgb_scale_6[p[i].b], 255) : 0;
         if (c != want && (i || geta32(c) != 0))
            return false;
      }
   return true;
}

class TiledPicturesTest : public HeadlessTest {};

TEST_F(TiledPicturesTest, EveryCellOfEveryShippedLevelShowsThePictureOfItsValue)
{
   StartHeadless(320, 240);
   DATAFILE *tiles = load_datafile((RunDir() + "/tiles.dat").c_str());
   DATAFILE *enemies = load_datafile((RunDir() + "/enemy.dat").c_str());
   DATAFILE *pal = load_datafile((RunDir() + "/pal.dat").c_str());
   ASSERT_TRUE(tiles && enemies && pal);
   std::string dir = EnterTempDir();
   // Qt's settings, runtime and lock files stay in the test's folder.
   std::string tiled = "env HOME=" + dir + " TMPDIR=" + dir + " XDG_CONFIG_HOME=" + dir +
                       " XDG_DATA_HOME=" + dir + " XDG_CACHE_HOME=" + dir + " XDG_RUNTIME_DIR=" + dir +
                       " QT_QPA_PLATFORM=offscreen ";
   for (int n = 2; n <= 5; n++) {
      std::string name = "map" + std::to_string(n);
      ASSERT_EQ(ReadMapFile((RunDir() + "/" + name + ".dat").c_str(), level), MAPFILE_OK);
      for (int l = 0; l < kMapLayers; l++) {
         SCOPED_TRACE(name + " layer " + kTmxLayerNames[l]);
         ASSERT_EQ(std::system((tiled + "tmxrasterizer --show-layer " + kTmxLayerNames[l] + " " + TILED_DIR + "/" +
                                name + ".tmx layer.png 2>/dev/null").c_str()), 0);
         set_color_depth(32);   // keeps the alpha channel
         BITMAP *render = load_png("layer.png", nullptr);
         set_color_depth(8);
         ASSERT_TRUE(render && render->w == kMapCols * kTmxTileSize && render->h == kMapRows * kTmxTileSize);
         DATAFILE *pictures = l == kEnemyLayer ? enemies : tiles;
         int wrong = 0;
         for (int c = 0; c < kMapCols; c++)
            for (int r = 0; r < kMapRows; r++) {
               int v = level[l][c][r];
               if (!CellShows(render, c, r, v ? (BITMAP *)pictures[v].dat : nullptr, (RGB *)pal[0].dat) &&
                   wrong++ == 0)
                  ADD_FAILURE() << "column " << c << ", row " << r << " does not show value " << v;
            }
         EXPECT_EQ(wrong, 0);
         destroy_bitmap(render);
      }
   }
   unload_datafile(tiles);
   unload_datafile(enemies);
   unload_datafile(pal);
   std::system(("rm -rf '" + dir + "'").c_str());
}
