// The text form of levels and the levelc tool: what a level text means,
// that every map survives decompiling and compiling byte for byte, and that
// bad text is refused with its place and without touching the map file.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "headless.h"
#include "levelsrc.h"
#include "mapfile.h"

static MapGrid grid;
static MapGrid again;

static std::string ReadFile(const std::string &name)
{
   std::ifstream in(name, std::ios::binary);
   std::ostringstream all;
   all << in.rdbuf();
   return all.str();
}

static void WriteFile(const std::string &name, const std::string &text)
{
   std::ofstream(name, std::ios::binary) << text;
}

static int Shell(const std::string &command)
{
   return std::system((command + " 2>/dev/null").c_str());
}

class LevelTextTest : public HeadlessTest {
 protected:
   void SetUp() override
   {
      HeadlessTest::SetUp();
      StartHeadless(320, 240);
      memset(grid, 0, sizeof(grid));
   }

   // Parses `text` into `grid`, failing the test with the error if refused.
   void Parse(const std::string &text)
   {
      LevelSourceError error;
      ASSERT_TRUE(ParseLevelSource(text, grid, &error))
         << error.line << ":" << error.column << ": " << error.message;
   }

   LevelSourceError Refuse(const std::string &text)
   {
      LevelSourceError error;
      grid[0][0][0] = 77;
      EXPECT_FALSE(ParseLevelSource(text, grid, &error));
      EXPECT_EQ(grid[0][0][0], 77) << "a refused text changed the map";
      return error;
   }
};

TEST_F(LevelTextTest, GridsFillLayersColumnByColumnWithShortRowsEmpty)
{
   Parse("; comment\n"
         "[layer 0] ground\n"
         "g#\n"
         "\n"
         " s ; a trailing note\n"
         "[layer 3]\n"
         ".........E\n");
   EXPECT_EQ(grid[0][0][0], 1);
   EXPECT_EQ(grid[0][1][0], 2);
   EXPECT_EQ(grid[0][0][1], 0);   // blank line: an empty row
   EXPECT_EQ(grid[0][0][2], 0);   // space: empty
   EXPECT_EQ(grid[0][1][2], 3);
   EXPECT_EQ(grid[0][2][2], 0);   // the note is not part of the row
   EXPECT_EQ(grid[3][9][0], 49);
   EXPECT_EQ(grid[0][199][49], 0);
}

TEST_F(LevelTextTest, FileLegendBeatsDefaultsAndLayerLegendBeatsFileLegend)
{
   Parse("[legend]\n"
         "g 300 red grass\n"
         "Q 65535\n"
         "[legend 2]\n"
         "g 2\n"
         "[layer 0]\n"
         "gQ\n"
         "[layer 2]\n"
         "g@\n");
   EXPECT_EQ(grid[0][0][0], 300);
   EXPECT_EQ(grid[0][1][0], 65535);
   EXPECT_EQ(grid[2][0][0], 2);
   EXPECT_EQ(grid[2][1][0], 1);
   LevelSourceError error = Refuse("[layer 0]\n@\n");   // an enemy start belongs to layer 2 only
   EXPECT_EQ(error.line, 2);
   EXPECT_EQ(error.column, 1);
}

TEST_F(LevelTextTest, FileLegendBeatsTheDefaultEnemyStartToo)
{
   Parse("[legend]\n"
         "@ 5\n"
         "[layer 0]\n"
         "@\n"
         "[layer 2]\n"
         "@\n");
   EXPECT_EQ(grid[kGroundLayer][0][0], 5);
   EXPECT_EQ(grid[kEnemyLayer][0][0], 5);
}

TEST_F(LevelTextTest, ByteOrderMarkIsSkippedAndFourByteCharactersWork)
{
   Parse("\xEF\xBB\xBF[legend]\n"
         "\xF0\x9F\x90\x89 7 dragon\n"
         "[layer 0]\n"
         "g\xF0\x9F\x90\x89g\n");
   EXPECT_EQ(grid[kGroundLayer][1][0], 7);
   EXPECT_EQ(grid[kGroundLayer][2][0], 1);
}

TEST_F(LevelTextTest, DefaultLegendHasEveryTileAndTheEnemyStart)
{
   for (int v = 0; v <= 49; v++)
      EXPECT_NE(DefaultLegendChar(kGroundLayer, (unsigned short)v), 0) << "tile " << v;
   EXPECT_EQ(DefaultLegendChar(kEnemyLayer, 1), '@');
   EXPECT_EQ(DefaultLegendChar(kItemLayer, 49), 'E');
}

TEST_F(LevelTextTest, ErrorsNameTheLineAndColumn)
{
   struct Case {
      const char *text;
      int line, column;
      const char *words;
   } cases[] = {
      {"[layer 0]\ngg?g\n", 2, 3, "'?' is not in the legend"},
      {"[layer 1]\n\t\n", 2, 1, "tab"},
      {"gg\n", 1, 1, "outside a section"},
      {"[layers 0]\n", 1, 2, "unknown section"},
      {"[layer 4]\n", 1, 2, "unknown section"},
      {"[layer 0]\n[layer 0]\n", 2, 2, "given twice"},
      {"[legend]\nZ\n", 2, 2, "tile value"},
      {"[legend]\nZ 65536\n", 2, 3, "larger than 65535"},
      {"[legend]\nZ 12x\n", 2, 5, "space after"},
      {"[legend]\n Z 4\n", 2, 1, "cannot be a legend character"},
      {"[legend]\nZ 1\nZ 2\n", 3, 1, "already"},
      {"[legend]\n  \nZ 1\n[layer 0\n", 4, 9, "missing ']'"},
      {"[layer 0]\ng\xC3(\n", 2, 2, "UTF-8"},
      {"[layer 0]\ngg\xC0\xBBgg\n", 2, 3, "UTF-8"},        // ';' in two bytes
      {"[layer 0]\ng\xE0\x80\xBB\n", 2, 2, "UTF-8"},       // and in three
      {"[layer 0]\ng\xED\xA0\x80\n", 2, 2, "UTF-8"},       // a surrogate
      {"[layer 0]\ngg\xF4\x90\x80\x80\n", 2, 3, "UTF-8"}, // past U+10FFFF
      {"[layer 0]\ng\xF0\x9F\x90\x89\n", 2, 2, "'\xF0\x9F\x90\x89' is not in the legend"},
   };
   for (const Case &c : cases) {
      LevelSourceError error = Refuse(c.text);
      EXPECT_EQ(error.line, c.line) << c.text;
      EXPECT_EQ(error.column, c.column) << c.text;
      EXPECT_NE(error.message.find(c.words), std::string::npos) << c.text << " -> " << error.message;
   }
}

TEST_F(LevelTextTest, GridsLargerThanTheMapAreRefused)
{
   LevelSourceError wide = Refuse("[layer 0]\n" + std::string(kMapCols, '.') + "g\n");
   EXPECT_EQ(wide.line, 2);
   EXPECT_EQ(wide.column, kMapCols + 1);

   std::string tall = "[layer 1]\n";
   for (int r = 0; r < kMapRows; r++)
      tall += "g\n";
   LevelSourceError error;
   EXPECT_TRUE(ParseLevelSource(tall + "\n   \n", grid, &error)) << "trailing blank rows are harmless";
   LevelSourceError rows = Refuse(tall + "  g\n");
   EXPECT_EQ(rows.line, kMapRows + 2);
   EXPECT_EQ(rows.column, 3);
   EXPECT_NE(rows.message.find("more than 50 rows"), std::string::npos);
}

// Every cell a different value, most of them without a default character.
TEST_F(LevelTextTest, AnyMapFormatsToTextThatParsesBackUnchanged)
{
   unsigned v = 12345;
   for (int l = 0; l < kMapLayers; l++)
      for (int c = 0; c < kMapCols; c++)
         for (int r = 0; r < kMapRows; r++)
            grid[l][c][r] = (unsigned short)((v = v * 1103515245u + 12345u) >> 16);
   grid[kEnemyLayer][3][4] = 1;
   grid[kGroundLayer][5][6] = 0;
   std::string text = FormatLevelSource(grid, "random");
   LevelSourceError error;
   ASSERT_TRUE(ParseLevelSource(text, again, &error)) << error.line << ":" << error.column << ": "
                                                      << error.message;
   EXPECT_EQ(memcmp(grid, again, sizeof(grid)), 0);
}

TEST_F(LevelTextTest, FormattedTextUsesTheDefaultCharactersAndTrimsEmptyCells)
{
   grid[kGroundLayer][0][2] = 1;
   grid[kGroundLayer][1][2] = 2;
   grid[kEnemyLayer][4][1] = 1;
   grid[kItemLayer][2][0] = 49;
   std::string text = FormatLevelSource(grid, "small");
   EXPECT_NE(text.find("[layer 0] ground\n\n\ng#\n\n[layer 1]"), std::string::npos) << text;
   EXPECT_NE(text.find("[layer 2] enemy starts\n\n....@\n"), std::string::npos) << text;
   EXPECT_NE(text.find("..E\n"), std::string::npos) << text;
}

// The tool itself, on the levels the build ships.
class LevelcToolTest : public LevelTextTest {};

TEST_F(LevelcToolTest, ShippedMapsDecompileAndCompileToTheSameBytes)
{
   std::string dir = EnterTempDir();
   for (int n = 1; n <= 5; n++) {
      std::string map = RunDir() + "/map" + std::to_string(n) + ".dat";
      SCOPED_TRACE(map);
      ASSERT_EQ(Shell(std::string(LEVELC) + " decompile " + map + " level.txt"), 0);
      ASSERT_EQ(Shell(std::string(LEVELC) + " compile level.txt again.dat"), 0);
      EXPECT_EQ(ReadFile("again.dat"), ReadFile(map));
      ASSERT_EQ(Shell("pack u " + map + " a.raw > /dev/null && pack u again.dat b.raw > /dev/null"), 0);
      std::string raw = ReadFile("a.raw");
      EXPECT_EQ(raw.size(), 4u * kMapCells);
      EXPECT_EQ(ReadFile("b.raw"), raw);
   }
}

TEST_F(LevelcToolTest, BadTextLeavesTheOldMapFileAlone)
{
   EnterTempDir();
   WriteFile("good.txt", "[layer 0]\n.....\ngggg\n");
   ASSERT_EQ(Shell(std::string(LEVELC) + " compile good.txt out.dat"), 0);
   std::string before = ReadFile("out.dat");
   ASSERT_EQ(ReadMapFile("out.dat", grid), MAPFILE_OK);
   EXPECT_EQ(grid[kGroundLayer][3][1], 1);

   WriteFile("bad.txt", "[layer 0]\n.....\ngg!g\n");
   std::string message = "levelc.log";
   EXPECT_NE(std::system((std::string(LEVELC) + " compile bad.txt out.dat 2> " + message).c_str()), 0);
   EXPECT_EQ(ReadFile(message), "bad.txt:3:3: '!' is not in the legend of layer 0\n");
   EXPECT_EQ(ReadFile("out.dat"), before);
   EXPECT_EQ(Shell("ls -A | grep -q '\\.new'"), 256) << "a temporary file was left behind";
   EXPECT_NE(Shell(std::string(LEVELC) + " compile bad.txt fresh.dat"), 0);
   EXPECT_EQ(Shell("test -e fresh.dat"), 256) << "a refused text wrote a map file";
}

TEST_F(LevelcToolTest, InputThatIsNotReadableTextIsRefusedAndNothingWritten)
{
   EnterTempDir();
   WriteFile("good.txt", "[layer 0]\ngggg\n");
   ASSERT_EQ(Shell(std::string(LEVELC) + " compile good.txt out.dat"), 0);
   std::string before = ReadFile("out.dat");
   ASSERT_EQ(mkdir("folder", 0755), 0);
   EXPECT_NE(std::system((std::string(LEVELC) + " compile folder out.dat 2> levelc.log").c_str()), 0);
   EXPECT_EQ(ReadFile("levelc.log"), "folder: cannot read the file: Is a directory\n");
   EXPECT_EQ(ReadFile("out.dat"), before);
   EXPECT_NE(Shell(std::string(LEVELC) + " compile folder fresh.dat"), 0);
   EXPECT_EQ(Shell("test -e fresh.dat"), 256);
}

// The file's name goes into the text's title line, whatever bytes it holds
// and whatever locale the tool runs in (a container has none).
TEST_F(LevelcToolTest, DecompiledTextCompilesBackWhateverTheFileName)
{
   EnterTempDir();
   grid[kGroundLayer][3][4] = 2;
   std::string levelc = std::string("env -u LANG -u LC_ALL -u LC_CTYPE ") + LEVELC;
   for (std::string name : {"lat\xE9.dat", "two\nlines.dat", "back\\slash\r.dat"}) {
      SCOPED_TRACE(name);
      ASSERT_EQ(WriteMapFile(name.c_str(), grid), MAPFILE_OK);
      ASSERT_EQ(Shell(levelc + " decompile '" + name + "' level.txt"), 0);
      ASSERT_EQ(Shell(levelc + " compile level.txt 'again\xE9.dat'"), 0) << ReadFile("level.txt");
      ASSERT_EQ(rename("again\xE9.dat", "again.dat"), 0);
      EXPECT_EQ(ReadFile("again.dat"), ReadFile(name));
   }
   std::string text = ReadFile("level.txt");
   EXPECT_EQ(text.substr(0, text.find('\n')), "; Level decompiled from back\\\\slash\\x0D.dat");
}

// Every file levelc writes goes through the maps' safe writer: a link stays
// a link, the permission bits stay, and a planted NAME.new is left alone.
TEST_F(LevelcToolTest, WrittenFilesKeepTheirLinksAndModesAndTakeNothingOver)
{
   EnterTempDir();
   ASSERT_EQ(WriteMapFile("in.dat", grid), MAPFILE_OK);
   WriteFile("kept.txt", "old");
   ASSERT_EQ(chmod("kept.txt", 0640), 0);
   ASSERT_EQ(symlink("kept.txt", "out.txt"), 0);
   WriteFile("victim", "precious");
   ASSERT_EQ(symlink("victim", "kept.txt.new"), 0);
   ASSERT_EQ(Shell(std::string(LEVELC) + " decompile in.dat out.txt"), 0);
   struct stat st;
   ASSERT_EQ(lstat("out.txt", &st), 0);
   EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link became a plain file";
   ASSERT_EQ(stat("kept.txt", &st), 0);
   EXPECT_EQ(st.st_mode & 07777, 0640u);
   EXPECT_EQ(ReadFile("kept.txt").rfind("; Level decompiled from in.dat", 0), 0u);
   EXPECT_EQ(ReadFile("victim"), "precious");
}

// A FIFO or a device is neither replaced nor opened (no reader: it would
// block), and every refusal gives its real reason.
TEST_F(LevelcToolTest, WriteRefusalsNameTheFileAndTheRealReason)
{
   EnterTempDir();
   ASSERT_EQ(WriteMapFile("in.dat", grid), MAPFILE_OK);
   ASSERT_EQ(mkfifo("fifo", 0644), 0);
   ASSERT_EQ(symlink("loop.txt", "loop.txt"), 0);
   std::string levelc = "timeout 20 " + std::string(LEVELC) + " decompile in.dat ";
   EXPECT_EQ(std::system((levelc + "fifo 2> fifo.log").c_str()), 256);
   EXPECT_EQ(ReadFile("fifo.log"), "fifo: cannot write the file: Not a regular file\n");
   struct stat st;
   ASSERT_EQ(lstat("fifo", &st), 0);
   EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was replaced";
   EXPECT_EQ(std::system((levelc + "loop.txt 2> loop.log").c_str()), 256);
   EXPECT_EQ(ReadFile("loop.log"), "loop.txt: cannot write the file: Too many levels of symbolic links\n");
}

TEST_F(LevelcToolTest, DecompileRefusesFilesThatAreNotMaps)
{
   EnterTempDir();
   WriteFile("plain.dat", "not packed");
   EXPECT_NE(Shell(std::string(LEVELC) + " decompile plain.dat out.txt"), 0);
   EXPECT_NE(Shell(std::string(LEVELC) + " decompile missing.dat out.txt"), 0);
   EXPECT_EQ(Shell("test -e out.txt"), 256);
}
