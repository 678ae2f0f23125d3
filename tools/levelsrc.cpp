#include "levelsrc.h"

#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "levelchars.h"

constexpr unsigned short kMaxTileValue = 65535;
// Code points handed out for values the defaults do not name, once the
// spare ASCII characters are used up. Below the surrogates there is room
// for every one of the 40,000 cells of a map holding a different value.
constexpr char32_t kFirstWideChar = 0x100;

typedef std::map<char32_t, unsigned short> Legend;

// What one layer's characters mean: the file's own entries over the
// defaults, and within each, entries for the layer over entries for every
// layer. A default for one layer never beats the file's [legend].
struct LegendSet {
   Legend any;
   Legend layer[kMapLayers];
   Legend default_any;
   Legend default_layer[kMapLayers];
};

static bool Fail(LevelSourceError *error, int line, int column, const std::string &message)
{
   if (error) {
      error->line = line;
      error->column = column;
      error->message = message;
   }
   return false;
}

static void AddDefaults(LegendSet &legends)
{
   for (const LegendEntry &e : kDefaultLegend) {
      if (e.layer == kAnyLayer)
         legends.default_any[(unsigned char)e.ch] = e.value;
      else
         legends.default_layer[e.layer][(unsigned char)e.ch] = e.value;
   }
}

// Where the lines of the text go: which section each belongs to.
enum SectionKind { SECTION_NONE, SECTION_LEGEND, SECTION_LAYER };

struct Section {
   SectionKind kind = SECTION_NONE;
   int layer = kAnyLayer;
};

// Reads a number 0..3 after `prefix` inside a header; -1 when malformed.
static int HeaderLayer(const std::string &inside, const std::string &prefix)
{
   if (inside.size() != prefix.size() + 2 || inside.compare(0, prefix.size(), prefix) != 0 ||
       inside[prefix.size()] != ' ')
      return -1;
   char d = inside[prefix.size() + 1];
   return d >= '0' && d < '0' + kMapLayers ? d - '0' : -1;
}

static bool ParseHeader(const std::string &line, int lineno, Section &section,
                        std::set<int> &layers_seen, LevelSourceError *error)
{
   size_t close = line.find(']');
   if (close == std::string::npos)
      return Fail(error, lineno, (int)line.size() + 1, "missing ']' to close the section name");
   std::string inside = line.substr(1, close - 1);
   if (inside == "legend") {
      section = {SECTION_LEGEND, kAnyLayer};
      return true;
   }
   int layer = HeaderLayer(inside, "legend");
   if (layer >= 0) {
      section = {SECTION_LEGEND, layer};
      return true;
   }
   layer = HeaderLayer(inside, "layer");
   if (layer < 0)
      return Fail(error, lineno, 2,
                  "unknown section [" + inside + "]; expected [legend], [legend N] or [layer N] with N 0 to 3");
   if (!layers_seen.insert(layer).second)
      return Fail(error, lineno, 2, "layer " + std::to_string(layer) + " is given twice");
   section = {SECTION_LAYER, layer};
   return true;
}

static bool IsSpace(char32_t c)
{
   return c == ' ' || c == '\t';
}

// One legend entry: a character, spaces, a value 0..65535, then a free note.
static bool ParseLegendLine(const std::vector<char32_t> &cps, int lineno, Legend &legend,
                            std::set<char32_t> &defined_here, LevelSourceError *error)
{
   char32_t ch = cps[0];
   if (IsReserved(ch))
      return Fail(error, lineno, 1, CharName(ch) + " cannot be a legend character");
   size_t i = 1;
   if (i >= cps.size() || !IsSpace(cps[i]))
      return Fail(error, lineno, 2, "expected a space and a tile value after the legend character");
   while (i < cps.size() && IsSpace(cps[i]))
      i++;
   size_t start = i;
   unsigned long value = 0;
   while (i < cps.size() && cps[i] >= '0' && cps[i] <= '9') {
      value = value * 10 + (cps[i] - '0');
      if (value > kMaxTileValue)
         return Fail(error, lineno, (int)start + 1, "tile value is larger than 65535");
      i++;
   }
   if (i == start)
      return Fail(error, lineno, (int)i + 1, "expected a tile value from 0 to 65535");
   if (i < cps.size() && !IsSpace(cps[i]))
      return Fail(error, lineno, (int)i + 1, "expected a space after the tile value");
   if (!defined_here.insert(ch).second)
      return Fail(error, lineno, 1, CharName(ch) + " is already in this legend");
   legend[ch] = (unsigned short)value;
   return true;
}

struct GridRow {
   int lineno;
   std::vector<char32_t> cells;
};

// First pass: sort the lines into legends and layer rows, checking the
// shape of everything except the grid characters themselves.
static bool SplitSections(const std::string &text, LegendSet &legends,
                          std::vector<GridRow> rows[kMapLayers], LevelSourceError *error)
{
   Section section;
   std::set<int> layers_seen;
   std::set<char32_t> defined_here;
   std::vector<char32_t> cps;
   size_t pos = text.compare(0, strlen(kByteOrderMark), kByteOrderMark) == 0 ? strlen(kByteOrderMark) : 0;
   int lineno = 0;
   while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos)
         end = text.size();
      std::string line = text.substr(pos, end - pos);
      pos = end + 1;
      lineno++;
      if (!line.empty() && line.back() == '\r')
         line.pop_back();
      int bad = DecodeUtf8(line, cps);
      if (bad)
         return Fail(error, lineno, bad, "the text is not valid UTF-8");
      if (!cps.empty() && cps[0] == (char32_t)kCommentChar)
         continue;
      if (!cps.empty() && cps[0] == (char32_t)kHeaderChar) {
         if (!ParseHeader(line, lineno, section, layers_seen, error))
            return false;
         defined_here.clear();
         continue;
      }
      bool blank = true;
      for (char32_t c : cps)
         blank = blank && IsSpace(c);
      switch (section.kind) {
         case SECTION_NONE:
            if (!blank)
               return Fail(error, lineno, 1, "text outside a section; start with [legend] or [layer N]");
            break;
         case SECTION_LEGEND:
            if (!blank && !ParseLegendLine(cps, lineno, section.layer == kAnyLayer ? legends.any
                                           : legends.layer[section.layer], defined_here, error))
               return false;
            break;
         case SECTION_LAYER:
            rows[section.layer].push_back({lineno, cps});
            break;
      }
   }
   return true;
}

static bool Lookup(const LegendSet &legends, int layer, char32_t c, unsigned short *value)
{
   for (const Legend *legend : {&legends.layer[layer], &legends.any, &legends.default_layer[layer],
                                &legends.default_any}) {
      auto it = legend->find(c);
      if (it != legend->end()) {
         *value = it->second;
         return true;
      }
   }
   return false;
}

static bool FillLayer(const LegendSet &legends, int layer, const std::vector<GridRow> &rows,
                      MapGrid out, LevelSourceError *error)
{
   for (size_t r = 0; r < rows.size(); r++) {
      const GridRow &row = rows[r];
      size_t width = row.cells.size();
      for (size_t i = 0; i < width; i++)
         if (row.cells[i] == (char32_t)kCommentChar)
            width = i;
      if (r >= (size_t)kMapRows) {
         for (size_t i = 0; i < width; i++)
            if (!IsSpace(row.cells[i]))
               return Fail(error, row.lineno, (int)i + 1,
                           "layer " + std::to_string(layer) + " has more than 50 rows");
         continue;
      }
      for (size_t i = 0; i < width; i++) {
         char32_t c = row.cells[i];
         if (c == ' ')
            continue;
         if (i >= (size_t)kMapCols)
            return Fail(error, row.lineno, (int)i + 1, "row is longer than 200 columns");
         unsigned short value;
         if (c == '\t')
            return Fail(error, row.lineno, (int)i + 1, "a tab in a grid; use spaces for empty cells");
         if (!Lookup(legends, layer, c, &value))
            return Fail(error, row.lineno, (int)i + 1,
                        CharName(c) + " is not in the legend of layer " + std::to_string(layer));
         out[layer][i][r] = value;
      }
   }
   return true;
}

bool ParseLevelSource(const std::string &text, MapGrid out, LevelSourceError *error)
{
   LegendSet legends;
   AddDefaults(legends);
   std::vector<GridRow> rows[kMapLayers];
   if (!SplitSections(text, legends, rows, error))
      return false;
   static MapGrid parsed;
   memset(parsed, 0, sizeof(parsed));
   for (int layer = 0; layer < kMapLayers; layer++)
      if (!FillLayer(legends, layer, rows[layer], parsed, error))
         return false;
   memcpy(out, parsed, sizeof(parsed));
   return true;
}

char DefaultLegendChar(int layer, unsigned short value)
{
   char found = 0;
   for (const LegendEntry &e : kDefaultLegend) {
      if (e.value != value)
         continue;
      if (e.layer == layer)
         return e.ch;
      if (e.layer == kAnyLayer && !found)
         found = e.ch;
   }
   // A character named for every layer may be taken by the layer's own entry.
   for (const LegendEntry &e : kDefaultLegend)
      if (found && e.layer == layer && e.ch == found)
         return 0;
   return found;
}

static const LegendEntry *DefaultEntry(int layer, char ch)
{
   for (const LegendEntry &e : kDefaultLegend)
      if (e.ch == ch && e.layer == layer)
         return &e;
   return nullptr;
}

static bool UsedByDefaults(char32_t c)
{
   for (const LegendEntry &e : kDefaultLegend)
      if ((unsigned char)e.ch == c)
         return true;
   return false;
}

// The next character for a value without a default one: spare printable
// ASCII first, then code points from kFirstWideChar on.
static char32_t NextAutoChar(char32_t after)
{
   for (char32_t c = after + 1;; c++) {
      if (c >= 0x7F && c < kFirstWideChar)
         c = kFirstWideChar;
      if (c >= kFirstSurrogate && c < kAfterSurrogates)
         c = kAfterSurrogates;
      if (!IsReserved(c) && !UsedByDefaults(c))
         return c;
   }
}

// The character each value of each layer is written with.
struct Charset {
   std::map<unsigned short, char32_t> per_layer[kMapLayers];
   std::map<unsigned short, char32_t> automatic;
};

static Charset ChooseChars(const MapGrid map)
{
   Charset set;
   std::set<unsigned short> unnamed;
   for (int layer = 0; layer < kMapLayers; layer++)
      for (int col = 0; col < kMapCols; col++)
         for (int row = 0; row < kMapRows; row++) {
            unsigned short v = map[layer][col][row];
            char ch = DefaultLegendChar(layer, v);
            if (ch)
               set.per_layer[layer][v] = (unsigned char)ch;
            else
               unnamed.insert(v);
         }
   char32_t c = ' ';
   for (unsigned short v : unnamed) {
      c = NextAutoChar(c);
      set.automatic[v] = c;
   }
   for (int layer = 0; layer < kMapLayers; layer++)
      for (auto &entry : set.automatic)
         if (!set.per_layer[layer].count(entry.first))
            set.per_layer[layer][entry.first] = entry.second;
   return set;
}

static void WriteLegend(std::string &out, const Charset &set)
{
   std::string layer_part[kMapLayers];
   out += "[legend]\n";
   std::set<char> written;
   for (int layer = 0; layer < kMapLayers; layer++)
      for (auto &entry : set.per_layer[layer]) {
         if (entry.second >= 0x80)
            continue;
         char ch = (char)entry.second;
         const LegendEntry *own = DefaultEntry(layer, ch);
         if (own) {
            layer_part[layer] += std::string(1, ch) + " " + std::to_string(own->value) + " " + own->note + "\n";
         } else if (const LegendEntry *any = DefaultEntry(kAnyLayer, ch)) {
            if (written.insert(ch).second)
               out += std::string(1, ch) + " " + std::to_string(any->value) + " " + any->note + "\n";
         }
      }
   for (auto &entry : set.automatic) {
      AppendUtf8(out, entry.second);
      out += " " + std::to_string(entry.first) + "\n";
   }
   for (int layer = 0; layer < kMapLayers; layer++)
      if (!layer_part[layer].empty())
         out += "[legend " + std::to_string(layer) + "]\n" + layer_part[layer];
}

static const char *const kLayerNames[kMapLayers] = {"ground", "background", "enemy starts", "items and exit"};

static void WriteLayer(std::string &out, const MapGrid map, int layer, const Charset &set)
{
   out += "\n[layer " + std::to_string(layer) + "] " + kLayerNames[layer] + "\n";
   std::vector<std::string> rows(kMapRows);
   int used_rows = 0;
   for (int row = 0; row < kMapRows; row++) {
      int width = kMapCols;
      while (width > 0 && map[layer][width - 1][row] == 0)
         width--;
      for (int col = 0; col < width; col++)
         AppendUtf8(rows[row], set.per_layer[layer].at(map[layer][col][row]));
      if (width > 0)
         used_rows = row + 1;
   }
   for (int row = 0; row < used_rows; row++)
      out += rows[row] + "\n";
}

std::string FormatLevelSource(const MapGrid map, const std::string &title)
{
   Charset set = ChooseChars(map);
   std::string out = "; " + CommentText(title) + "\n";
   WriteLegend(out, set);
   for (int layer = 0; layer < kMapLayers; layer++)
      WriteLayer(out, map, layer, set);
   return out;
}
