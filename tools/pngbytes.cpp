#include "pngbytes.h"

#include <png.h>

#include <vector>

constexpr int kPaletteSize = 256;

static void AppendToString(png_structp png, png_bytep data, png_size_t length)
{
   static_cast<std::string *>(png_get_io_ptr(png))->append(reinterpret_cast<char *>(data), length);
}

static void NoFlush(png_structp) {}

// One row of the picture in the PNG's own layout.
static void FillRow(BITMAP *picture, int y, std::vector<png_byte> &row)
{
   int depth = bitmap_color_depth(picture);
   for (int x = 0; x < picture->w; x++) {
      int c = getpixel(picture, x, y);
      if (depth == 8) {
         row[x] = (png_byte)c;
         continue;
      }
      png_byte *px = &row[4 * x];
      px[0] = (png_byte)getr32(c);
      px[1] = (png_byte)getg32(c);
      px[2] = (png_byte)getb32(c);
      px[3] = (png_byte)geta32(c);
   }
}

bool PngBytes(BITMAP *picture, const RGB *pal, std::string &out)
{
   int depth = bitmap_color_depth(picture);
   if (depth != 8 && depth != 32)
      return false;
   png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
   png_infop info = png ? png_create_info_struct(png) : nullptr;
   if (!info) {
      png_destroy_write_struct(&png, nullptr);
      return false;
   }
   out.clear();
   std::vector<png_byte> row((size_t)picture->w * (depth == 8 ? 1 : 4));
   if (setjmp(png_jmpbuf(png))) {
      png_destroy_write_struct(&png, &info);
      return false;
   }
   png_set_write_fn(png, &out, AppendToString, NoFlush);
   png_set_IHDR(png, info, picture->w, picture->h, 8,
                depth == 8 ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
   if (depth == 8) {
      png_color colours[kPaletteSize];
      for (int i = 0; i < kPaletteSize; i++)
         colours[i] = {(png_byte)_rgb_scale_6[pal[i].r], (png_byte)_rgb_scale_6[pal[i].g],
                       (png_byte)_rgb_scale_6[pal[i].b]};
      png_set_PLTE(png, info, colours, kPaletteSize);
   }
   png_write_info(png, info);
   for (int y = 0; y < picture->h; y++) {
      FillRow(picture, y, row);
      png_write_row(png, row.data());
   }
   png_write_end(png, info);
   png_destroy_write_struct(&png, &info);
   return true;
}
