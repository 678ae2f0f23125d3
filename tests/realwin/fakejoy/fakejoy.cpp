// A stand-in for a Linux joystick device, preloaded into a program under
// test: this machine's kernel has neither joydev nor uinput. Opening
// /dev/input/js0 opens instead the FIFO named by FAKEJOY_FIFO, whose writer
// (the test) sends struct js_event records; the three questions Allegro's
// driver asks of the device are answered with FAKEJOY_AXES axes and
// FAKEJOY_BUTTONS buttons. Everything else goes to the C library.

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/joystick.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

static const char kDevice[] = "/dev/input/js0";
constexpr int kDriverVersion = 0x020100;
constexpr int kDefaultAxes = 8;
constexpr int kDefaultButtons = 11;

static int faked = -1;   // the descriptor that stands for the device

static int Count(const char *variable, int fallback)
{
   const char *text = getenv(variable);
   return text ? atoi(text) : fallback;
}

using OpenFn = int (*)(const char *, int, ...);

static int OpenWith(const char *name, const char *path, int flags, va_list args)
{
   static OpenFn real[2] = {};
   int which = strcmp(name, "open") == 0 ? 0 : 1;
   if (!real[which])
      real[which] = reinterpret_cast<OpenFn>(dlsym(RTLD_NEXT, name));
   int mode = (flags & O_CREAT) ? va_arg(args, int) : 0;
   const char *fifo = getenv("FAKEJOY_FIFO");
   if (fifo && path && strcmp(path, kDevice) == 0) {
      faked = real[which](fifo, flags, mode);
      return faked;
   }
   return real[which](path, flags, mode);
}

extern "C" int open(const char *path, int flags, ...)
{
   va_list args;
   va_start(args, flags);
   int fd = OpenWith("open", path, flags, args);
   va_end(args);
   return fd;
}

extern "C" int open64(const char *path, int flags, ...)
{
   va_list args;
   va_start(args, flags);
   int fd = OpenWith("open64", path, flags, args);
   va_end(args);
   return fd;
}

extern "C" int ioctl(int fd, unsigned long request, ...)
{
   va_list args;
   va_start(args, request);
   void *arg = va_arg(args, void *);
   va_end(args);
   if (fd >= 0 && fd == faked) {
      if (request == JSIOCGVERSION) {
         *static_cast<int *>(arg) = kDriverVersion;
         return 0;
      }
      if (request == JSIOCGAXES) {
         *static_cast<unsigned char *>(arg) = Count("FAKEJOY_AXES", kDefaultAxes);
         return 0;
      }
      if (request == JSIOCGBUTTONS) {
         *static_cast<unsigned char *>(arg) = Count("FAKEJOY_BUTTONS", kDefaultButtons);
         return 0;
      }
   }
   using IoctlFn = int (*)(int, unsigned long, void *);
   static IoctlFn real = reinterpret_cast<IoctlFn>(dlsym(RTLD_NEXT, "ioctl"));
   return real(fd, request, arg);
}
