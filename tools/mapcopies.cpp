#include "mapcopies.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "main.h"
#include "platform.h"

static const char kFolderPattern[] = "/levelcheck-XXXXXX";

// Set before the handlers are installed: a handler only reads them.
static std::string folder;
static std::vector<std::string> copies;

void RemoveMapCopies()
{
   for (const std::string &file : copies)
      unlink(file.c_str());
   if (!folder.empty())
      rmdir(folder.c_str());
   copies.clear();
   folder.clear();
}

// unlink and rmdir are safe in a handler; the signal then ends the program
// as it would have.
static void OnSignal(int sig)
{
   for (const std::string &file : copies)
      unlink(file.c_str());
   rmdir(folder.c_str());
   signal(sig, SIG_DFL);
   raise(sig);
}

// An exit from inside the search (a map that cannot be read again) comes
// while the search stands in the folder, so its names are absolute.
static std::string Absolute(const std::string &path)
{
   char cwd[4096];
   if (path[0] == '/' || !getcwd(cwd, sizeof cwd))
      return path;
   return std::string(cwd) + "/" + path;
}

static bool CopyFile(const std::string &from, const std::string &to)
{
   FILE *in = fopen(from.c_str(), "rb");
   FILE *out = fopen(to.c_str(), "wb");
   char chunk[8192];
   size_t n;
   bool ok = in && out;
   while (ok && (n = fread(chunk, 1, sizeof chunk, in)) > 0)
      ok = fwrite(chunk, 1, n, out) == n;
   ok = ok && !ferror(in);
   if (in)
      fclose(in);
   if (out && fclose(out) != 0)
      ok = false;
   return ok;
}

std::string PlaceMapCopies(const std::vector<std::string> &maps)
{
   std::string pattern = Absolute(TempFolder() + kFolderPattern);
   if (!mkdtemp(&pattern[0])) {
      fprintf(stderr, "levelcheck: cannot make a temporary folder in %s: %s\n", TempFolder().c_str(),
              strerror(errno));
      exit(2);
   }
   std::vector<std::string> names;
   for (int i = 0; i < kLevelCount; i++)
      names.push_back(pattern + "/" + level[i]);
   copies = names;
   folder = pattern;
   static bool registered = false;
   if (!registered) {
      atexit(RemoveMapCopies);
      signal(SIGINT, OnSignal);
      signal(SIGTERM, OnSignal);
   }
   registered = true;
   for (int i = 0; i < kLevelCount; i++) {
      const std::string &from = maps[std::clamp(i - kFirstLevel, 0, (int)maps.size() - 1)];
      if (!CopyFile(from, names[i])) {
         fprintf(stderr, "levelcheck: cannot copy %s into %s: %s\n", from.c_str(), folder.c_str(),
                 strerror(errno));
         exit(2);
      }
   }
   return folder;
}
