// levelc: turns a level's text into a map file and any map file back into
// text that compiles to the same bytes.
//
//   levelc compile in.txt out.dat
//   levelc decompile in.dat out.txt

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "levelsrc.h"
#include "mapfile.h"

static MapGrid level;

// Reads the whole file; a folder or a failing read is an error, not empty text.
static bool ReadText(const char *filename, std::string &text)
{
   FILE *f = fopen(filename, "rb");
   if (!f)
      return false;
   text.clear();
   char chunk[65536];
   size_t n;
   while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0)
      text.append(chunk, n);
   int read_error = ferror(f) ? (errno ? errno : EIO) : 0;
   fclose(f);
   errno = read_error;
   return read_error == 0;
}

// Writes beside the target first, so a failed write never leaves half a file.
static bool WriteText(const char *filename, const std::string &text)
{
   std::string temp = std::string(filename) + ".new";
   FILE *f = fopen(temp.c_str(), "wb");
   if (!f)
      return false;
   bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
   ok = (fclose(f) == 0) && ok;
   if (!ok || rename(temp.c_str(), filename) != 0) {
      remove(temp.c_str());
      return false;
   }
   return true;
}

static int Compile(const char *in, const char *out)
{
   std::string text;
   if (!ReadText(in, text)) {
      fprintf(stderr, "%s: cannot read the file: %s\n", in, strerror(errno));
      return 1;
   }
   LevelSourceError error;
   if (!ParseLevelSource(text, level, &error)) {
      fprintf(stderr, "%s:%d:%d: %s\n", in, error.line, error.column, error.message.c_str());
      return 1;
   }
   MapFileResult result = WriteMapFile(out, level);
   if (result != MAPFILE_OK) {
      fprintf(stderr, "%s: %s\n", out, MapFileMessage(result));
      return 1;
   }
   return 0;
}

static int Decompile(const char *in, const char *out)
{
   MapFileResult result = ReadMapFile(in, level);
   if (result != MAPFILE_OK) {
      fprintf(stderr, "%s: %s\n", in, MapFileMessage(result));
      return 1;
   }
   const char *base = strrchr(in, '/');
   std::string title = std::string("Level decompiled from ") + (base ? base + 1 : in);
   if (!WriteText(out, FormatLevelSource(level, title))) {
      fprintf(stderr, "%s: cannot write the file: %s\n", out, strerror(errno));
      return 1;
   }
   return 0;
}

int main(int argc, char **argv)
{
   if (argc != 4 || (strcmp(argv[1], "compile") != 0 && strcmp(argv[1], "decompile") != 0)) {
      fprintf(stderr, "usage: levelc compile in.txt out.dat\n"
                      "       levelc decompile in.dat out.txt\n");
      return 2;
   }
   if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
      fprintf(stderr, "levelc: cannot start Allegro\n");
      return 1;
   }
   if (strcmp(argv[1], "compile") == 0)
      return Compile(argv[2], argv[3]);
   return Decompile(argv[2], argv[3]);
}
