// Fuzzes the settings reader with arbitrary file contents. Whatever the file
// holds, the reader must end, and what it leaves must be settings the game
// can start with. The file lives in memory and is read through its /proc
// name, so a run leaves nothing on disk.

#include "settings.h"

#include <allegro.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

static bool AKey(int scancode)
{
   return scancode > 0 && scancode < KEY_MAX && scancode != KEY_ESC;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
   static int fd = memfd_create("fuzz-settings", 0);
   static std::string path = "/proc/self/fd/" + std::to_string(fd);
   static FILE *errors = fopen("/dev/null", "w");
   if (fd < 0 || !errors || ftruncate(fd, 0) != 0 ||
       (size > 0 && pwrite(fd, data, size, 0) != (ssize_t)size))
      abort();

   GameOptions o;
   ReadSettings(path.c_str(), &o, errors);
   const ControlBindings &c = o.controls;
   for (int k : {c.left, c.right, c.jump, c.fire, c.pause})
      if (!AKey(k))
         abort();
   for (int k : {c.left, c.right, c.jump, c.fire, (int)KEY_LEFT, (int)KEY_RIGHT, (int)KEY_SPACE,
                 (int)KEY_LCONTROL})
      if (c.pause == k)
         abort();   // a pause that every step or jump would press
   for (int b : {c.padjump, c.padfire, c.padstart})
      if (b < 0 || b >= MAX_JOYSTICK_BUTTONS)
         abort();
   if (o.scale < 1 || o.scale > kMaxScale)
      abort();
   return 0;
}
