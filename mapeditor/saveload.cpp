#include "saveload.h"

#include "main.h"

void SaveMap()
{
   // The confirmation comes first, before the file is touched, as users know it.
   allegro_message("you just saved your map");
   MapFileResult result = WriteMapFile(mapfile, map);
   if (result != MAPFILE_OK)
      allegro_message("Could not save %s: %s", mapfile, MapFileMessage(result));
}

static void ReadMapOrSay()
{
   MapFileResult result = ReadMapFile(mapfile, map);
   if (result != MAPFILE_OK)
      allegro_message("Could not load %s; the map was not changed", mapfile);
}

void LoadMap()
{
   allegro_message("you just loaded a map");
   ReadMapOrSay();
}

void LoadNamedMapAtStart()
{
   // Any name that is there counts, a hidden file or a folder too: only a
   // name with nothing behind it starts an empty map in silence.
   if (!file_exists(mapfile, FA_ALL, nullptr))
      return;
   ReadMapOrSay();
}
