#include "draw.h"

#include "main.h"

// The layers the game shows, bottom first; enemy starts stay hidden.
static const int kDrawnLayers[] = { kGroundLayer, kBackgroundLayer, kItemLayer };

// Tiles of the view's three visible layers, masked so lower layers show through.
void DrawToBuffer()
{
   for (int layer : kDrawnLayers) {
      for (int r = 0; r < kViewRows; r++) {
         for (int c = 0; c < kViewCols; c++) {
            int v = MapValueAt(map, layer, xoffset + c, yoffset + r);
            if (v >= tilecount)
               continue;   // no picture for this value: leave the cell as it is
            masked_blit(static_cast<BITMAP *>(tiles[v].dat), buffer, 0, 0,
                        c * kTileSize, r * kTileSize, kTileSize, kTileSize);
         }
      }
   }
}

// Shows the finished frame and starts the next one blank.
void DrawAll()
{
   acquire_screen();
   blit(buffer, screen, 0, 0, 0, 0, kScreenW, kScreenH);
   release_screen();
   clear_bitmap(buffer);
}
