#include "readfile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool ReadRegularFile(const std::string &path, std::string &text, std::string *why)
{
   // Looked at before it is opened: opening a FIFO alone waits for a writer.
   struct stat st;
   if (stat(path.c_str(), &st) != 0) {
      *why = strerror(errno);
      return false;
   }
   if (!S_ISREG(st.st_mode)) {
      *why = S_ISDIR(st.st_mode) ? strerror(EISDIR) : "it is not a regular file";
      return false;
   }
   if ((unsigned long long)st.st_size > kReadLimit) {
      *why = "it is larger than " + std::to_string(kReadLimit >> 20) + " MB";
      return false;
   }
   FILE *f = fopen(path.c_str(), "rb");
   if (!f) {
      *why = strerror(errno);
      return false;
   }
   text.clear();
   char chunk[65536];
   size_t n;
   // The limit holds even for a file that grows while it is read.
   while (text.size() <= kReadLimit && (n = fread(chunk, 1, sizeof chunk, f)) > 0)
      text.append(chunk, n);
   int error = ferror(f) ? (errno ? errno : EIO) : 0;
   fclose(f);
   if (error)
      *why = strerror(error);
   else if (text.size() > kReadLimit)
      *why = "it is larger than " + std::to_string(kReadLimit >> 20) + " MB";
   return !error && text.size() <= kReadLimit;
}
