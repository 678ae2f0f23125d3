#ifndef PAINT_H
#define PAINT_H

// Pixel-art helpers shared by the tile and sprite painters: shaded
// shapes, bevels, outlines and a deterministic noise source.

#include <allegro.h>

#include "palette.h"

// A fixed-seed generator: the same build always draws the same pixels.
class Rng {
 public:
   explicit Rng(unsigned seed) : state_(seed) {}
   int Next(int n);   // 0 .. n - 1
 private:
   unsigned state_;
};

// 4 x 4 ordered-dither threshold of a pixel, 0 .. 15.
int Bayer(int x, int y);

// A filled ellipse lit from the upper left, shaded over ramp levels
// lo .. hi with ordered dithering between levels.
void ShadedEllipse(BITMAP *bmp, int cx, int cy, int rx, int ry, Ramp ramp, int lo, int hi);

// Lightens pixels whose upper or left neighbour is mask and darkens those
// whose lower or right neighbour is mask, inside the rectangle.
void Bevel(BITMAP *bmp, int x1, int y1, int x2, int y2);

// A raised rectangle: base fill, light top-left edge, dark bottom-right edge.
void RaisedRect(BITMAP *bmp, int x1, int y1, int x2, int y2, int base);

// Surrounds every opaque shape with a one-pixel line of `colour`.
void Outline(BITMAP *bmp, int colour);

// Scatters `count` single pixels of `colour` over opaque pixels of the rectangle.
void Speckle(BITMAP *bmp, Rng &rng, int x1, int y1, int x2, int y2, int count, int colour);

// Vertical dithered blend from level `top` to level `bottom` of a ramp over
// the rows y1 .. y2, only on pixels that are already opaque.
void GradeRows(BITMAP *bmp, int x1, int y1, int x2, int y2, Ramp ramp, int top, int bottom);

// Copies a horizontally mirrored picture of `src` into `dst` (same size).
void MirrorInto(BITMAP *src, BITMAP *dst);

#endif
