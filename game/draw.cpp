#include "draw.h"

#include "main.h"
#include "window.h"

// The layers the game shows, bottom first; enemy starts stay hidden.
static const int kDrawnLayers[] = { kGroundLayer, kBackgroundLayer, kItemLayer };

// How a tile picture lands in a masked blit. Most cells of the upper layers
// are wholly transparent and most ground tiles wholly opaque, so sorting the
// pictures once lets the frame skip the first and copy the second plainly,
// with exactly the pixels a masked blit would leave.
enum TileKind : unsigned char { TILE_NONE, TILE_OPAQUE, TILE_MASKED };

constexpr int kTileValues = 65536;    // every value a map cell can hold
static TileKind tilekind[kTileValues] = {};

static TileKind Classify(BITMAP *tile)
{
   if (tile->w < kTileSize || tile->h < kTileSize)
      return TILE_MASKED;             // odd sizes take the general path
   int mask = bitmap_mask_color(tile);
   int masked = 0;
   for (int y = 0; y < kTileSize; y++)
      for (int x = 0; x < kTileSize; x++)
         masked += getpixel(tile, x, y) == mask;
   if (masked == kTileSize * kTileSize)
      return TILE_NONE;
   return masked == 0 ? TILE_OPAQUE : TILE_MASKED;
}

void PrepareTiles()
{
   for (int v = 0; v < kTileValues; v++)
      tilekind[v] = v < tilecount ? Classify(static_cast<BITMAP *>(tiles[v].dat)) : TILE_NONE;
}

// Tiles of the view's three visible layers, masked so lower layers show through.
// A value with no picture in "tiles.dat" draws nothing, and so does a view
// cell past the map's edges: colour 0 shows there, whatever tile 0 looks like.
void DrawToBuffer()
{
   for (int layer : kDrawnLayers) {
      for (int r = 0; r < kViewRows; r++) {
         for (int c = 0; c < kViewCols; c++) {
            if (!MapCellInside(layer, xoffset + c, yoffset + r))
               continue;
            int v = map[layer][xoffset + c][yoffset + r];
            BITMAP *tile = static_cast<BITMAP *>(tiles[v < tilecount ? v : 0].dat);
            if (tilekind[v] == TILE_OPAQUE)
               blit(tile, buffer, 0, 0, c * kTileSize, r * kTileSize, kTileSize, kTileSize);
            else if (tilekind[v] == TILE_MASKED)
               masked_blit(tile, buffer, 0, 0, c * kTileSize, r * kTileSize, kTileSize, kTileSize);
         }
      }
   }
}

// Shows the finished frame and starts the next one blank.
void DrawAll()
{
   ShowFrame();
   clear_bitmap(buffer);
}
