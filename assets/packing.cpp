#include "packing.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

extern char **environ;

namespace {

// Runs a tool and waits for it; its chatter goes to the work folder's log.
bool Run(const PackTools &tools, const std::vector<std::string> &args)
{
   std::vector<char *> argv;
   for (const std::string &a : args)
      argv.push_back(const_cast<char *>(a.c_str()));
   argv.push_back(nullptr);

   std::string log = tools.work_dir + "/tools.log";
   posix_spawn_file_actions_t actions;
   posix_spawn_file_actions_init(&actions);
   posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                    0644);
   pid_t pid;
   int err = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
   posix_spawn_file_actions_destroy(&actions);
   if (err != 0) {
      std::fprintf(stderr, "assetgen: cannot run %s\n", argv[0]);
      return false;
   }
   int status = 0;
   if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "assetgen: %s failed (see %s)\n", argv[0], log.c_str());
      return false;
   }
   return true;
}

// `dat -a` adds to an existing file, so every datafile is built from scratch.
void RemoveOld(const std::string &out)
{
   std::remove(out.c_str());
}

}  // namespace

std::vector<std::string> SaveNumbered(const PackTools &tools, const std::string &stem,
                                      const std::vector<BITMAP *> &bitmaps, const RGB *pal)
{
   std::vector<std::string> files;
   for (size_t i = 0; i < bitmaps.size(); i++) {
      char name[64];
      std::snprintf(name, sizeof(name), "%s%02zu.bmp", stem.c_str(), i);
      std::string path = tools.work_dir + "/" + name;
      if (save_bmp(path.c_str(), bitmaps[i], pal) != 0) {
         std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
         return {};
      }
      files.push_back(path);
   }
   return files;
}

bool PackBitmaps(const PackTools &tools, const std::string &out, const std::vector<std::string> &files)
{
   if (files.empty())
      return false;
   RemoveOld(out);
   // -n0 keeps the command-line order (object i = value i); -s1 leaves out
   // the hidden grabber-info object that load_datafile would count.
   std::vector<std::string> args = {tools.dat, "-a", "-t", "BMP", "-n0", "-s1", "-bpp", "8", out};
   args.insert(args.end(), files.begin(), files.end());
   return Run(tools, args);
}

bool PackPalette(const PackTools &tools, const std::string &out, const std::string &bmp_file)
{
   RemoveOld(out);
   return Run(tools, {tools.dat, "-a", "-t", "PAL", "-s1", out, bmp_file});
}

bool PackPatches(const PackTools &tools, const std::string &out, const std::string &midi_file)
{
   return Run(tools, {tools.pat2dat, "-o", out, tools.soundfont, midi_file});
}
