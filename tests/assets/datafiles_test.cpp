// The datafiles and pictures as the programs load them: Allegro reads them
// back and the pictures are compared with what the painters draw.

#include <allegro.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless.h"
#include "palette.h"
#include "sprites.h"
#include "tiles.h"

namespace {

constexpr int kHeadRows = 20;

class AssetFiles : public ::testing::Test {
 protected:
   static void SetUpTestSuite() { StartHeadless(320, 240); }

   static DATAFILE *Load(const char *name)
   {
      std::string path = RunDir() + "/" + name;
      DATAFILE *d = load_datafile(path.c_str());
      EXPECT_NE(d, nullptr) << path;
      return d;
   }

   static BITMAP *Bitmap(DATAFILE *d, int i)
   {
      EXPECT_EQ(d[i].type, DAT_BITMAP) << "object " << i;
      return d[i].type == DAT_BITMAP ? static_cast<BITMAP *>(d[i].dat) : nullptr;
   }

   static int Opaque(BITMAP *b, int x1, int y1, int x2, int y2)
   {
      int n = 0;
      for (int y = y1; y <= y2; y++)
         for (int x = x1; x <= x2; x++)
            n += getpixel(b, x, y) != kMaskColour;
      return n;
   }

   // White pixels (the eyes) in the left and right half of the head rows.
   static void EyeSides(BITMAP *b, int *left, int *right)
   {
      int white = Grey(kGreyLevels - 1);
      *left = *right = 0;
      for (int y = 0; y < kHeadRows; y++)
         for (int x = 0; x < b->w; x++)
            if (getpixel(b, x, y) == white)
               (x < b->w / 2 ? *left : *right)++;
   }

   static bool SamePixels(BITMAP *a, BITMAP *b)
   {
      if (a->w != b->w || a->h != b->h)
         return false;
      for (int y = 0; y < a->h; y++)
         for (int x = 0; x < a->w; x++)
            if (getpixel(a, x, y) != getpixel(b, x, y))
               return false;
      return true;
   }

   // True when the datafile bitmap matches what `paint` draws afresh: the
   // packing kept every pixel index and the object order.
   template <typename Paint>
   static bool MatchesPainter(BITMAP *packed, Paint paint)
   {
      BITMAP *fresh = create_bitmap(packed->w, packed->h);
      clear_to_color(fresh, kMaskColour);
      paint(fresh);
      bool same = SamePixels(packed, fresh);
      destroy_bitmap(fresh);
      return same;
   }
};

TEST_F(AssetFiles, PaletteHasBlackMaskAndTheProgramsColoursAwayFromIt)
{
   DATAFILE *d = Load("pal.dat");
   ASSERT_NE(d, nullptr);
   ASSERT_EQ(DatafileCount(d), 1);
   ASSERT_EQ(d[0].type, DAT_PALETTE);
   RGB *pal = static_cast<RGB *>(d[0].dat);
   EXPECT_EQ(pal[0].r + pal[0].g + pal[0].b, 0);
   set_palette(pal);
   struct Want {
      int r, g, b;
   };
   for (Want w : {Want{255, 255, 255}, Want{128, 128, 128}, Want{255, 0, 0}, Want{128, 255, 128}}) {
      int c = makecol(w.r, w.g, w.b);
      EXPECT_NE(c, 0) << w.r << "," << w.g << "," << w.b;
      EXPECT_EQ(pal[c].r, w.r >> 2);
      EXPECT_EQ(pal[c].g, w.g >> 2);
      EXPECT_EQ(pal[c].b, w.b >> 2);
   }
   unload_datafile(d);
}

TEST_F(AssetFiles, TilesAreFiftyPicturesInValueOrder)
{
   DATAFILE *d = Load("tiles.dat");
   ASSERT_NE(d, nullptr);
   ASSERT_GE(DatafileCount(d), kTileCount);
   for (int v = 0; v < kTileCount; v++) {
      BITMAP *b = Bitmap(d, v);
      ASSERT_NE(b, nullptr);
      ASSERT_EQ(b->w, kTileSize);
      ASSERT_EQ(b->h, kTileSize);
      EXPECT_EQ(bitmap_color_depth(b), 8);
      EXPECT_TRUE(MatchesPainter(b, [v](BITMAP *f) { DrawTile(f, v); })) << "tile " << v;
   }
   unload_datafile(d);
}

TEST_F(AssetFiles, EmptyTileIsAllMaskAndEveryOtherTileIsItsOwnPicture)
{
   DATAFILE *d = Load("tiles.dat");
   ASSERT_NE(d, nullptr);
   ASSERT_GE(DatafileCount(d), kTileCount);
   EXPECT_EQ(Opaque(Bitmap(d, 0), 0, 0, kTileSize - 1, kTileSize - 1), 0);
   for (int v = 1; v < kTileCount; v++) {
      EXPECT_GT(Opaque(Bitmap(d, v), 0, 0, kTileSize - 1, kTileSize - 1), 0) << "tile " << v;
      for (int w = 1; w < v; w++)
         EXPECT_FALSE(SamePixels(Bitmap(d, v), Bitmap(d, w))) << "tiles " << w << " and " << v;
   }
   unload_datafile(d);
}

// The player stands on the top edge of a ground tile, so that edge must be
// drawn; block-like ground fills its whole cell.
TEST_F(AssetFiles, GroundTilesAreSolidWhereThePlayerStands)
{
   constexpr int kLast = kTileSize - 1;
   constexpr int kCorner = 6;   // rounded ends of the grass strip and the platform
   DATAFILE *d = Load("tiles.dat");
   ASSERT_NE(d, nullptr);
   ASSERT_GE(DatafileCount(d), kTileCount);
   for (int v = 1; v < kFirstScenery; v++) {
      BITMAP *b = Bitmap(d, v);
      bool left_end = v == 4 || v == 7, right_end = v == 5 || v == 8;
      int x1 = left_end ? kCorner : 0, x2 = right_end ? kLast - kCorner : kLast;
      EXPECT_EQ(Opaque(b, x1, 0, x2, 0), x2 - x1 + 1) << "top edge of tile " << v;
      bool platform = v >= 6 && v <= 8;
      if (!platform) {
         int open = kTileSize * kTileSize - Opaque(b, 0, 0, kLast, kLast);
         EXPECT_LE(open, v == 4 || v == 5 ? kCorner * kCorner / 2 : 0) << "holes in tile " << v;
      }
   }
   unload_datafile(d);
}

TEST_F(AssetFiles, SceneryAndItemsAreTransparentAroundTheirShapes)
{
   constexpr int kLast = kTileSize - 1;
   DATAFILE *d = Load("tiles.dat");
   ASSERT_NE(d, nullptr);
   ASSERT_GE(DatafileCount(d), kTileCount);
   for (int v = kFirstScenery; v < kTileCount; v++) {
      int opaque = Opaque(Bitmap(d, v), 0, 0, kLast, kLast);
      EXPECT_LT(opaque, kTileSize * kTileSize * 9 / 10) << "tile " << v;
   }
   unload_datafile(d);
}

TEST_F(AssetFiles, WalkFramesFaceRightStandOnTheirBottomRowAndMove)
{
   DATAFILE *d = Load("pwalk.dat");
   ASSERT_NE(d, nullptr);
   ASSERT_EQ(DatafileCount(d), kWalkFrames);
   for (int f = 0; f < kWalkFrames; f++) {
      BITMAP *b = Bitmap(d, f);
      ASSERT_NE(b, nullptr);
      ASSERT_EQ(b->w, kBodyW);
      ASSERT_EQ(b->h, kBodyH);
      EXPECT_TRUE(MatchesPainter(b, [f](BITMAP *p) { DrawPlayerFrame(p, f); })) << "frame " << f;
      EXPECT_GT(Opaque(b, 0, kBodyH - 1, kBodyW - 1, kBodyH - 1), 0) << "frame " << f << " floats";
      int left, right;
      EyeSides(b, &left, &right);
      EXPECT_GT(right, left) << "frame " << f << " does not look right";
      for (int g = 0; g < f; g++)
         EXPECT_FALSE(SamePixels(b, Bitmap(d, g))) << "frames " << g << " and " << f;
   }
   unload_datafile(d);
}

TEST_F(AssetFiles, EnemyHoldsEditorIconLeftFacingBodyAndValueTwoPicture)
{
   DATAFILE *d = Load("enemy.dat");
   ASSERT_NE(d, nullptr);
   ASSERT_EQ(DatafileCount(d), 3);
   BITMAP *icon = Bitmap(d, 0), *body = Bitmap(d, 1), *two = Bitmap(d, 2);
   ASSERT_TRUE(icon && body && two);
   EXPECT_EQ(icon->w, kIconSize);
   EXPECT_EQ(icon->h, kIconSize);
   EXPECT_EQ(body->w, kBodyW);
   EXPECT_EQ(body->h, kBodyH);
   EXPECT_EQ(two->w, kIconSize);
   EXPECT_EQ(two->h, kIconSize);
   EXPECT_TRUE(MatchesPainter(icon, DrawEnemyIcon));
   EXPECT_TRUE(MatchesPainter(body, DrawEnemyBody));
   EXPECT_TRUE(MatchesPainter(two, DrawEnemyMarker));
   EXPECT_GT(Opaque(body, 0, kBodyH - 1, kBodyW - 1, kBodyH - 1), 0) << "the enemy floats";
   int left, right;
   EyeSides(body, &left, &right);
   EXPECT_GT(left, right) << "the stored enemy must look left; the game mirrors it";
   // The editor shows an enemy start with the body's top 32 rows.
   EXPECT_GT(Opaque(body, 0, 0, kIconSize - 1, kIconSize - 1), kIconSize * kIconSize / 4);
   unload_datafile(d);
}

// "Life: 10" is printed in white from (0, 6) of the strip; what lies under
// and around it must be dark for it to read.
TEST_F(AssetFiles, BorderIsDarkWhereTheLifeCountIsPrinted)
{
   constexpr int kTextW = 10 * 8;   // room for "Life: 10" and a little more
   constexpr int kTextH = 8;
   constexpr int kMaxLuma = 16;     // of Allegro's 63
   DATAFILE *d = Load("pal.dat");
   ASSERT_NE(d, nullptr);
   const RGB *pal = static_cast<RGB *>(d[0].dat);   // the game shows the strip with this
   std::string path = RunDir() + "/border.bmp";
   BITMAP *b = load_bitmap(path.c_str(), nullptr);
   ASSERT_NE(b, nullptr);
   EXPECT_GE(b->w, kBorderW);
   EXPECT_GE(b->h, kBorderH);
   for (int y = kLifeTextRow; y < kLifeTextRow + kTextH; y++)
      for (int x = 0; x < kTextW; x++) {
         const RGB &c = pal[getpixel(b, x, y)];
         int luma = (c.r * 30 + c.g * 59 + c.b * 11) / 100;
         ASSERT_LE(luma, kMaxLuma) << "at " << x << "," << y;
      }
   destroy_bitmap(b);
   unload_datafile(d);
}

TEST_F(AssetFiles, PatchSetLoadsAsADatafile)
{
   DATAFILE *d = Load("patches.dat");
   ASSERT_NE(d, nullptr);
   EXPECT_GT(DatafileCount(d), 0);
   unload_datafile(d);
}

}  // namespace
