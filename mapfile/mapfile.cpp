#include "mapfile.h"

#include <allegro.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

// As many links as the kernel itself follows, so a loop of links ends.
constexpr int kMaxLinkHops = 40;
constexpr mode_t kPermissionBits = 07777;

static unsigned short scratch[kMapLayers][kMapCols][kMapRows];

// Reads every value in file order into out; stops at the first missing one.
static MapFileResult ReadValues(PACKFILE *f, MapGrid out)
{
   for (int layer = 0; layer < kMapLayers; layer++)
      for (int row = 0; row < kMapRows; row++)
         for (int col = 0; col < kMapCols; col++) {
            long v = pack_igetl(f);
            if (v == EOF)   // the value is not sign-extended, so EOF only means "no more data"
               return MAPFILE_SHORT;
            out[layer][col][row] = (unsigned short)(v & 0xFFFF);
         }
   return MAPFILE_OK;
}

static bool FileReadable(const char *filename)
{
   FILE *f = fopen(filename, "rb");
   if (!f)
      return false;
   fclose(f);
   return true;
}

MapFileResult ReadMapFile(const char *filename, MapGrid dest)
{
   if (!FileReadable(filename))
      return MAPFILE_CANNOT_OPEN;
   PACKFILE *f = pack_fopen(filename, "rp");
   if (!f)
      return MAPFILE_NOT_PACKED;
   MapFileResult result = ReadValues(f, scratch);
   pack_fclose(f);
   if (result == MAPFILE_OK)
      memcpy(dest, scratch, sizeof(scratch));
   return result;
}

static bool WriteValues(const char *filename, const MapGrid src)
{
   PACKFILE *f = pack_fopen(filename, "wp");
   if (!f)
      return false;
   for (int layer = 0; layer < kMapLayers; layer++)
      for (int row = 0; row < kMapRows; row++)
         for (int col = 0; col < kMapCols; col++)
            // Writing again after a failed write can crash inside Allegro.
            if (pack_iputl((long)src[layer][col][row], f) == EOF) {
               pack_fclose(f);
               return false;
            }
   return pack_fclose(f) == 0;
}

// The final flush of a packed file can fail silently, so the file is trusted
// only once it reads back as what was meant to be written.
static bool ReadsBackAs(const char *filename, const MapGrid expected)
{
   PACKFILE *f = pack_fopen(filename, "rp");
   if (!f)
      return false;
   MapFileResult result = ReadValues(f, scratch);
   pack_fclose(f);
   return result == MAPFILE_OK && memcmp(scratch, expected, sizeof(scratch)) == 0;
}

// The file a save must replace: the end of a chain of symbolic links, so that
// a link to a level kept elsewhere stays a link and its target gets the map.
// A chain that ends in a missing file names the file to make.
static bool FollowLinks(const char *filename, std::string &target)
{
   target = filename;
   for (int hop = 0; hop < kMaxLinkHops; hop++) {
      struct stat st;
      if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
         return true;
      char link[PATH_MAX];
      ssize_t n = readlink(target.c_str(), link, sizeof(link) - 1);
      if (n <= 0)
         return false;
      std::string next(link, (size_t)n);
      size_t slash = target.rfind('/');
      // A relative link is relative to the folder the link is in.
      if (next[0] != '/' && slash != std::string::npos)
         next = target.substr(0, slash + 1) + next;
      target = next;
   }
   return false;
}

static std::string FolderOf(const std::string &path)
{
   size_t slash = path.rfind('/');
   if (slash == std::string::npos)
      return ".";
   return slash == 0 ? "/" : path.substr(0, slash);
}

// fsync of something that cannot be synced (EINVAL) has nothing to lose.
static bool SyncDescriptor(int fd)
{
   return fsync(fd) == 0 || errno == EINVAL;
}

// Gives the new file the old one's owner (where allowed) and permission bits,
// then puts it on disk, so the rename never publishes a file that a power
// cut could still empty.
static bool SyncNewFile(const std::string &temp, const struct stat *old)
{
   int fd = open(temp.c_str(), O_RDONLY);
   if (fd < 0)
      return false;
   bool ok = true;
   if (old) {
      // Only root may give a file away; anyone else keeps the file as theirs.
      ok = fchown(fd, old->st_uid, old->st_gid) == 0 || errno == EPERM;
      ok = ok && fchmod(fd, old->st_mode & kPermissionBits) == 0;
   }
   ok = ok && SyncDescriptor(fd);
   return close(fd) == 0 && ok;
}

// The rename is only durable once the folder that holds the name is synced.
static bool SyncFolder(const std::string &folder)
{
   int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
   if (fd < 0)
      return false;
   bool ok = SyncDescriptor(fd);
   return close(fd) == 0 && ok;
}

MapFileResult WriteMapFile(const char *filename, const MapGrid src)
{
   std::string target;
   if (!FollowLinks(filename, target))
      return MAPFILE_WRITE_FAILED;
   struct stat old;
   bool replacing = stat(target.c_str(), &old) == 0;
   // A rename needs only the folder's permission; a file the user may not
   // write is refused, as writing it in place would be.
   if (replacing && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
      return MAPFILE_WRITE_FAILED;
   std::string temp = target + ".new";
   if (!WriteValues(temp.c_str(), src) || !ReadsBackAs(temp.c_str(), src) ||
       !SyncNewFile(temp, replacing ? &old : nullptr) || rename(temp.c_str(), target.c_str()) != 0) {
      remove(temp.c_str());
      return MAPFILE_WRITE_FAILED;
   }
   return SyncFolder(FolderOf(target)) ? MAPFILE_OK : MAPFILE_WRITE_FAILED;
}

const char *MapFileMessage(MapFileResult result)
{
   switch (result) {
      case MAPFILE_OK:           return "ok";
      case MAPFILE_CANNOT_OPEN:  return "cannot open the file";
      case MAPFILE_NOT_PACKED:   return "not a packed map file";
      case MAPFILE_SHORT:        return "the file holds fewer than 40000 values";
      case MAPFILE_WRITE_FAILED: return "the file could not be written";
   }
   return "unknown error";
}
