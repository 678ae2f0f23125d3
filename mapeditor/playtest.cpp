#include "playtest.h"

#include <string>
#include <vector>

#include "gamesound.h"
#include "main.h"
#include "platform.h"
#include "programname.h"

static const char kNoSound[] = "--no-sound";
static constexpr int kExeNameSize = 4096;

// The installed editor plays in the installed game, the run folder's in game.
static std::string GameBesideEditor()
{
   char exe[kExeNameSize];
   get_executable_name(exe, sizeof exe);
   std::string folder = ProgramFolder();
   return (folder.empty() ? std::string(".") : folder) + "/" + GameNameForEditor(ProgramName(exe)) +
          ProgramSuffix();
}

static void ForgetKeys()
{
   for (int k = 0; k < KEY_MAX; k++)
      key[k] = 0;
}

// The game would stop at its start with a message where sound cannot play,
// so the editor tries it first, as the game will, and lets it go again.
static bool SoundPlays()
{
   bool plays = StartGameSound();
   remove_sound();
   return plays;
}

PlayTestResult PlayTest()
{
   return PlayTestWith(GameBesideEditor().c_str());
}

PlayTestResult PlayTestWith(const char *game)
{
   if (!IsProgram(game)) {
      allegro_message("Could not find the game to play the map: %s", game);
      return PLAYTEST_NO_GAME;
   }
   std::string bytes, path;
   int fd = PackMapFile(map, bytes) ? CreateChildFile(path) : -1;
   if (fd < 0 || !WriteAll(fd, bytes.data(), bytes.size())) {
      if (fd >= 0)
         ReleaseChildFile(fd, path);
      allegro_message("Could not write the map to play it in %s: %s", TempFolder().c_str(),
                      MapFileMessage(MAPFILE_WRITE_FAILED));
      return PLAYTEST_WRITE_FAILED;
   }

   std::vector<std::string> args;
   if (nosound || !SoundPlays())
      args.push_back(kNoSound);
   args.push_back(path);
   std::string error;
   int status = RunAndWait(game, args, error);
   ReleaseChildFile(fd, path);
   ForgetKeys();
   if (status < 0) {
      allegro_message("Could not start the game %s: %s", game, error.c_str());
      return PLAYTEST_NO_GAME;
   }
   if (status != 0) {
      allegro_message("The game ended with an error (status %s)", error.c_str());
      return PLAYTEST_GAME_FAILED;
   }
   return PLAYTEST_PLAYED;
}
