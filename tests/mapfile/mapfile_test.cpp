// The map file codec against Allegro's own packed-file tool and its failure cases.

#include "mapfile_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST_F(MapFileTest, CellsLieInFileOrderLayerRowColumn)
{
   map_[0][5][2] = 0x1234;
   map_[0][199][0] = 7;      // last value of row 0
   map_[1][0][0] = 8;        // first value of layer 1
   map_[3][199][49] = 9;     // the very last value
   ASSERT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);

   std::vector<unsigned char> raw = UnpackWithTool("map.dat");
   ASSERT_EQ(raw.size(), (size_t)kRawBytes);
   // Layer 0, column 5, row 2 is the 406th value: bytes 1620 to 1623.
   EXPECT_EQ(raw[1620], 0x34);
   EXPECT_EQ(raw[1621], 0x12);
   EXPECT_EQ(raw[1622], 0);
   EXPECT_EQ(raw[1623], 0);
   EXPECT_EQ(RawValue(raw, 1012), 0u) << "the in-memory order would have put it at value 253";
   EXPECT_EQ(RawValue(raw, 796), 7u);
   EXPECT_EQ(RawValue(raw, 40000), 8u);
   EXPECT_EQ(RawValue(raw, 159996), 9u);
}

TEST_F(MapFileTest, WriterWidensWithZeroUpperBytes)
{
   map_[2][0][0] = 65535;
   ASSERT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);
   std::vector<unsigned char> raw = UnpackWithTool("map.dat");
   ASSERT_EQ(raw.size(), (size_t)kRawBytes);
   const unsigned char expected[4] = {0xFF, 0xFF, 0x00, 0x00};
   EXPECT_EQ(memcmp(&raw[80000], expected, 4), 0);
   for (size_t i = 0; i + 3 < raw.size(); i += 4)
      EXPECT_EQ(raw[i + 2] | raw[i + 3], 0) << "upper half of value at byte " << i;
}

TEST_F(MapFileTest, ReaderKeepsOnlyTheLowSixteenBits)
{
   WritePackedValues("odd.dat", kMapCells, [](int i) -> long {
      if (i == 0) return 65541;
      if (i == 1) return -1;
      return i;
   });
   ASSERT_EQ(ReadMapFile("odd.dat", map_), MAPFILE_OK);
   EXPECT_EQ(map_[0][0][0], 5);
   EXPECT_EQ(map_[0][1][0], 65535);
   EXPECT_EQ(map_[0][5][2], 405);              // value index 2 * 200 + 5
   EXPECT_EQ(map_[3][199][49], (unsigned short)(kMapCells - 1));
}

TEST_F(MapFileTest, RandomMapSurvivesWriteAndRead)
{
   MapGrid original;
   FillRandom(original, 12345);
   ASSERT_EQ(WriteMapFile("map.dat", original), MAPFILE_OK);
   ASSERT_EQ(ReadMapFile("map.dat", map_), MAPFILE_OK);
   EXPECT_EQ(memcmp(original, map_, sizeof(map_)), 0);

   // And Allegro's tool agrees with our reader, value by value.
   std::vector<unsigned char> raw = UnpackWithTool("map.dat");
   ASSERT_EQ(raw.size(), (size_t)kRawBytes);
   int mismatches = 0;
   for (int l = 0; l < kMapLayers; l++)
      for (int r = 0; r < kMapRows; r++)
         for (int c = 0; c < kMapCols; c++)
            if (RawValue(raw, 4 * (10000 * l + 200 * r + c)) != original[l][c][r])
               mismatches++;
   EXPECT_EQ(mismatches, 0);
}

TEST_F(MapFileTest, BytesAfterTheLastValueAreIgnored)
{
   WritePackedValues("long.dat", kMapCells + 10, [](int i) -> long { return i % 50; });
   ASSERT_EQ(ReadMapFile("long.dat", map_), MAPFILE_OK);
   EXPECT_EQ(map_[3][199][49], (kMapCells - 1) % 50);
}

TEST_F(MapFileTest, FailedReadsLeaveTheMapUntouched)
{
   FillRandom(map_, 99);
   MapGrid before;
   memcpy(before, map_, sizeof(map_));

   EXPECT_EQ(ReadMapFile("missing.dat", map_), MAPFILE_CANNOT_OPEN);

   // A FIFO no one writes to must not block, nor a folder count as a map;
   // the alarm ends a reader that waits.
   ASSERT_EQ(mkfifo("pipe.dat", 0600), 0);
   ASSERT_EQ(mkdir("folder.dat", 0700), 0);
   alarm(10);
   EXPECT_EQ(ReadMapFile("pipe.dat", map_), MAPFILE_CANNOT_OPEN);
   EXPECT_EQ(ReadMapFile("folder.dat", map_), MAPFILE_CANNOT_OPEN);
   alarm(0);

   std::ofstream("plain.dat") << "this is not a packed file";
   EXPECT_EQ(ReadMapFile("plain.dat", map_), MAPFILE_NOT_PACKED);

   std::ofstream("empty.dat").close();
   EXPECT_EQ(ReadMapFile("empty.dat", map_), MAPFILE_NOT_PACKED);

   WritePackedValues("short.dat", kMapCells - 1, [](int) -> long { return 3; });
   EXPECT_EQ(ReadMapFile("short.dat", map_), MAPFILE_SHORT);

   // A packed file cut off in the middle of its data.
   MapGrid full;
   FillRandom(full, 7);
   ASSERT_EQ(WriteMapFile("full.dat", full), MAPFILE_OK);
   std::vector<unsigned char> bytes = ReadBytes("full.dat");
   std::ofstream("cut.dat", std::ios::binary)
      .write((const char *)bytes.data(), bytes.size() / 2);
   EXPECT_EQ(ReadMapFile("cut.dat", map_), MAPFILE_SHORT);

   EXPECT_EQ(memcmp(before, map_, sizeof(map_)), 0);
}

// The new file is packed in memory, byte for byte as Allegro packs it.
TEST_F(MapFileTest, BytesMatchAllegrosOwnPackedWriter)
{
   static MapGrid noisy;
   FillRandom(noisy, 11);
   ASSERT_EQ(WriteMapFile("ours.dat", noisy), MAPFILE_OK);
   WritePackedValues("allegro.dat", kMapCells, [](int i) -> long {
      int layer = i / (kMapRows * kMapCols), row = i / kMapCols % kMapRows, col = i % kMapCols;
      return noisy[layer][col][row];
   });
   EXPECT_EQ(ReadBytes("ours.dat"), ReadBytes("allegro.dat"));
}

TEST(MapValueAt, CellsOutsideTheMapReadAsEmpty)
{
   static MapGrid m;
   m[0][0][0] = 4;
   m[3][199][49] = 5;
   EXPECT_EQ(MapValueAt(m, 0, 0, 0), 4);
   EXPECT_EQ(MapValueAt(m, 3, 199, 49), 5);
   EXPECT_EQ(MapValueAt(m, 0, -1, 0), 0);
   EXPECT_EQ(MapValueAt(m, 0, 0, -1), 0);
   EXPECT_EQ(MapValueAt(m, 3, 200, 49), 0);
   EXPECT_EQ(MapValueAt(m, 3, 199, 50), 0);
   EXPECT_EQ(MapValueAt(m, 4, 0, 0), 0);
   EXPECT_FALSE(MapCellInside(-1, 0, 0));
}

}  // namespace
