// Tiled maps: every bad map is refused with its line and without a file,
// what levels do not hold is skipped with a warning, and a level goes
// through levelc both ways. Tiled itself reads and writes our maps in
// tiled_roundtrip.py and draws them in tiled_pictures_test.cpp.

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "headless.h"
#include "mapfile.h"
#include "tmx.h"

static MapGrid level;
static MapGrid again;

static std::string ReadAll(const std::string &name)
{
   std::ifstream in(name, std::ios::binary);
   std::ostringstream all;
   all << in.rdbuf();
   return all.str();
}

static int Shell(const std::string &command) { return std::system(command.c_str()); }

// The line of the first place `what` stands in `text`.
static int LineOfText(const std::string &text, const std::string &what)
{
   size_t at = text.find(what);
   EXPECT_NE(at, std::string::npos) << what;
   return 1 + (int)std::count(text.begin(), text.begin() + (at == std::string::npos ? 0 : at), '\n');
}

static std::string Replace(std::string text, const std::string &from, const std::string &to)
{
   size_t at = text.find(from);
   EXPECT_NE(at, std::string::npos) << from;
   return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Puts `gid` in place of a cell's number in our CSV.
static std::string SetCell(std::string text, int layer, int col, int row, const std::string &gid)
{
   size_t at = text.find("<data", text.find(std::string("name=\"") + kTmxLayerNames[layer]));
   at = text.find('\n', at) + 1;
   for (int i = 0; i < row * kMapCols + col; i++)
      at = text.find(',', at) + 1;
   at += text[at] == '\n';
   return text.replace(at, text.find_first_of(",\n", at) - at, gid);
}

class TmxTest : public HeadlessTest {
 protected:
   const TilesetCounts counts{49, 2};
   std::string dir, text;

   void SetUp() override
   {
      HeadlessTest::SetUp();
      StartHeadless(320, 240);
      dir = EnterTempDir();
      std::ofstream(kTilesTsx) << FormatTsx(kTilesTileset, kTilesSheet, counts.tiles, 7);
      std::ofstream(kEnemiesTsx) << FormatTsx(kEnemiesTileset, kEnemiesSheet, counts.enemies, 2);
      ASSERT_EQ(ReadMapFile((RunDir() + "/map3.dat").c_str(), level), MAPFILE_OK);
      std::string error;
      ASSERT_TRUE(FormatTmx(level, counts, text, &error)) << error;
   }

   void TearDown() override
   {
      HeadlessTest::TearDown();
      Shell("rm -rf '" + dir + "'");
   }

   // Reads `tmx`, which must be refused on `line` with `words` in the message.
   void ExpectRefused(const std::string &tmx, int line, const std::string &words)
   {
      TmxMessage error;
      again[0][0][0] = 77;
      EXPECT_FALSE(ParseTmx(tmx, dir, again, &error, nullptr)) << words;
      EXPECT_EQ(again[0][0][0], 77) << "a refused map changed the level";
      EXPECT_EQ(error.line, line) << error.text;
      EXPECT_NE(error.text.find(words), std::string::npos) << error.text;
   }
};

TEST_F(TmxTest, BadMapsAreRefusedWithTheirLine)
{
   ExpectRefused(Replace(text, "</map>", "</mop>"), LineOfText(text, "</map>"), "malformed XML");
   ExpectRefused(Replace(text, "infinite=\"0\"", "infinite=\"1\""), 2, "the map is infinite");
   ExpectRefused(Replace(text, "height=\"50\" tilewidth", "height=\"60\" tilewidth"), 2, "200 x 60 cells");
   ExpectRefused(Replace(text, "tileheight=\"32\"", "tileheight=\"16\""), 2, "32 x 16 pixels");
   ExpectRefused(Replace(text, "name=\"items\"", "name=\"item\""), 2, "no tile layer named items");
   ExpectRefused(Replace(text, "name=\"items\"", "name=\"ground\""), LineOfText(text, "name=\"items\""),
                 "layer ground is given twice");
   ExpectRefused(Replace(text, "source=\"enemies.tsx\"", "source=\"gone.tsx\""), 4,
                 "cannot read the tileset file " + dir + "/gone.tsx");

   int row7 = LineOfText(text, "name=\"background\"") + 2 + 7;
   ExpectRefused(SetCell(text, kBackgroundLayer, 5, 7, "50"), row7,
                 "layer background, column 5, row 7: gid 50 is in no tileset");
   ExpectRefused(SetCell(text, kBackgroundLayer, 5, 7, "1001"), row7,
                 "gid 1001 is a tile of the tileset 'enemies'");
   ExpectRefused(SetCell(text, kBackgroundLayer, 5, 7, "2147483649"), row7, "flipped or rotated");
   ExpectRefused(Replace(text, "\n</data>", ",0\n</data>"), LineOfText(text, "<data"), "holds more than 10000 cells");

   int data = LineOfText(text, "<data");
   ExpectRefused(Replace(text, "encoding=\"csv\"", "encoding=\"base64\" compression=\"zstd\""), data, "zstd");
   ExpectRefused(Replace(text, "encoding=\"csv\"", "encoding=\"base64\" compression=\"lzma\""), data,
                 "encoded as 'base64' with 'lzma' is not read");
   size_t from = text.find("<data"), to = text.find("</data>");
   std::string damaged = text;
   damaged.replace(from, to - from, "<data encoding=\"base64\" compression=\"zlib\">eJxjYIAA");
   ExpectRefused(damaged, data, "zlib layer data is damaged");
}

// Files a map names are read only when regular, and nesting is bounded:
// none of these may hang, grow without limit or overflow the stack.
TEST_F(TmxTest, TilesetsThatAreNotFilesAndDeepGroupsAreRefusedAtOnce)
{
   ExpectRefused(Replace(text, "source=\"enemies.tsx\"", "source=\"/dev/zero\""), 4,
                 "cannot read the tileset file /dev/zero: it is not a regular file");
   ASSERT_EQ(Shell("mkfifo fifo.tsx"), 0);
   ExpectRefused(Replace(text, "source=\"enemies.tsx\"", "source=\"fifo.tsx\""), 4,
                 "cannot read the tileset file " + dir + "/fifo.tsx: it is not a regular file");

   constexpr int kDepth = 30000;
   std::string open, close;
   for (int i = 0; i < kDepth; i++)
      open += "<group>\n", close += "</group>";
   int first = LineOfText(text, "</map>");
   ExpectRefused(Replace(text, "</map>", open + close + "\n</map>"), first + 64,
                 "groups are nested more than 64 deep");
}

// The old layer format, one <tile> element a cell, padded out to some
// megabytes: reading must take time in proportion to the file, and a
// layer with far too many cells is refused as soon as it overflows.
TEST_F(TmxTest, LargeMapsAreReadInTimeProportionalToTheirSize)
{
   const std::string csv = "<data encoding=\"csv\">";
   std::string tiles = text;
   for (size_t at = 0; (at = tiles.find(csv, at)) != std::string::npos;) {
      size_t end = tiles.find("</data>", at);
      std::string cells = tiles.substr(at + csv.size(), end - at - csv.size()), elements = "<data>\n";
      for (size_t c = cells.find_first_of("0123456789"); c != std::string::npos;) {
         size_t after = cells.find_first_not_of("0123456789", c);
         elements += "  <tile gid=\"" + cells.substr(c, after - c) + "\"/>" + std::string(40, ' ') + "\n";
         c = cells.find_first_of("0123456789", after);
      }
      tiles.replace(at, end - at, elements);
      at += elements.size();
   }
   ASSERT_GT(tiles.size(), 2000000u);
   auto start = std::chrono::steady_clock::now();
   TmxMessage error;
   EXPECT_TRUE(ParseTmx(tiles, dir, again, &error, nullptr)) << error.line << ": " << error.text;
   EXPECT_EQ(memcmp(level, again, sizeof(level)), 0);

   std::string extra;
   for (int i = 0; i < 100000; i++)
      extra += "  <tile/>" + std::string(40, ' ') + "\n";
   size_t ground = tiles.find("</data>");
   ExpectRefused(tiles.substr(0, ground) + extra + tiles.substr(ground), LineOfText(tiles, "<data>"),
                 "layer ground holds more than 10000 cells");
   EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(TmxTest, LayersAreFoundByNameAnywhereAndTheRestIsSkippedWithAWarning)
{
   // The ground layer moved to the end inside a group, and things levels do not hold.
   size_t from = text.find(" <layer id=\"1\""), to = text.find(" <layer id=\"2\"");
   std::string ground = text.substr(from, to - from);
   std::string moved = text;
   moved.erase(from, to - from);
   moved = Replace(moved, "</map>",
                   " <group name=\"g\">\n" + ground + " </group>\n"
                   " <objectgroup id=\"9\" name=\"notes\"/>\n"
                   " <layer id=\"8\" name=\"sketch\"><data encoding=\"csv\">1,2,3</data></layer>\n"
                   " <properties><property name=\"author\" value=\"me\"/></properties>\n</map>");
   std::vector<TmxMessage> warnings;
   TmxMessage error;
   ASSERT_TRUE(ParseTmx(moved, dir, again, &error, &warnings)) << error.line << ": " << error.text;
   EXPECT_EQ(memcmp(level, again, sizeof(level)), 0);
   ASSERT_EQ(warnings.size(), 3u);
   EXPECT_EQ(warnings[0].text, "object layer 'notes' is ignored");
   EXPECT_EQ(warnings[0].line, LineOfText(moved, "<objectgroup"));
   EXPECT_EQ(warnings[1].text, "tile layer 'sketch' is not a level layer; it is ignored");
   EXPECT_EQ(warnings[2].text, "the properties of the map are ignored");
}

// The tool: refusals reach the user as file:line and leave no file behind.
TEST_F(TmxTest, LevelcRefusesBadMapsWithoutWritingAndDecompilesGoodOnes)
{
   std::string levelc = LEVELC;
   std::ofstream("good.tmx") << text;
   ASSERT_EQ(Shell(levelc + " compile good.tmx out.dat"), 0);
   std::string before = ReadAll("out.dat");
   EXPECT_EQ(before, ReadAll(RunDir() + "/map3.dat"));
   EXPECT_NE(text.find("<tileset firstgid=\"1001\" source=\"enemies.tsx\"/>"), std::string::npos);
   ASSERT_EQ(Shell(levelc + " decompile good.tmx good.txt && " + levelc + " compile good.txt text.dat"), 0);
   EXPECT_EQ(ReadAll("text.dat"), before);

   std::ofstream("bad.tmx") << Replace(text, "infinite=\"0\"", "infinite=\"1\"");
   EXPECT_NE(Shell(levelc + " compile bad.tmx out.dat 2> log"), 0);
   EXPECT_EQ(ReadAll("log"), "bad.tmx:2: the map is infinite; a level is a fixed map of 200 x 50 cells\n");
   EXPECT_EQ(ReadAll("out.dat"), before);
   EXPECT_NE(Shell(levelc + " decompile bad.tmx fresh.txt 2> /dev/null"), 0);
   EXPECT_NE(Shell("test -e fresh.txt || ls -A | grep -q '\\.new'"), 0)
      << "a refused map left a file";
   ASSERT_EQ(Shell("mkfifo fifo.tmx"), 0);
   EXPECT_NE(Shell(levelc + " compile fifo.tmx out.dat 2> log"), 0);
   EXPECT_EQ(ReadAll("log"), "fifo.tmx: cannot read the file: it is not a regular file\n");

   level[kItemLayer][0][0] = 60;
   ASSERT_EQ(WriteMapFile("odd.dat", level), MAPFILE_OK);
   EXPECT_NE(Shell(levelc + " export-tmx odd.dat odd.tmx 2> log"), 0);
   EXPECT_EQ(ReadAll("log"),
             "odd.dat: layer items, column 0, row 0: value 60 has no picture (the tileset tiles has 49)\n");
   EXPECT_NE(Shell(levelc + " export-tmx odd.dat elsewhere/odd.tmx 2> log"), 0);
   EXPECT_NE(ReadAll("log").find("elsewhere/tiles.tsx"), std::string::npos) << ReadAll("log");
   EXPECT_NE(Shell("test -e odd.tmx || ls -A | grep -q '\\.new'"), 0) << "a refused export left a file";
}
