#include "layerbytes.h"

#include <zlib.h>

#include <cctype>
#include <cstring>

static int Base64Digit(char c)
{
   if (c >= 'A' && c <= 'Z')
      return c - 'A';
   if (c >= 'a' && c <= 'z')
      return c - 'a' + 26;
   if (c >= '0' && c <= '9')
      return c - '0' + 52;
   return c == '+' ? 62 : c == '/' ? 63 : -1;
}

bool DecodeBase64(const char *s, std::vector<unsigned char> &out)
{
   unsigned bits = 0, held = 0;
   bool padded = false;
   for (; *s; s++) {
      if (isspace((unsigned char)*s))
         continue;
      if (*s == '=') {
         padded = true;
         continue;
      }
      int d = Base64Digit(*s);
      if (d < 0 || padded)
         return false;
      bits = ((bits << 6) | (unsigned)d) & 0xFFFFFF;
      held += 6;
      if (held >= 8) {
         held -= 8;
         out.push_back((unsigned char)(bits >> held));
      }
   }
   return true;
}

// Inflates into at most `limit` bytes; a stream that would give more is
// not a level layer, so it is refused rather than grown without end.
bool Inflate(const std::vector<unsigned char> &in, int window_bits, size_t limit,
                    std::vector<unsigned char> &out)
{
   z_stream z;
   memset(&z, 0, sizeof(z));
   if (inflateInit2(&z, window_bits) != Z_OK)
      return false;
   out.resize(limit + 1);
   z.next_in = const_cast<Bytef *>(in.data());
   z.avail_in = (uInt)in.size();
   z.next_out = out.data();
   z.avail_out = (uInt)out.size();
   int status = inflate(&z, Z_FINISH);
   out.resize(out.size() - z.avail_out);
   inflateEnd(&z);
   return status == Z_STREAM_END && out.size() <= limit;
}
