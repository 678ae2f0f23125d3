#include "saveload.h"

#include "datafolder.h"
#include "main.h"

void LoadMap(const char *filename)
{
   // The codec only replaces `map` on a full read, so a bad file never
   // leaves a half-loaded level behind.
   if (ReadMapFile(FindDataFile(filename).c_str(), map) != MAPFILE_OK)
      CouldNotLoad(filename);
}
