// Writing levels as Tiled maps and tilesets.

#include "tmx.h"

std::string FormatTsx(const char *name, const char *sheet, int count, int columns)
{
   int rows = (count + columns - 1) / columns;
   std::string size = "tilewidth=\"" + std::to_string(kTmxTileSize) + "\" tileheight=\"" +
                      std::to_string(kTmxTileSize) + "\"";
   return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + "<tileset version=\"1.8\" name=\"" +
          name + "\" " + size + " tilecount=\"" + std::to_string(count) + "\" columns=\"" +
          std::to_string(columns) + "\">\n" + " <image source=\"" + sheet + "\" width=\"" +
          std::to_string(columns * kTmxTileSize) + "\" height=\"" + std::to_string(rows * kTmxTileSize) +
          "\"/>\n" + "</tileset>\n";
}

bool FormatTmx(const MapGrid map, const TilesetCounts &counts, std::string &out, std::string *error)
{
   std::string cols = std::to_string(kMapCols), rows = std::to_string(kMapRows);
   std::string size = "width=\"" + cols + "\" height=\"" + rows + "\"";
   std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<map version=\"1.8\" orientation=\"orthogonal\" renderorder=\"right-down\" " +
                      size + " tilewidth=\"" + std::to_string(kTmxTileSize) + "\" tileheight=\"" +
                      std::to_string(kTmxTileSize) + "\" infinite=\"0\" nextlayerid=\"" +
                      std::to_string(kMapLayers + 1) + "\" nextobjectid=\"1\">\n" +
                      " <tileset firstgid=\"" + std::to_string(kTilesFirstGid) + "\" source=\"" + kTilesTsx +
                      "\"/>\n" + " <tileset firstgid=\"" + std::to_string(kEnemiesFirstGid) + "\" source=\"" +
                      kEnemiesTsx + "\"/>\n";
   for (int l = 0; l < kMapLayers; l++) {
      bool enemies = l == kEnemyLayer;
      int count = enemies ? counts.enemies : counts.tiles;
      int first = enemies ? kEnemiesFirstGid : kTilesFirstGid;
      text += " <layer id=\"" + std::to_string(l + 1) + "\" name=\"" + kTmxLayerNames[l] + "\" " + size +
              ">\n  <data encoding=\"csv\">\n";
      for (int r = 0; r < kMapRows; r++) {
         for (int c = 0; c < kMapCols; c++) {
            int v = map[l][c][r];
            if (v > count) {
               *error = TmxCellName(l, r * kMapCols + c) + "value " + std::to_string(v) + " has no picture (the tileset " +
                        (enemies ? kEnemiesTileset : kTilesTileset) + " has " + std::to_string(count) + ")";
               return false;
            }
            text += std::to_string(v ? first + v - 1 : 0);
            if (c < kMapCols - 1 || r < kMapRows - 1)
               text += ',';
         }
         text += '\n';
      }
      text += "</data>\n </layer>\n";
   }
   out = text + "</map>\n";
   return true;
}
