// levelc: turns a level's text into a map file and any map file back into
// text that compiles to the same bytes; does the same between map files and
// maps of the Tiled map editor, and writes the tilesets Tiled shows them with.
//
//   levelc compile in.txt out.dat
//   levelc decompile in.dat out.txt
//   levelc compile in.tmx out.dat
//   levelc decompile in.tmx out.txt
//   levelc export-tmx in.dat out.tmx     (tiles.tsx and enemies.tsx beside out.tmx)
//   levelc tilesets run-folder out-folder

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "levelsrc.h"
#include "mapfile.h"
#include "platform.h"
#include "readfile.h"
#include "safefile.h"
#include "tilesheet.h"
#include "tmx.h"

static MapGrid level;

// Reads the whole file; a folder, a device or a failing read is an error, not empty text.
static bool ReadText(const char *filename, std::string &text)
{
   std::string why;
   if (ReadRegularFile(filename, text, &why))
      return true;
   fprintf(stderr, "%s: cannot read the file: %s\n", filename, why.c_str());
   return false;
}

static int WriteMap(const char *out)
{
   MapFileResult result = WriteMapFile(out, level);
   if (result != MAPFILE_OK)
      fprintf(stderr, "%s: %s\n", out, MapFileMessage(result));
   return result == MAPFILE_OK ? 0 : 1;
}

static int Compile(const char *in, const char *out)
{
   std::string text;
   if (!ReadText(in, text))
      return 1;
   LevelSourceError error;
   if (!ParseLevelSource(text, level, &error)) {
      fprintf(stderr, "%s:%d:%d: %s\n", in, error.line, error.column, error.message.c_str());
      return 1;
   }
   return WriteMap(out);
}

static bool ReadMap(const char *in)
{
   MapFileResult result = ReadMapFile(in, level);
   if (result != MAPFILE_OK)
      fprintf(stderr, "%s: %s\n", in, MapFileMessage(result));
   return result == MAPFILE_OK;
}

// The level in memory as text, titled with the name of the file it came from.
static int WriteLevelText(const char *in, const char *out)
{
   const char *base = strrchr(in, '/');
   std::string title = std::string("Level decompiled from ") + (base ? base + 1 : in);
   if (!WriteFileSafely(out, FormatLevelSource(level, title))) {
      fprintf(stderr, "%s: cannot write the file: %s\n", out, WriteFailureReason().c_str());
      return 1;
   }
   return 0;
}

static int Decompile(const char *in, const char *out)
{
   return ReadMap(in) ? WriteLevelText(in, out) : 1;
}

static bool IsTmx(const char *filename)
{
   size_t n = strlen(filename);
   return n >= 4 && strcmp(filename + n - 4, ".tmx") == 0;
}

static std::string FolderOf(const char *filename)
{
   const char *slash = strrchr(filename, '/');
   return slash ? std::string(filename, slash - filename + (slash == filename)) : ".";
}

// Reads a Tiled map into `level`, saying what was ignored and why it failed.
static bool ReadTmx(const char *in)
{
   std::string text;
   if (!ReadText(in, text))
      return false;
   TmxMessage error;
   std::vector<TmxMessage> warnings;
   bool ok = ParseTmx(text, FolderOf(in), level, &error, &warnings);
   for (const TmxMessage &w : warnings)
      fprintf(stderr, "%s:%d: warning: %s\n", in, w.line, w.text.c_str());
   if (!ok)
      fprintf(stderr, "%s:%d: %s\n", in, error.line, error.text.c_str());
   return ok;
}

static int CompileTmx(const char *in, const char *out)
{
   if (!ReadTmx(in))
      return 1;
   return WriteMap(out);
}

static int DecompileTmx(const char *in, const char *out)
{
   return ReadTmx(in) ? WriteLevelText(in, out) : 1;
}

static int ExportTmx(const char *in, const char *out)
{
   if (!ReadMap(in))
      return 1;
   TilesetCounts counts;
   std::string error, text;
   if (!ReadTilesetCounts(FolderOf(out), &counts, &error)) {
      fprintf(stderr, "%s: %s (levelc tilesets writes the tilesets)\n", out, error.c_str());
      return 1;
   }
   if (!FormatTmx(level, counts, text, &error)) {
      fprintf(stderr, "%s: %s\n", in, error.c_str());
      return 1;
   }
   if (!WriteFileSafely(out, text)) {
      fprintf(stderr, "%s: cannot write the file: %s\n", out, WriteFailureReason().c_str());
      return 1;
   }
   return 0;
}

// One tileset: its sheet drawn from a datafile of the run folder, then the
// tileset file that shows Tiled the sheet.
static bool WriteTileset(const std::string &run, const std::string &dir, const char *datafile,
                         const char *name, const char *sheet, const char *tsx, const RGB *pal)
{
   std::string source = run + "/" + datafile;
   DATAFILE *data = load_datafile(source.c_str());
   int count = 0;
   while (data && data[count].type != DAT_END)
      count++;
   count--;   // object 0 is value 0, the empty cell
   if (count < 1) {
      fprintf(stderr, "%s: cannot load the pictures\n", source.c_str());
      return false;
   }
   int columns = SheetColumns(count);
   std::string png = dir + "/" + sheet, file = dir + "/" + tsx;
   bool ok = WriteTileSheet(png, data, pal, count, columns);
   if (!ok)
      fprintf(stderr, "%s: cannot write the picture\n", png.c_str());
   else if (!(ok = WriteFileSafely(file.c_str(), FormatTsx(name, sheet, count, columns))))
      fprintf(stderr, "%s: cannot write the file: %s\n", file.c_str(),
              WriteFailureReason().c_str());
   unload_datafile(data);
   return ok;
}

static int Tilesets(const char *run, const char *dir)
{
   std::string palname = std::string(run) + "/pal.dat";
   DATAFILE *pal = load_datafile(palname.c_str());
   if (!pal || pal[0].type != DAT_PALETTE) {
      fprintf(stderr, "%s: cannot load the palette\n", palname.c_str());
      return 1;
   }
   const RGB *palette = (const RGB *)pal[0].dat;
   bool ok = WriteTileset(run, dir, "tiles.dat", kTilesTileset, kTilesSheet, kTilesTsx, palette) &&
             WriteTileset(run, dir, "enemy.dat", kEnemiesTileset, kEnemiesSheet, kEnemiesTsx, palette);
   unload_datafile(pal);
   return ok ? 0 : 1;
}

int main(int argc, char **argv)
{
   static const char *const commands[] = {"compile", "decompile", "export-tmx", "tilesets"};
   bool known = false;
   for (const char *c : commands)
      known = known || (argc == 4 && strcmp(argv[1], c) == 0);
   if (!known) {
      fprintf(stderr, "usage: levelc compile in.txt|in.tmx out.dat\n"
                      "       levelc decompile in.dat|in.tmx out.txt\n"
                      "       levelc export-tmx in.dat out.tmx\n"
                      "       levelc tilesets run-folder out-folder\n");
      return 2;
   }
   if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
      fprintf(stderr, "levelc: cannot start Allegro\n");
      return 1;
   }
   KeepFileNamesAsGiven();
   if (strcmp(argv[1], "compile") == 0)
      return IsTmx(argv[2]) ? CompileTmx(argv[2], argv[3]) : Compile(argv[2], argv[3]);
   if (strcmp(argv[1], "decompile") == 0)
      return IsTmx(argv[2]) ? DecompileTmx(argv[2], argv[3]) : Decompile(argv[2], argv[3]);
   if (strcmp(argv[1], "export-tmx") == 0)
      return ExportTmx(argv[2], argv[3]);
   return Tilesets(argv[2], argv[3]);
}
