// Fuzzes the map reader with arbitrary file contents. Most inputs are given
// the packed-file signature, so that the decoder behind it is exercised too.
// The file lives in memory and is read through its /proc name, so a run
// leaves nothing on disk, not even when it stops at a crash.

#include "mapfile.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

static MapGrid map;

// Writes `size` bytes at offset `at` of the memory file.
static bool Fill(int fd, const void *data, size_t size, off_t at)
{
   return size == 0 || pwrite(fd, data, size, at) == (ssize_t)size;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
   static bool started = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
   static int fd = memfd_create("fuzz-map", 0);
   static std::string path = "/proc/self/fd/" + std::to_string(fd);
   if (!started || fd < 0)
      abort();

   off_t at = 0;
   if (ftruncate(fd, 0) != 0)
      abort();
   if (size > 0 && data[0] % 4 != 0) {
      if (!Fill(fd, "slh!", 4, 0))
         abort();
      at = 4;
   }
   if (size > 1 && !Fill(fd, data + 1, size - 1, at))
      abort();

   unsigned short before = map[1][2][3];
   MapFileResult result = ReadMapFile(path.c_str(), map);
   if (result != MAPFILE_OK && map[1][2][3] != before)
      abort();   // a failed read must not touch the map
   return 0;
}
