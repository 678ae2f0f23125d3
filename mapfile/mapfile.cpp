#include "mapfile.h"

#include <allegro.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform.h"
#include "safefile.h"

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

// Only a regular file is handed to Allegro, which would wait for a FIFO's
// writer, or read a device without end; a folder is no map either. The
// check shares delete access on Windows, as Allegro's own reading does, so
// the editor's play-test map (deleted with its last handle) can be read.
static bool FileReadable(const char *filename)
{
   std::string error;
   return CheckRegularFile(filename, error) == REGULAR_FILE;
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

// A PACKFILE that appends whatever Allegro writes to a string, so the packed
// bytes can go to disk through the one safe writer.
static int StringClose(void *) { return 0; }
static int StringGetc(void *) { return EOF; }
static int StringUngetc(int, void *) { return EOF; }
static long StringRead(void *, long, void *) { return 0; }
static int StringPutc(int c, void *out)
{
   static_cast<std::string *>(out)->push_back((char)c);
   return c;
}
static long StringWrite(const void *p, long n, void *out)
{
   static_cast<std::string *>(out)->append(static_cast<const char *>(p), (size_t)n);
   return n;
}
static int StringSeek(void *, int) { return -1; }
static int StringEof(void *) { return 1; }
static int StringError(void *) { return 0; }
static const PACKFILE_VTABLE kStringVtable = {StringClose, StringGetc, StringUngetc, StringRead,
                                              StringPutc, StringWrite, StringSeek, StringEof,
                                              StringError};

// The bytes pack_fopen's "wp" mode would write: the packed magic number,
// then the values compressed in the chunks its buffer flushes.
bool PackMapFile(const MapGrid src, std::string &out)
{
   static unsigned char plain[kMapCells * 4];
   size_t at = 0;
   for (int layer = 0; layer < kMapLayers; layer++)
      for (int row = 0; row < kMapRows; row++)
         for (int col = 0; col < kMapCols; col++) {
            unsigned v = src[layer][col][row];
            plain[at++] = (unsigned char)(v & 0xFF);
            plain[at++] = (unsigned char)(v >> 8);
            plain[at++] = 0;
            plain[at++] = 0;
         }
   out.clear();
   PACKFILE *f = pack_fopen_vtable(&kStringVtable, &out);
   LZSS_PACK_DATA *lzss = create_lzss_pack_data();
   bool ok = f && lzss && pack_mputl(F_PACK_MAGIC, f) != EOF;
   for (size_t done = 0; ok && done < sizeof plain; done += F_BUF_SIZE) {
      size_t n = sizeof plain - done < F_BUF_SIZE ? sizeof plain - done : F_BUF_SIZE;
      ok = lzss_write(f, lzss, (int)n, plain + done, done + n == sizeof plain) == 0;
   }
   if (lzss)
      free_lzss_pack_data(lzss);
   if (f)
      pack_fclose(f);
   return ok;
}

MapFileResult WriteMapFile(const char *filename, const MapGrid src)
{
   std::string bytes;
   if (!PackMapFile(src, bytes) || !WriteFileSafely(filename, bytes))
      return MAPFILE_WRITE_FAILED;
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
