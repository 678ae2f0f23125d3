#include "closebutton.h"

#include <allegro.h>

static volatile int close_requested = 0;

// Runs on Allegro's background thread: only raise the flag.
static void OnCloseButton()
{
   close_requested = 1;
}

void InstallCloseButton()
{
   set_close_button_callback(OnCloseButton);
}

int CloseRequested()
{
   return close_requested;
}
