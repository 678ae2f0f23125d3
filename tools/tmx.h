#ifndef TMX_H
#define TMX_H

// Levels as maps of the Tiled map editor. A level is an orthogonal map of
// 200 x 50 cells of 32 x 32 pixels with one tile layer for each of ours.
// Ground, background and items take their pictures from the tileset
// "tiles" (tiles.dat from value 1 on, as value 0 is the empty cell), the
// enemy layer from "enemies" (enemy.dat from value 1 on). In the files we
// write, value v is gid v on the tile layers and gid 1000 + v on the enemy
// layer; a file Tiled saved may number its tilesets otherwise, so a reader
// goes through the firstgids of the file it reads.

#include <string>
#include <vector>

#include "mapfile.h"

constexpr int kTmxTileSize = 32;
constexpr int kTilesFirstGid = 1;
constexpr int kEnemiesFirstGid = 1001;

// The Tiled layer of each of our layers, in our layer order.
inline constexpr const char *kTmxLayerNames[kMapLayers] = {"ground", "background", "enemies", "items"};

// The two tilesets: their names, their files and their sheets.
inline constexpr const char *kTilesTileset = "tiles";
inline constexpr const char *kEnemiesTileset = "enemies";
inline constexpr const char *kTilesTsx = "tiles.tsx";
inline constexpr const char *kEnemiesTsx = "enemies.tsx";
inline constexpr const char *kTilesSheet = "tiles.png";
inline constexpr const char *kEnemiesSheet = "enemies.png";

// A refusal or a warning, with the line of the file it is about.
struct TmxMessage {
   int line = 0;
   std::string text;
};

// How many pictures each of the two tilesets has.
struct TilesetCounts {
   int tiles = 0;
   int enemies = 0;
};

// "layer NAME, column C, row R: " for the cell at `index` in file order.
std::string TmxCellName(int layer, int index);

// A tileset file for a sheet of `count` pictures, `columns` to a row.
std::string FormatTsx(const char *name, const char *sheet, int count, int columns);

// Reads the tile counts of tiles.tsx and enemies.tsx in `dir`.
bool ReadTilesetCounts(const std::string &dir, TilesetCounts *counts, std::string *error);

// Writes `map` as a Tiled map that uses tiles.tsx and enemies.tsx beside it.
// A value without a picture is refused with its layer, column and row.
bool FormatTmx(const MapGrid map, const TilesetCounts &counts, std::string &out, std::string *error);

// Reads the text of a Tiled map into `out`; tileset files are looked up from
// `dir`, the map file's folder. On failure `out` is left as it was. Layers,
// objects and properties that levels have no place for are skipped, each
// with a warning.
bool ParseTmx(const std::string &text, const std::string &dir, MapGrid out, TmxMessage *error,
              std::vector<TmxMessage> *warnings);

#endif
