#include "levelchars.h"

#include <cstdio>

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
   } else if (c < 0x10000) {
      out += (char)(0xE0 | (c >> 12));
      out += (char)(0x80 | ((c >> 6) & 0x3F));
      out += (char)(0x80 | (c & 0x3F));
   } else {
      out += (char)(0xF0 | (c >> 18));
      out += (char)(0x80 | ((c >> 12) & 0x3F));
      out += (char)(0x80 | ((c >> 6) & 0x3F));
      out += (char)(0x80 | (c & 0x3F));
   }
}

// Decodes the character at text[i]; returns its length in bytes, or 0 when
// the bytes there are not UTF-8. Over-long forms are refused, or ';' could
// hide as two bytes and end a row unseen; so are surrogates and values past
// the last code point, which no UTF-8 text holds.
static int DecodeOne(const std::string &text, size_t i, char32_t &c)
{
   static const char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
   unsigned char b = (unsigned char)text[i];
   int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
   if (extra < 0 || i + extra + 1 > text.size())
      return 0;
   c = extra == 0 ? b : (b & (0x3F >> extra));
   for (int k = 1; k <= extra; k++) {
      unsigned char cont = (unsigned char)text[i + k];
      if ((cont & 0xC0) != 0x80)
         return 0;
      c = (c << 6) | (cont & 0x3F);
   }
   if (c < kSmallest[extra] || (c >= kFirstSurrogate && c < kAfterSurrogates) || c > kLastCodePoint)
      return 0;
   return extra + 1;
}

int DecodeUtf8(const std::string &line, std::vector<char32_t> &out)
{
   out.clear();
   char32_t c;
   for (size_t i = 0; i < line.size();) {
      int length = DecodeOne(line, i, c);
      if (length == 0)
         return (int)out.size() + 1;
      out.push_back(c);
      i += length;
   }
   return 0;
}

std::string CommentText(const std::string &raw)
{
   std::string out;
   char32_t c;
   for (size_t i = 0; i < raw.size();) {
      int length = DecodeOne(raw, i, c);
      if (length == 0 || c < ' ' || c == 0x7F) {
         char escaped[8];
         snprintf(escaped, sizeof(escaped), "\\x%02X", (unsigned char)raw[i]);
         out += escaped;
         i++;
      } else if (c == '\\') {
         out += "\\\\";
         i++;
      } else {
         out.append(raw, i, length);
         i += length;
      }
   }
   return out;
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
