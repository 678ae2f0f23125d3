// Fuzzes the settings reader: whatever the file holds, reading ends and
// leaves settings the game can start with. The file lives in memory.

#include "settings.h"

#include <allegro.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
   static int fd = memfd_create("fuzz-settings", 0);
   static std::string path = "/proc/self/fd/" + std::to_string(fd);
   static FILE *errors = fopen("/dev/null", "w");
   if (fd < 0 || !errors || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != (ssize_t)size)
      abort();
   GameOptions o;
   ReadSettings(path.c_str(), &o, errors);
   const ControlBindings &c = o.controls;
   bool ok = o.scale >= 1 && o.scale <= kMaxScale;
   for (int k : {c.left, c.right, c.jump, c.fire})
      ok = ok && k > 0 && k < KEY_MAX && k != c.pause;
   for (int k : {(int)KEY_LEFT, (int)KEY_RIGHT, (int)KEY_SPACE, (int)KEY_LCONTROL, 0})
      ok = ok && c.pause != k;   // a pause that steps or jumps would press
   for (int b : {c.padjump, c.padfire, c.padstart})
      ok = ok && b >= 0 && b < MAX_JOYSTICK_BUTTONS;
   if (!ok)
      abort();
   return 0;
}
