#include "saveload.h"

#include "main.h"

void SaveMap()
{
   // The confirmation comes first, before the file is touched, as users know it.
   allegro_message("you just saved your map");
   MapFileResult result = WriteMapFile(kEditorMapFile, map);
   if (result != MAPFILE_OK)
      allegro_message("Could not save %s: %s", kEditorMapFile, MapFileMessage(result));
}

void LoadMap()
{
   allegro_message("you just loaded a map");
   MapFileResult result = ReadMapFile(kEditorMapFile, map);
   if (result != MAPFILE_OK)
      allegro_message("Could not load %s; the map was not changed", kEditorMapFile);
}
