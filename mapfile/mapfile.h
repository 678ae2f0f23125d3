#ifndef MAPFILE_H
#define MAPFILE_H

// The level map both programs share, and the packed file it is kept in.
// In memory a map is map[layer][column][row]; on disk it is 40,000
// little-endian 32-bit values, layer by layer, row by row, column by column.

#include <string>

constexpr int kMapLayers = 4;
constexpr int kMapCols = 200;
constexpr int kMapRows = 50;
constexpr int kMapCells = kMapLayers * kMapCols * kMapRows;

constexpr int kGroundLayer = 0;
constexpr int kBackgroundLayer = 1;
constexpr int kEnemyLayer = 2;
constexpr int kItemLayer = 3;

typedef unsigned short MapGrid[kMapLayers][kMapCols][kMapRows];

enum MapFileResult {
   MAPFILE_OK,
   MAPFILE_CANNOT_OPEN,   // missing or unreadable
   MAPFILE_NOT_PACKED,    // not an Allegro packed file
   MAPFILE_SHORT,         // fewer than 40,000 values
   MAPFILE_WRITE_FAILED   // the file could not be written in full
};

// Reads a map file into dest. On any failure dest is left exactly as it was.
MapFileResult ReadMapFile(const char *filename, MapGrid dest);

// Writes src to filename through the safe writer (safefile.h): an existing
// file is replaced only once the new one is on disk in full, a symbolic link
// keeps pointing at the file that gets the map, the file keeps its
// permission bits, and a file the user may not write is refused.
MapFileResult WriteMapFile(const char *filename, const MapGrid src);

// The bytes of src's map file, as WriteMapFile puts them on disk.
bool PackMapFile(const MapGrid src, std::string &bytes);

// A short English reason for a result, for messages.
const char *MapFileMessage(MapFileResult result);

inline bool MapCellInside(int layer, int col, int row)
{
   return layer >= 0 && layer < kMapLayers && col >= 0 && col < kMapCols &&
          row >= 0 && row < kMapRows;
}

// Cells outside the map read as empty, so nothing ever looks past its storage.
inline unsigned short MapValueAt(const MapGrid map, int layer, int col, int row)
{
   return MapCellInside(layer, col, row) ? map[layer][col][row] : 0;
}

// The player's body, 32 x 51 pixels, put with its top-left corner on a
// cell's top-left corner covers that cell and the one below it. The game's
// start at a chosen cell and the editor's "play from here" both refuse a
// cell where that body would stand in ground.
constexpr int kStartCellsDown = 2;

inline bool StartInGround(const MapGrid map, int col, int row)
{
   for (int r = row; r < row + kStartCellsDown; r++)
      if (MapValueAt(map, kGroundLayer, col, r) != 0)
         return true;
   return false;
}

#endif
