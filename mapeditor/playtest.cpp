#include "playtest.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "main.h"
#include "programname.h"

static const char kTempPattern[] = "/kelwyrm-playtest-XXXXXX";

// The installed editor plays in the installed game, the run folder's in ./game.
static std::string GameForThisEditor()
{
   char exe[4096];
   get_executable_name(exe, sizeof exe);
   return GameBesideEditor(exe);
}

static std::string TempFolder()
{
   const char *dir = getenv("TMPDIR");
   return dir && *dir ? dir : "/tmp";
}

static void ForgetKeys()
{
   for (int k = 0; k < KEY_MAX; k++)
      key[k] = 0;
}

PlayTestResult PlayTest()
{
   return PlayTestWith(GameForThisEditor().c_str());
}

PlayTestResult PlayTestWith(const char *game)
{
   if (access(game, X_OK) != 0) {
      allegro_message("Could not find the game to play the map: %s", game);
      return PLAYTEST_NO_GAME;
   }
   std::string name = TempFolder() + kTempPattern;
   int fd = mkstemp(&name[0]);
   MapFileResult written = MAPFILE_CANNOT_OPEN;
   if (fd >= 0) {
      close(fd);
      written = WriteMapFile(name.c_str(), map);
   }
   if (written != MAPFILE_OK) {
      if (fd >= 0)
         unlink(name.c_str());
      allegro_message("Could not write the map to play it in %s: %s", TempFolder().c_str(),
                      MapFileMessage(written));
      return PLAYTEST_WRITE_FAILED;
   }

   // The game starts with every signal at its default and none blocked,
   // whatever Allegro's threads did to the editor's.
   posix_spawnattr_t attr;
   posix_spawnattr_init(&attr);
   sigset_t none, all;
   sigemptyset(&none);
   sigfillset(&all);
   posix_spawnattr_setsigmask(&attr, &none);
   posix_spawnattr_setsigdefault(&attr, &all);
   posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
   char *argv[] = {const_cast<char *>(game), &name[0], nullptr};
   pid_t pid;
   int err = posix_spawn(&pid, game, nullptr, &attr, argv, environ);
   posix_spawnattr_destroy(&attr);
   if (err == 0) {
      int status;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
   }
   unlink(name.c_str());
   ForgetKeys();
   if (err != 0) {
      allegro_message("Could not start the game %s: %s", game, strerror(err));
      return PLAYTEST_NO_GAME;
   }
   return PLAYTEST_PLAYED;
}
