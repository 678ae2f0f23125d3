#ifndef PNGBYTES_H
#define PNGBYTES_H

// A picture as the bytes of a PNG file, so that it goes to disk through the
// one safe writer like every other file the tools write.

#include <allegro.h>

#include <string>

// An 8-bit picture becomes a paletted PNG (index 0 stays index 0), a 32-bit
// one an RGBA PNG with the picture's alpha.
bool PngBytes(BITMAP *picture, const RGB *pal, std::string &out);

#endif
