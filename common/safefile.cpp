#include "safefile.h"

#include "platform.h"

#include <cerrno>
#include <cstring>

// What the last write that failed found first, for its message: the later
// clean-up must not put its own errno (or none) in the reason's place.
static int failure = 0;
static bool notafile = false;

static bool Fail(int err, bool special)
{
   failure = err;
   notafile = special;
   errno = err;
   return false;
}

bool WriteFileSafely(const char *filename, const std::string &bytes)
{
   std::string target, temp;
   FileKeep keep;
   if (!ResolveFileLinks(filename, target) || !InspectTarget(target, keep))
      return Fail(errno, keep.exists && !keep.regular);
   int fd = CreateFileBeside(target, temp);
   if (fd < 0)
      return Fail(errno, false);
   // The file is closed whatever happened; the first failure is the reason.
   int err = 0;
   if (!WriteAll(fd, bytes.data(), bytes.size()))
      err = errno;
   if (!FinishFile(fd, keep) && err == 0)
      err = errno;
   if (err == 0 && !ReplaceWith(temp, target))
      err = errno;
   if (err != 0) {
      RemoveFile(temp);
      return Fail(err, false);
   }
   return true;
}

std::string WriteFailureReason()
{
   if (notafile && failure != EISDIR)
      return "Not a regular file";
   return strerror(failure);
}
