#include "tmx.h"

#include "layerbytes.h"
#include "readfile.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>

constexpr int kLayerCells = kMapCols * kMapRows;
constexpr int kGidBytes = 4;
// The top four bits of a gid flip or rotate its tile; the rest names it.
constexpr uint32_t kGidFlipBits = 0xF0000000u;
// Offsets in the file must stay offsets in the text so that places can be
// turned into lines, so line ends are left as they are.
constexpr unsigned kParseOptions = pugi::parse_default & ~pugi::parse_eol;
// Tiled nests groups as deep as a designer likes; ours are read by recursion.
constexpr int kMaxGroupDepth = 64;

// A tileset as the map numbers it.
struct Tileset {
   uint32_t firstgid;
   std::string name;
   int count;
};

// One layer's cells in file order, with the line each was read from.
struct LayerCells {
   std::vector<uint32_t> gids;
   std::vector<int> lines;
};

// The map being read: its text for line numbers, its folder for tileset
// files, what has been said about it, and the cells read so far.
struct TmxReader {
   const std::vector<size_t> &linestarts;
   const std::string &dir;
   std::vector<TmxMessage> *warnings;
   TmxMessage error;
   std::vector<Tileset> tilesets;
   bool seen[kMapLayers];
   MapGrid cells;
};

// Where each line of `text` begins, so that a place becomes a line in
// a few steps however many elements the file names.
static std::vector<size_t> LineStarts(const std::string &text)
{
   std::vector<size_t> starts = {0};
   for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
      starts.push_back(i + 1);
   return starts;
}

static int LineAt(const std::vector<size_t> &starts, ptrdiff_t offset)
{
   if (offset < 0)
      return 0;
   return (int)(std::upper_bound(starts.begin(), starts.end(), (size_t)offset) - starts.begin());
}

static int LineOf(const TmxReader &r, pugi::xml_node node)
{
   return LineAt(r.linestarts, node.offset_debug());
}

static bool Fail(TmxReader &r, int line, const std::string &message)
{
   r.error = {line, message};
   return false;
}

static bool Fail(TmxReader &r, pugi::xml_node node, const std::string &message)
{
   return Fail(r, LineOf(r, node), message);
}

static void Warn(TmxReader &r, pugi::xml_node node, const std::string &message)
{
   if (r.warnings)
      r.warnings->push_back({LineOf(r, node), message});
}

std::string TmxCellName(int layer, int index)
{
   return std::string("layer ") + kTmxLayerNames[layer] + ", column " + std::to_string(index % kMapCols) +
          ", row " + std::to_string(index / kMapCols) + ": ";
}

static int LayerIndex(const char *name)
{
   for (int l = 0; l < kMapLayers; l++)
      if (strcmp(name, kTmxLayerNames[l]) == 0)
         return l;
   return -1;
}

// Tiled counts the tiles its sheet has room for, whatever `tilecount` says.
// Sizes come from the file, so nonsense gives no tiles rather than a crash.
static int TilesetCount(pugi::xml_node tileset)
{
   long long tw = tileset.attribute("tilewidth").as_int(), th = tileset.attribute("tileheight").as_int();
   long long spacing = tileset.attribute("spacing").as_int(), margin = tileset.attribute("margin").as_int();
   pugi::xml_node image = tileset.child("image");
   long long w = image.attribute("width").as_int(), h = image.attribute("height").as_int();
   if (w <= 0 || h <= 0 || tw <= 0 || th <= 0)
      return std::max(tileset.attribute("tilecount").as_int(), 0);
   if (spacing < 0 || margin < 0)
      return 0;
   long long columns = std::max((w - 2 * margin + spacing) / (tw + spacing), 0LL);
   long long rows = std::max((h - 2 * margin + spacing) / (th + spacing), 0LL);
   return (int)std::min(columns * rows, (long long)INT32_MAX);
}

// Loads a tileset file; on failure says why, with the line for bad XML.
static pugi::xml_node LoadTsx(const std::string &path, pugi::xml_document &doc, std::string *why)
{
   std::string text, reason;
   if (!ReadRegularFile(path, text, &reason)) {
      *why = "cannot read the tileset file " + path + ": " + reason;
      return pugi::xml_node();
   }
   pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size(), kParseOptions);
   if (!result) {
      *why = path + ":" + std::to_string(LineAt(LineStarts(text), result.offset)) + ": malformed XML in the tileset file: " +
             result.description();
      return pugi::xml_node();
   }
   pugi::xml_node tileset = doc.child("tileset");
   if (!tileset)
      *why = path + " is not a tileset file";
   return tileset;
}

bool ReadTilesetCounts(const std::string &dir, TilesetCounts *counts, std::string *error)
{
   pugi::xml_document tiles, enemies;
   pugi::xml_node t = LoadTsx(dir + "/" + kTilesTsx, tiles, error);
   if (!t)
      return false;
   pugi::xml_node e = LoadTsx(dir + "/" + kEnemiesTsx, enemies, error);
   if (!e)
      return false;
   counts->tiles = TilesetCount(t);
   counts->enemies = TilesetCount(e);
   return true;
}

static bool ReadTilesets(TmxReader &r, pugi::xml_node map)
{
   for (pugi::xml_node node : map.children("tileset")) {
      uint32_t firstgid = node.attribute("firstgid").as_uint();
      if (firstgid == 0)
         return Fail(r, node, "a tileset without a firstgid");
      pugi::xml_document file;
      pugi::xml_node tileset = node;
      const char *source = node.attribute("source").value();
      if (*source) {
         std::string why, path = source[0] == '/' ? source : r.dir + "/" + source;
         tileset = LoadTsx(path, file, &why);
         if (!tileset)
            return Fail(r, node, why);
      }
      r.tilesets.push_back({firstgid, tileset.attribute("name").value(), TilesetCount(tileset)});
   }
   std::sort(r.tilesets.begin(), r.tilesets.end(),
             [](const Tileset &a, const Tileset &b) { return a.firstgid < b.firstgid; });
   return true;
}

// The value a gid stands for in `layer`, or a refusal that names the cell.
static bool GidValue(TmxReader &r, int layer, int index, uint32_t gid, int line, unsigned short *value)
{
   if (gid & kGidFlipBits)
      return Fail(r, line, TmxCellName(layer, index) + "the tile is flipped or rotated (gid " + std::to_string(gid) +
                              "); levels have no flipped tiles");
   *value = 0;
   if (gid == 0)
      return true;
   const Tileset *home = nullptr;
   for (const Tileset &t : r.tilesets)
      if (t.firstgid <= gid)
         home = &t;
   const char *wanted = layer == kEnemyLayer ? kEnemiesTileset : kTilesTileset;
   std::string says = TmxCellName(layer, index) + "gid " + std::to_string(gid);
   if (!home || gid - home->firstgid >= (uint32_t)home->count)
      return Fail(r, line, says + " is in no tileset of the map");
   if (home->name != wanted)
      return Fail(r, line, says + " is a tile of the tileset '" + home->name + "'; layer " + kTmxLayerNames[layer] +
                              " takes tiles of the tileset '" + wanted + "' only");
   uint32_t v = gid - home->firstgid + 1;
   if (v > 0xFFFF)
      return Fail(r, line, says + " stands for a value above 65535");
   *value = (unsigned short)v;
   return true;
}

static bool ReadCsv(TmxReader &r, pugi::xml_node data, LayerCells &cells)
{
   pugi::xml_node body = data.first_child();
   int line = LineOf(r, body);
   const char *s = body.value();
   for (; *s; s++) {
      if (*s == '\n')
         line++;
      if (isspace((unsigned char)*s) || *s == ',')
         continue;
      if (!isdigit((unsigned char)*s))
         return Fail(r, line, std::string("'") + *s + "' in CSV layer data, where gids are numbers");
      uint64_t gid = 0;
      for (; isdigit((unsigned char)*s) && gid <= UINT32_MAX; s++)
         gid = gid * 10 + (*s - '0');
      if (gid > UINT32_MAX)
         return Fail(r, line, "a gid in the CSV layer data is larger than 32 bits");
      cells.gids.push_back((uint32_t)gid);
      cells.lines.push_back(line);
      if (cells.gids.size() > (size_t)kLayerCells)
         break;                     // one too many is enough to refuse the layer
      s--;
   }
   return true;
}

static bool ReadBase64(TmxReader &r, pugi::xml_node data, const std::string &compression, LayerCells &cells)
{
   std::vector<unsigned char> packed, bytes;
   if (!DecodeBase64(data.child_value(), packed))
      return Fail(r, data, "the layer data is not valid base64");
   if (compression.empty())
      bytes.swap(packed);
   else if (!Inflate(packed, compression == "gzip" ? kGzipWindowBits : kZlibWindowBits,
                     (size_t)kLayerCells * kGidBytes, bytes))
      return Fail(r, data, "the " + compression + " layer data is damaged or holds more than " +
                              std::to_string(kLayerCells) + " cells");
   if (bytes.size() % kGidBytes != 0)
      return Fail(r, data, "the layer data is not a whole number of 4-byte gids");
   int line = LineOf(r, data);
   bytes.resize(std::min(bytes.size(), (size_t)(kLayerCells + 1) * kGidBytes));
   for (size_t i = 0; i < bytes.size(); i += kGidBytes) {
      cells.gids.push_back((uint32_t)bytes[i] | (uint32_t)bytes[i + 1] << 8 | (uint32_t)bytes[i + 2] << 16 |
                           (uint32_t)bytes[i + 3] << 24);
      cells.lines.push_back(line);
   }
   return true;
}

// The old layer format: one <tile gid="..."/> element for every cell.
static void ReadTileElements(TmxReader &r, pugi::xml_node data, LayerCells &cells)
{
   for (pugi::xml_node tile : data.children("tile")) {
      cells.gids.push_back(tile.attribute("gid").as_uint());
      cells.lines.push_back(LineOf(r, tile));
      if (cells.gids.size() > (size_t)kLayerCells)
         return;
   }
}

static bool ReadData(TmxReader &r, pugi::xml_node data, LayerCells &cells)
{
   std::string encoding = data.attribute("encoding").value();
   std::string compression = data.attribute("compression").value();
   if (data.child("chunk"))
      return Fail(r, data, "the layer is kept in chunks, as in an infinite map");
   if (encoding == "csv" && compression.empty())
      return ReadCsv(r, data, cells);
   if (encoding == "base64" && (compression.empty() || compression == "zlib" || compression == "gzip"))
      return ReadBase64(r, data, compression, cells);
   if (encoding.empty() && compression.empty()) {
      ReadTileElements(r, data, cells);
      return true;
   }
   if (compression == "zstd")
      return Fail(r, data, "zstd-compressed layer data is not read; save the map with the tile layer format "
                           "CSV or Base64 (zlib)");
   return Fail(r, data, "layer data encoded as '" + encoding + "'" +
                           (compression.empty() ? "" : " with '" + compression + "'") +
                           " is not read; save the map with the tile layer format CSV or Base64 (zlib)");
}

static bool ReadLayer(TmxReader &r, pugi::xml_node node, int layer)
{
   std::string name = std::string("layer ") + kTmxLayerNames[layer];
   int w = node.attribute("width").as_int(kMapCols), h = node.attribute("height").as_int(kMapRows);
   if (w != kMapCols || h != kMapRows)
      return Fail(r, node, name + " is " + std::to_string(w) + " x " + std::to_string(h) +
                              " cells; a level layer is 200 x 50");
   pugi::xml_node data = node.child("data");
   if (!data)
      return Fail(r, node, name + " has no data");
   LayerCells cells;
   if (!ReadData(r, data, cells))
      return false;
   // The readers stop one cell past a full layer.
   if (cells.gids.size() != (size_t)kLayerCells)
      return Fail(r, data, name + " holds " + (cells.gids.size() > (size_t)kLayerCells ? "more than " : "") +
                              std::to_string(std::min(cells.gids.size(), (size_t)kLayerCells)) +
                              " cells; a level layer holds " + std::to_string(kLayerCells));
   for (int i = 0; i < kLayerCells; i++)
      if (!GidValue(r, layer, i, cells.gids[i], cells.lines[i], &r.cells[layer][i % kMapCols][i / kMapCols]))
         return false;
   return true;
}

// Reads the level layers among the children of the map or of a group.
static bool ReadLayers(TmxReader &r, pugi::xml_node parent, int depth)
{
   for (pugi::xml_node node : parent.children()) {
      std::string kind = node.name(), name = node.attribute("name").value();
      if (node.type() != pugi::node_element || kind == "tileset" || kind == "editorsettings")
         continue;
      if (kind == "layer") {
         int layer = LayerIndex(name.c_str());
         if (layer < 0) {
            Warn(r, node, "tile layer '" + name + "' is not a level layer; it is ignored");
            continue;
         }
         if (r.seen[layer])
            return Fail(r, node, "layer " + name + " is given twice");
         r.seen[layer] = true;
         if (node.child("properties"))
            Warn(r, node.child("properties"), "the properties of layer " + name + " are ignored");
         if (!ReadLayer(r, node, layer))
            return false;
      } else if (kind == "group") {
         if (depth == kMaxGroupDepth)
            return Fail(r, node, "groups are nested more than " + std::to_string(kMaxGroupDepth) + " deep");
         if (!ReadLayers(r, node, depth + 1))
            return false;
      } else if (kind == "objectgroup") {
         Warn(r, node, "object layer '" + name + "' is ignored");
      } else if (kind == "imagelayer") {
         Warn(r, node, "image layer '" + name + "' is ignored");
      } else if (kind == "properties") {
         Warn(r, node, "the properties of the " + (parent.name() == std::string("map") ? std::string("map") :
                       "group '" + std::string(parent.attribute("name").value()) + "'") + " are ignored");
      } else {
         Warn(r, node, "<" + kind + "> is ignored");
      }
   }
   return true;
}

static bool ReadMap(TmxReader &r, pugi::xml_node map)
{
   if (!map)
      return Fail(r, 1, "not a Tiled map: there is no <map> element");
   if (map.attribute("infinite").as_int() != 0)
      return Fail(r, map, "the map is infinite; a level is a fixed map of 200 x 50 cells");
   int w = map.attribute("width").as_int(), h = map.attribute("height").as_int();
   if (w != kMapCols || h != kMapRows)
      return Fail(r, map, "the map is " + std::to_string(w) + " x " + std::to_string(h) +
                             " cells; a level is 200 x 50");
   int tw = map.attribute("tilewidth").as_int(), th = map.attribute("tileheight").as_int();
   if (tw != kTmxTileSize || th != kTmxTileSize)
      return Fail(r, map, "the map's tiles are " + std::to_string(tw) + " x " + std::to_string(th) +
                             " pixels; a level's are 32 x 32");
   if (!ReadTilesets(r, map) || !ReadLayers(r, map, 0))
      return false;
   for (int l = 0; l < kMapLayers; l++)
      if (!r.seen[l])
         return Fail(r, map, std::string("the map has no tile layer named ") + kTmxLayerNames[l]);
   return true;
}

bool ParseTmx(const std::string &text, const std::string &dir, MapGrid out, TmxMessage *error,
              std::vector<TmxMessage> *warnings)
{
   // The map is large, so the reader lives on the heap, not the stack.
   std::vector<size_t> linestarts = LineStarts(text);
   std::unique_ptr<TmxReader> r(new TmxReader{linestarts, dir, warnings, {}, {}, {}, {}});
   pugi::xml_document doc;
   pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size(), kParseOptions);
   bool ok = result ? ReadMap(*r, doc.child("map"))
                    : Fail(*r, LineAt(linestarts, result.offset), std::string("malformed XML: ") + result.description());
   if (!ok) {
      if (error)
         *error = r->error;
      return false;
   }
   memcpy(out, r->cells, sizeof(r->cells));
   return true;
}
