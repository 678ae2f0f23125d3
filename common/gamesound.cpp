#include "gamesound.h"

#include <allegro.h>
#include <unistd.h>

#include <string>

#include "datafolder.h"
#include "platform.h"

// Allegro looks for the MIDI patch set beside the executable and in its own
// folders only; show it the one found with the other data, unless the
// player's allegro.cfg names a patch set of its own.
static void ShowAllegroThePatches()
{
   if (get_config_string("sound", "patches", nullptr))
      return;
   std::string path = FindDataFile("patches.dat");
   if (path.find('/') == std::string::npos) {
      char cwd[1024];
      if (!getcwd(cwd, sizeof cwd) || !exists(path.c_str()))
         return;
      path = std::string(cwd) + "/" + path;
   }
   std::string config = "[sound]\npatches = " + path + "\n";
   override_config_data(config.c_str(), config.size());
}

bool StartGameSound()
{
   ShowAllegroThePatches();
   return install_sound(DIGI_AUTODETECT, GameMidiDriver(), nullptr) >= 0;
}
