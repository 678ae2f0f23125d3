#include "mapfile.h"

#include <allegro.h>
#include <cstdio>
#include <cstring>
#include <string>

static unsigned short scratch[kMapLayers][kMapCols][kMapRows];

// Reads every value in file order into out; stops at the first missing one.
static MapFileResult ReadValues(PACKFILE *f, MapGrid out)
{
   for (int layer = 0; layer < kMapLayers; layer++)
      for (int row = 0; row < kMapRows; row++)
         for (int col = 0; col < kMapCols; col++) {
            long v = pack_igetl(f);
            if (v == EOF)   // the value is not sign-extended, so EOF only means "no more data"
               return MAPFILE_SHORT;
            out[layer][col][row] = (unsigned short)(v & 0xFFFF);
         }
   return MAPFILE_OK;
}

static bool FileReadable(const char *filename)
{
   FILE *f = fopen(filename, "rb");
   if (!f)
      return false;
   fclose(f);
   return true;
}

MapFileResult ReadMapFile(const char *filename, MapGrid dest)
{
   if (!FileReadable(filename))
      return MAPFILE_CANNOT_OPEN;
   PACKFILE *f = pack_fopen(filename, "rp");
   if (!f)
      return MAPFILE_NOT_PACKED;
   MapFileResult result = ReadValues(f, scratch);
   pack_fclose(f);
   if (result == MAPFILE_OK)
      memcpy(dest, scratch, sizeof(scratch));
   return result;
}

static bool WriteValues(const char *filename, const MapGrid src)
{
   PACKFILE *f = pack_fopen(filename, "wp");
   if (!f)
      return false;
   for (int layer = 0; layer < kMapLayers; layer++)
      for (int row = 0; row < kMapRows; row++)
         for (int col = 0; col < kMapCols; col++)
            // Writing again after a failed write can crash inside Allegro.
            if (pack_iputl((long)src[layer][col][row], f) == EOF) {
               pack_fclose(f);
               return false;
            }
   return pack_fclose(f) == 0;
}

// The final flush of a packed file can fail silently, so the file is trusted
// only once it reads back as what was meant to be written.
static bool ReadsBackAs(const char *filename, const MapGrid expected)
{
   PACKFILE *f = pack_fopen(filename, "rp");
   if (!f)
      return false;
   MapFileResult result = ReadValues(f, scratch);
   pack_fclose(f);
   return result == MAPFILE_OK && memcmp(scratch, expected, sizeof(scratch)) == 0;
}

MapFileResult WriteMapFile(const char *filename, const MapGrid src)
{
   std::string temp = std::string(filename) + ".new";
   if (!WriteValues(temp.c_str(), src) || !ReadsBackAs(temp.c_str(), src) ||
       rename(temp.c_str(), filename) != 0) {
      remove(temp.c_str());
      return MAPFILE_WRITE_FAILED;
   }
   return MAPFILE_OK;
}

const char *MapFileMessage(MapFileResult result)
{
   switch (result) {
      case MAPFILE_OK:           return "ok";
      case MAPFILE_CANNOT_OPEN:  return "cannot open the file";
      case MAPFILE_NOT_PACKED:   return "not a packed map file";
      case MAPFILE_SHORT:        return "the file holds fewer than 40000 values";
      case MAPFILE_WRITE_FAILED: return "the file could not be written";
   }
   return "unknown error";
}
