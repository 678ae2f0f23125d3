#include "pause.h"

#include "controls.h"
#include "draw.h"
#include "main.h"
#include "window.h"

constexpr int kPausedTextY = kViewHeightPx / 2;

// The last frame shown, with the word over it, at the centre of the view.
static void ShowPaused()
{
   blit(ShownFrame(), buffer, 0, 0, 0, 0, kScreenW, kScreenH);
   textout_centre_ex(buffer, font, "PAUSED", kScreenW / 2, kPausedTextY, makecol(255, 255, 255),
                     0);
   DrawAll();
}

bool PauseWhenAsked()
{
   if (!PausePressed())
      return true;
   ShowPaused();
   midi_pause();
   for (;;) {
      rest(kFrameRestMs);
      UpdateControls(false);
      if (key[KEY_ESC] || CloseRequested())
         return false;
      if (PausePressed())
         break;
   }
   midi_resume();
   return true;
}
