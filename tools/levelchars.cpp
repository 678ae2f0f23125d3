#include "levelchars.h"

bool IsReserved(char32_t c)
{
   return c == ' ' || c == '\t' || c == kCommentChar || c == kHeaderChar || c < ' ' || c == 0x7F;
}

void AppendUtf8(std::string &out, char32_t c)
{
   if (c < 0x80) {
      out += (char)c;
   } else if (c < 0x800) {
      out += (char)(0xC0 | (c >> 6));
      out += (char)(0x80 | (c & 0x3F));
   } else {
      out += (char)(0xE0 | (c >> 12));
      out += (char)(0x80 | ((c >> 6) & 0x3F));
      out += (char)(0x80 | (c & 0x3F));
   }
}

int DecodeUtf8(const std::string &line, std::vector<char32_t> &out)
{
   out.clear();
   size_t i = 0;
   while (i < line.size()) {
      unsigned char b = (unsigned char)line[i];
      int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
      if (extra < 0 || i + extra + 1 > line.size())
         return (int)out.size() + 1;
      char32_t c = extra == 0 ? b : (b & (0x3F >> extra));
      for (int k = 1; k <= extra; k++) {
         unsigned char cont = (unsigned char)line[i + k];
         if ((cont & 0xC0) != 0x80)
            return (int)out.size() + 1;
         c = (c << 6) | (cont & 0x3F);
      }
      out.push_back(c);
      i += extra + 1;
   }
   return 0;
}

std::string CharName(char32_t c)
{
   if (c == '\t')
      return "a tab";
   if (c < ' ' || c == 0x7F)
      return "control character " + std::to_string((unsigned)c);
   std::string s = "'";
   AppendUtf8(s, c);
   return s + "'";
}
