#include "packing.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

extern char **environ;

namespace {

// A palette object in a datafile: its type, then its size stored and
// unpacked (big-endian), then 256 entries of red, green, blue and a spare byte.
const unsigned char kPaletteHeader[] = {'P', 'A', 'L', ' ', 0, 0, 4, 0, 0, 0, 4, 0};
constexpr size_t kPaletteBytes = PAL_SIZE * 4;

// Runs a tool and waits for it; its chatter goes to the work folder's log.
// `extra_env` entries are added to the tool's environment.
bool Run(const PackTools &tools, const std::vector<std::string> &args,
         const std::vector<std::string> &extra_env = {})
{
   std::vector<char *> argv;
   for (const std::string &a : args)
      argv.push_back(const_cast<char *>(a.c_str()));
   argv.push_back(nullptr);
   std::vector<char *> envp;
   for (const std::string &e : extra_env)
      envp.push_back(const_cast<char *>(e.c_str()));
   for (char **e = environ; *e; e++)
      envp.push_back(*e);
   envp.push_back(nullptr);

   std::string log = tools.work_dir + "/tools.log";
   posix_spawn_file_actions_t actions;
   posix_spawn_file_actions_init(&actions);
   posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                    0644);
   pid_t pid;
   int err = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
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

// `dat` copies a palette with the spare byte of each entry left as whatever
// its memory held, so two builds would differ there. The byte is unused, and
// is made 0 in the one palette object the file must hold.
bool ClearPaletteSpareBytes(const std::string &file)
{
   FILE *f = std::fopen(file.c_str(), "r+b");
   if (!f)
      return false;
   std::vector<unsigned char> bytes;
   unsigned char chunk[4096];
   for (size_t n; (n = std::fread(chunk, 1, sizeof(chunk), f)) > 0;)
      bytes.insert(bytes.end(), chunk, chunk + n);
   auto find = [&bytes](std::vector<unsigned char>::iterator from) {
      return std::search(from, bytes.end(), std::begin(kPaletteHeader), std::end(kPaletteHeader));
   };
   auto header = find(bytes.begin());
   size_t start = header - bytes.begin() + sizeof(kPaletteHeader);
   bool one = header != bytes.end() && start + kPaletteBytes <= bytes.size() &&
              find(header + 1) == bytes.end();
   if (!one) {
      std::fclose(f);
      std::fprintf(stderr, "assetgen: %s does not hold one plain palette object\n", file.c_str());
      return false;
   }
   for (size_t i = 3; i < kPaletteBytes; i += 4)
      bytes[start + i] = 0;
   bool ok = std::fseek(f, (long)start, SEEK_SET) == 0 &&
             std::fwrite(&bytes[start], 1, kPaletteBytes, f) == kPaletteBytes;
   return (std::fclose(f) == 0) && ok;
}

// The time the patch set is stamped with, as faketime reads it (UTC).
std::string PatchSetTime(const PackTools &tools)
{
   time_t when = 0;
   const char *epoch = std::getenv("SOURCE_DATE_EPOCH");
   struct stat st;
   if (epoch && *epoch)
      when = (time_t)std::strtoll(epoch, nullptr, 10);
   else if (stat(tools.soundfont.c_str(), &st) == 0)
      when = st.st_mtime;
   struct tm utc;
   char text[32];
   if (!gmtime_r(&when, &utc) || std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &utc) == 0)
      return "1970-01-01 00:00:00";
   return text;
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
   return Run(tools, {tools.dat, "-a", "-t", "PAL", "-s1", out, bmp_file}) && ClearPaletteSpareBytes(out);
}

bool PackPatches(const PackTools &tools, const std::string &out, const std::string &midi_file)
{
   // pat2dat writes the time it ran into the set; it sees a fixed one, read
   // in UTC, so two builds give the same bytes.
   std::vector<std::string> args = {tools.faketime, "-f", PatchSetTime(tools),
                                    tools.pat2dat, "-o", out, tools.soundfont, midi_file};
   return Run(tools, args, {"TZ=UTC"});
}
