#include "replayfile.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <zlib.h>

#include "safefile.h"

static const char kVersionLine[] = "kelwyrm replay 1";
static const char kKeyLetters[] = "RLJCF";      // bit i of a pass is letter i
// Room for a map line whose name is all escapes.
constexpr size_t kLineBytes = 2048;
constexpr size_t kNameBytes = 255;
constexpr size_t kCrcDigits = 8;

bool FileChecksum(const char *file, unsigned long &crc)
{
   FILE *f = fopen(file, "rb");
   if (!f)
      return false;
   crc = crc32(0L, Z_NULL, 0);
   unsigned char chunk[8192];
   size_t n;
   while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
      crc = crc32(crc, chunk, (uInt)n);
   bool ok = !ferror(f);
   fclose(f);
   return ok;
}

static std::string KeyText(unsigned char keys)
{
   std::string s;
   for (int i = 0; i < kReplayKeyBits; i++)
      if (keys & (1 << i))
         s += kKeyLetters[i];
   return s.empty() ? "-" : s;
}

// A name with a space, a control byte or a leading quote is written in quotes
// with \" \\ and \xHH escapes, so any name reads back; others stay as they are.
static std::string NameField(const std::string &name)
{
   bool plain = !name.empty() && name[0] != '"';
   for (unsigned char c : name)
      plain = plain && c > ' ' && c != 0x7f;
   if (plain)
      return name;
   std::string out = "\"";
   for (unsigned char c : name) {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02x", c);
      if (c == '"' || c == '\\')
         out += '\\';
      out += c < ' ' || c == 0x7f ? std::string(hex) : std::string(1, (char)c);
   }
   return out + "\"";
}

static std::string FormatReplay(const Replay &r)
{
   std::string text = std::string(kVersionLine) + "\n";
   if (r.start)
      text += "start " + std::to_string(r.startcol) + " " + std::to_string(r.startrow) + "\n";
   char crc[16];
   for (const ReplayMap &m : r.maps) {
      snprintf(crc, sizeof crc, "%08lx", m.crc);
      text += "map " + NameField(m.name) + " " + crc + "\n";
   }
   text += "passes " + std::to_string(r.passes.size()) + "\n";
   for (size_t i = 0; i < r.passes.size();) {
      size_t run = 1;
      while (i + run < r.passes.size() && r.passes[i + run] == r.passes[i])
         run++;
      text += std::to_string(run) + " " + KeyText(r.passes[i]) + "\n";
      i += run;
   }
   return text + "end\n";
}

bool WriteReplayFile(const char *file, const Replay &r)
{
   return WriteFileSafely(file, FormatReplay(r));
}

static bool ParseKeys(const char *text, unsigned char &keys)
{
   keys = 0;
   if (strcmp(text, "-") == 0)
      return true;
   int last = -1;
   for (const char *c = text; *c; c++) {
      const char *at = strchr(kKeyLetters, *c);
      if (!at || at - kKeyLetters <= last)
         return false;              // unknown letter, repeated or out of order
      last = (int)(at - kKeyLetters);
      keys |= 1 << last;
   }
   return *text != 0;
}

// The decimal count `text`, all digits, or -1. A count above `most` reads as
// most + 1 however long it is, so none overflows.
static long ParseCount(const std::string &text, long most)
{
   if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
      return -1;
   long count = 0;
   for (char c : text) {
      count = count * 10 + (c - '0');
      if (count > most)
         return most + 1;
   }
   return count;
}

// The words of a line, split at spaces and tabs.
static std::vector<std::string> Words(const char *line)
{
   std::vector<std::string> words;
   for (const char *c = line; *c;) {
      size_t n = strcspn(c, " \t");
      if (n)
         words.emplace_back(c, n);
      c += n;
      c += strspn(c, " \t");
   }
   return words;
}

// "start COL ROW", a cell inside the map.
static bool ParseStartLine(const std::vector<std::string> &words, int &col, int &row)
{
   if (words.size() != 3 || words[0] != "start")
      return false;
   col = (int)ParseCount(words[1], kMapCols - 1);
   row = (int)ParseCount(words[2], kMapRows - 1);
   return col >= 0 && col < kMapCols && row >= 0 && row < kMapRows;
}

static int HexDigit(char c)
{
   return isdigit((unsigned char)c) ? c - '0' : isxdigit((unsigned char)c) ? tolower(c) - 'a' + 10 : -1;
}

// "map NAME CRC", NAME plain or in quotes as NameField writes it.
static bool ParseMapLine(const char *line, std::string &name, unsigned long &crc)
{
   if (strncmp(line, "map ", 4) != 0)
      return false;
   const char *c = line + 4 + strspn(line + 4, " \t");
   name.clear();
   if (*c != '"') {
      name.assign(c, strcspn(c, " \t"));
      c += name.size();
   } else {
      for (c++; *c != '"'; c++) {
         if (!*c)
            return false;
         if (*c != '\\')
            name += *c;
         else if (c[1] == '"' || c[1] == '\\')
            name += *++c;
         else if (c[1] == 'x' && HexDigit(c[2]) >= 0 && HexDigit(c[3]) >= 0)
            name += (char)(HexDigit(c[2]) * 16 + HexDigit(c[3])), c += 3;
         else
            return false;
      }
      c++;
   }
   std::vector<std::string> rest = Words(c);
   if (name.empty() || name.size() > kNameBytes || rest.size() != 1 || rest[0].size() > kCrcDigits)
      return false;
   crc = 0;
   for (char d : rest[0]) {
      if (HexDigit(d) < 0)
         return false;
      crc = crc * 16 + HexDigit(d);
   }
   return true;
}

std::string ReadReplayFile(const char *file, Replay &r)
{
   r = Replay{};
   FILE *f = fopen(file, "r");
   if (!f)
      return "the file cannot be read";
   char line[kLineBytes];
   std::string error;
   long declared = -1;
   bool ended = false;
   int number = 0;
   while (error.empty() && fgets(line, sizeof line, f)) {
      number++;
      line[strcspn(line, "\r\n")] = 0;
      std::string at = "line " + std::to_string(number);
      std::string name;
      unsigned long crc;
      std::vector<std::string> words = Words(line);
      if (ended)
         error = "text after its end";
      else if (number == 1) {
         if (strcmp(line, kVersionLine) != 0)
            error = "not a replay of this game's version (first line is not \"" +
                    std::string(kVersionLine) + "\")";
      } else if (number == 2 && ParseStartLine(words, r.startcol, r.startrow)) {
         r.start = true;
      } else if (declared < 0 && ParseMapLine(line, name, crc)) {
         if (r.maps.size() == (size_t)kReplayMaxMaps)
            error = at + ": more maps than the game's " + std::to_string(kReplayMaxMaps) + " levels";
         else
            r.maps.push_back({name, crc});
      } else if (declared < 0 && words.size() == 2 && words[0] == "passes" &&
                 ParseCount(words[1], kReplayMaxPasses) >= 0) {
         declared = ParseCount(words[1], kReplayMaxPasses);
         if (declared > kReplayMaxPasses)
            error = at + ": " + words[1] + " passes are more than a day of play (at most " +
                    std::to_string(kReplayMaxPasses) + ")";
      } else if (declared >= 0 && strcmp(line, "end") == 0) {
         ended = true;
      } else if (declared >= 0 && words.size() == 2 &&
                 ParseCount(words[0], declared) > 0 &&
                 ParseCount(words[0], declared) <= declared - (long)r.passes.size()) {
         unsigned char bits;
         if (!ParseKeys(words[1].c_str(), bits))
            error = at + ": unknown keys \"" + words[1] + "\"";
         else
            r.passes.insert(r.passes.end(), (size_t)ParseCount(words[0], declared), bits);
      } else {
         error = at + " is not understood: \"" + line + "\"";
      }
   }
   fclose(f);
   if (error.empty() && number == 0)
      error = "the file is empty";
   else if (error.empty() && (!ended || (long)r.passes.size() != declared))
      error = "the file is cut short";
   else if (error.empty() && r.maps.empty())
      error = "it names no map";
   return error;
}
