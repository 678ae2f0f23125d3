#include "playtest.h"

#include <string>
#include <vector>

#include "edit.h"
#include "gamesound.h"
#include "main.h"
#include "platform.h"
#include "programname.h"

static const char kNoSound[] = "--no-sound";
static const char kStart[] = "--start";
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

// `start` is the game's --start value, or "" for the map's usual start.
static PlayTestResult RunGame(const char *game, const std::string &start)
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
   if (!start.empty()) {
      args.push_back(kStart);
      args.push_back(start);
   }
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

PlayTestResult PlayTest()
{
   return PlayTestWith(GameBesideEditor().c_str());
}

PlayTestResult PlayFromHere()
{
   return PlayFromHereWith(GameBesideEditor().c_str(), mouse_x, mouse_y);
}

// The F7 key is still down after the message: forgetting it keeps the
// message from coming back on the next pass.
static PlayTestResult NoStart(const std::string &why)
{
   allegro_message("%s", why.c_str());
   ForgetKeys();
   return PLAYTEST_NO_START;
}

PlayTestResult PlayFromHereWith(const char *game, int mx, int my)
{
   int col = xoffset + mx / kTileSize;
   int row = yoffset + my / kTileSize;
   if (mx < 0 || my < 0 || mx > kViewMouseRight || my > kViewMouseBottom ||
       !MapCellInside(kGroundLayer, col, row))
      return NoStart("Put the mouse on a cell of the map to play from there");
   if (StartInGround(map, col, row))
      return NoStart("The player cannot start at column " + std::to_string(col) + ", row " +
                     std::to_string(row) + ": ground is in the way");
   return RunGame(game, std::to_string(col) + "," + std::to_string(row));
}

PlayTestResult PlayTestWith(const char *game)
{
   return RunGame(game, "");
}

