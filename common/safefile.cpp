#include "safefile.h"

#include "platform.h"

bool WriteFileSafely(const char *filename, const std::string &bytes)
{
   std::string target, temp;
   FileKeep keep;
   if (!ResolveFileLinks(filename, target) || !InspectTarget(target, keep))
      return false;
   int fd = CreateFileBeside(target, temp);
   if (fd < 0)
      return false;
   bool written = WriteAll(fd, bytes.data(), bytes.size());
   if (!FinishFile(fd, keep) || !written || !ReplaceWith(temp, target)) {
      RemoveFile(temp);
      return false;
   }
   return true;
}
