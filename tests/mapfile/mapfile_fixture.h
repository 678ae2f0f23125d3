// What the map file tests share: a headless Allegro in a temporary folder,
// and the map file's bytes as Allegro's own `pack` tool unpacks them.

#ifndef MAPFILE_FIXTURE_H
#define MAPFILE_FIXTURE_H

#include "headless.h"
#include "mapfile.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

constexpr int kRawBytes = kMapCells * 4;

inline std::vector<unsigned char> ReadBytes(const std::string &path)
{
   std::ifstream in(path, std::ios::binary);
   return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// Unpacks a map file with Allegro's `pack u`, not with our reader.
inline std::vector<unsigned char> UnpackWithTool(const std::string &packed)
{
   std::string raw = packed + ".raw";
   std::string cmd = std::string(PACK_TOOL) + " u '" + packed + "' '" + raw + "' >/dev/null";
   EXPECT_EQ(system(cmd.c_str()), 0) << cmd;
   return ReadBytes(raw);
}

inline unsigned long RawValue(const std::vector<unsigned char> &raw, size_t offset)
{
   return raw[offset] | raw[offset + 1] << 8 | raw[offset + 2] << 16 |
          (unsigned long)raw[offset + 3] << 24;
}

// Writes `count` 32-bit values into a packed file the way Allegro does, so
// the reader can be fed values our writer never produces.
inline void WritePackedValues(const std::string &path, int count, long (*value)(int index))
{
   PACKFILE *f = pack_fopen(path.c_str(), "wp");
   ASSERT_NE(f, nullptr);
   for (int i = 0; i < count; i++)
      pack_iputl(value(i), f);
   pack_fclose(f);
}

class MapFileTest : public HeadlessTest {
 protected:
   void SetUp() override
   {
      HeadlessTest::SetUp();
      StartHeadless(320, 240);
      dir_ = EnterTempDir();
      memset(map_, 0, sizeof(map_));
   }
   void FillRandom(MapGrid m, unsigned seed)
   {
      std::mt19937 gen(seed);
      for (int l = 0; l < kMapLayers; l++)
         for (int c = 0; c < kMapCols; c++)
            for (int r = 0; r < kMapRows; r++)
               m[l][c][r] = (unsigned short)gen();
   }

   std::string dir_;
   MapGrid map_;
};


#endif
