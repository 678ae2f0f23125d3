// Reading the files a user names, on the systems with POSIX files (Linux,
// and the browser's file system): one piece of code for both.

#include "platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// Files named by a user: looked at before they are opened, so that a device
// is never opened at all (opening some has effects of its own), and opened
// without waiting, so that a FIFO put in the file's place meanwhile cannot
// block; what was opened must still be a regular file.
constexpr size_t kReadChunk = 4096;

static int OpenRegular(const std::string &path, RegularFile &result, std::string &error)
{
   struct stat st;
   int fd = -1;
   if (stat(path.c_str(), &st) == 0) {
      if (!S_ISREG(st.st_mode)) {
         result = REGULAR_NOT_A_FILE;
         return -1;
      }
      while ((fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) < 0 &&
             errno == EINTR) {
      }
   }
   if (fd < 0) {
      result = errno == ENOENT ? REGULAR_MISSING : REGULAR_UNREADABLE;
      error = strerror(errno);
      return -1;
   }
   if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(fd);
      result = REGULAR_NOT_A_FILE;
      return -1;
   }
   result = REGULAR_FILE;
   return fd;
}

RegularFile CheckRegularFile(const std::string &path, std::string &error)
{
   RegularFile result;
   int fd = OpenRegular(path, result, error);
   if (fd >= 0)
      close(fd);
   return result;
}

RegularFile ReadRegularFile(const std::string &path, size_t limit, std::string &bytes,
                            std::string &error)
{
   bytes.clear();
   RegularFile result;
   int fd = OpenRegular(path, result, error);
   if (fd < 0)
      return result;
   // One byte more than the limit tells a file that is too big, also one
   // whose size the system does not report (/proc) or that is still growing.
   char chunk[kReadChunk];
   while (bytes.size() <= limit) {
      size_t left = limit + 1 - bytes.size();
      size_t want = left < sizeof chunk ? left : sizeof chunk;
      ssize_t n = read(fd, chunk, want);
      if (n < 0 && errno == EINTR)
         continue;
      if (n < 0) {
         result = REGULAR_UNREADABLE;
         error = strerror(errno);
         break;
      }
      if (n == 0)
         break;
      bytes.append(chunk, (size_t)n);
   }
   close(fd);
   if (result == REGULAR_FILE && bytes.size() > limit)
      result = REGULAR_TOO_BIG;
   if (result != REGULAR_FILE)
      bytes.clear();
   return result;
}
