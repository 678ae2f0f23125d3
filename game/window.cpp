#include "window.h"

#include <algorithm>

#include "main.h"
#include "windowicon.h"

// Drawn by the asset generator at build time.
#include "kelwyrm.xpm"

// Scaled windows keep a copy of the frame shown, at 320 x 240: that
// is what Print Screen saves. Null at scale 1, where the screen is the frame.
static BITMAP *shown = nullptr;
static int scale = 1;
static int originx = 0;
static int originy = 0;

void NameWindow()
{
   SetWindowIcon(kelwyrm_xpm, "kelwyrm", "Kelwyrm");
}

bool OpenWindow()
{
   if (options.fullscreen) {
      int w = 0, h = 0;
      if (get_desktop_resolution(&w, &h) != 0 || w < kScreenW || h < kScreenH) {
         w = kScreenW;
         h = kScreenH;
      }
      if (set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, w, h, 0, 0) != 0)
         return false;
      scale = std::max(1, std::min(SCREEN_W / kScreenW, SCREEN_H / kScreenH));
      originx = (SCREEN_W - kScreenW * scale) / 2;
      originy = (SCREEN_H - kScreenH * scale) / 2;
   } else {
      scale = options.scale;
      if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, kScreenW * scale, kScreenH * scale, 0, 0) != 0)
         return false;
   }
   if (scale > 1 || options.fullscreen) {
      shown = create_bitmap(kScreenW, kScreenH);
      if (!shown)
         return false;
      clear_bitmap(shown);
   }
   return true;
}

void ShowFrame()
{
   if (!shown) {
      acquire_screen();
      blit(buffer, screen, 0, 0, 0, 0, kScreenW, kScreenH);
      release_screen();
      return;
   }
   blit(buffer, shown, 0, 0, 0, 0, kScreenW, kScreenH);
   acquire_screen();
   stretch_blit(shown, screen, 0, 0, kScreenW, kScreenH, originx, originy, kScreenW * scale,
                kScreenH * scale);
   release_screen();
}

BITMAP *ShownFrame()
{
   return shown ? shown : screen;
}
