#include "saveload.h"

#include <string>

#include "datafolder.h"
#include "main.h"

void LoadMap(const char *filename)
{
   // A map named on the command line is the player's own file, read from
   // where the game was started; the level order's files are game data.
   std::string path = filename == options.mapfile ? filename : FindDataFile(filename);
   // The codec only replaces `map` on a full read, so a bad file never
   // leaves a half-loaded level behind.
   if (ReadMapFile(path.c_str(), map) != MAPFILE_OK)
      CouldNotLoad(filename);
}
