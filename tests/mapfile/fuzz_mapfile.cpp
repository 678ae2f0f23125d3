// Fuzzes the map reader with arbitrary file contents. Most inputs are given
// the packed-file signature, so that the decoder behind it is exercised too.

#include "mapfile.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

static MapGrid map;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
   static bool started = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
   static std::string path = "/tmp/fuzz-map-" + std::to_string(getpid()) + ".dat";
   if (!started)
      abort();

   FILE *f = fopen(path.c_str(), "wb");
   if (!f)
      return 0;
   if (size > 0 && data[0] % 4 != 0)
      fwrite("slh!", 1, 4, f);
   if (size > 1)
      fwrite(data + 1, 1, size - 1, f);
   fclose(f);

   unsigned short before = map[1][2][3];
   MapFileResult result = ReadMapFile(path.c_str(), map);
   if (result != MAPFILE_OK && map[1][2][3] != before)
      abort();   // a failed read must not touch the map
   return 0;
}
