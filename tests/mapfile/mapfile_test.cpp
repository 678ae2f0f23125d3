// The map file codec against Allegro's own packed-file tool and its failure cases.

#include "headless.h"
#include "mapfile.h"
#include "platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The writer's syncs, watched by standing in for the C library's fsync in
// this test program: what was synced, and which file the watched name held.
struct SyncCall {
   std::string path;
   bool folder;
   ino_t ino;
   ino_t watched_ino;
};
static std::vector<SyncCall> sync_calls;
static std::string sync_watched;
static bool fail_file_sync = false;
static bool fail_folder_sync = false;

extern "C" int fsync(int fd)
{
   struct stat st, watched;
   char path[PATH_MAX] = "";
   std::string link = "/proc/self/fd/" + std::to_string(fd);
   ssize_t n = readlink(link.c_str(), path, sizeof(path) - 1);
   path[n > 0 ? n : 0] = 0;
   if (fstat(fd, &st) != 0)
      return -1;
   ino_t watched_ino = stat(sync_watched.c_str(), &watched) == 0 ? watched.st_ino : 0;
   sync_calls.push_back({path, S_ISDIR(st.st_mode), st.st_ino, watched_ino});
   if (S_ISDIR(st.st_mode) ? fail_folder_sync : fail_file_sync) {
      errno = EIO;
      return -1;
   }
   return (int)syscall(SYS_fsync, fd);
}

namespace {

constexpr int kRawBytes = kMapCells * 4;
constexpr uid_t kNobody = 65534;

std::vector<unsigned char> ReadBytes(const std::string &path)
{
   std::ifstream in(path, std::ios::binary);
   return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// Unpacks a map file with Allegro's `pack u`, not with our reader.
std::vector<unsigned char> UnpackWithTool(const std::string &packed)
{
   std::string raw = packed + ".raw";
   std::string cmd = std::string(PACK_TOOL) + " u '" + packed + "' '" + raw + "' >/dev/null";
   EXPECT_EQ(system(cmd.c_str()), 0) << cmd;
   return ReadBytes(raw);
}

// Temporary files the writer left in a folder.
int Leftovers(const char *folder)
{
   DIR *d = opendir(folder);
   if (!d)
      return -1;
   int n = 0;
   while (struct dirent *e = readdir(d))
      n += strstr(e->d_name, ".new-") != nullptr;
   closedir(d);
   return n;
}

unsigned long RawValue(const std::vector<unsigned char> &raw, size_t offset)
{
   return raw[offset] | raw[offset + 1] << 8 | raw[offset + 2] << 16 |
          (unsigned long)raw[offset + 3] << 24;
}

// Writes `count` 32-bit values into a packed file the way Allegro does, so
// the reader can be fed values our writer never produces.
void WritePackedValues(const std::string &path, int count, long (*value)(int index))
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

// Whoever can write the folder may guess the old temporary name and plant
// a link or a file there; the writer neither writes through it nor takes it.
TEST_F(MapFileTest, WhatIsPlantedBesideTheTargetIsNeverWrittenNorTaken)
{
   std::ofstream("victim.txt") << "precious";
   ASSERT_EQ(chmod("victim.txt", 0644), 0);
   ASSERT_EQ(symlink((dir_ + "/victim.txt").c_str(), "map.dat.new"), 0);
   ASSERT_EQ(mkdir("other.dat.new", 0755), 0);
   map_[0][0][0] = 2;
   EXPECT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);
   EXPECT_EQ(WriteMapFile("other.dat", map_), MAPFILE_OK);
   std::ifstream victim("victim.txt");
   EXPECT_EQ(std::string(std::istreambuf_iterator<char>(victim), {}), "precious");
   struct stat st;
   ASSERT_EQ(stat("victim.txt", &st), 0);
   EXPECT_EQ(st.st_mode & 07777, 0644u);
   ASSERT_EQ(lstat("map.dat.new", &st), 0);
   EXPECT_TRUE(S_ISLNK(st.st_mode));
   EXPECT_EQ(ReadMapFile("map.dat", map_), MAPFILE_OK);
   EXPECT_EQ(Leftovers("."), 0);

   EXPECT_EQ(WriteMapFile("no/such/folder/map.dat", map_), MAPFILE_WRITE_FAILED);
}

// Without a UTF-8 locale Allegro would turn the byte 0xE9 into '^'.
TEST_F(MapFileTest, NamesReachTheSystemByteForByteWhateverTheLocale)
{
   set_filename_encoding(U_ASCII);
   KeepFileNamesAsGiven();
   map_[2][3][4] = 5;
   ASSERT_EQ(WriteMapFile("lat\xE9.dat", map_), MAPFILE_OK);
   EXPECT_EQ(access("lat\xE9.dat", F_OK), 0);
   MapGrid read;
   ASSERT_EQ(ReadMapFile("lat\xE9.dat", read), MAPFILE_OK);
   EXPECT_EQ(read[2][3][4], 5);
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

TEST_F(MapFileTest, FullDiskKeepsTheEarlierFileAndLeavesNoTemporary)
{
   MapGrid noisy;
   FillRandom(noisy, 3);   // random values pack badly, so the file is large
   ASSERT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);
   std::vector<unsigned char> earlier = ReadBytes("map.dat");

   // A file-size limit stands in for a full disk; it applies to the child only.
   pid_t child = fork();
   ASSERT_GE(child, 0);
   if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit = {20000, 20000};
      setrlimit(RLIMIT_FSIZE, &limit);
      _exit(WriteMapFile("map.dat", noisy) == MAPFILE_WRITE_FAILED ? 0 : 1);
   }
   int status = 0;
   waitpid(child, &status, 0);
   ASSERT_TRUE(WIFEXITED(status)) << "the writer crashed on a full disk";
   EXPECT_EQ(WEXITSTATUS(status), 0) << "a failed write was reported as success";
   EXPECT_EQ(ReadBytes("map.dat"), earlier);
   EXPECT_EQ(Leftovers("."), 0);
}

// What a save replaces: a linked level, the file's permissions, and never a
// file the user may not write.

TEST_F(MapFileTest, SaveThroughLinksReplacesTheTargetAndKeepsTheLinks)
{
   ASSERT_EQ(mkdir("kept", 0755), 0);
   map_[0][0][0] = 1;
   ASSERT_EQ(WriteMapFile("kept/level.dat", map_), MAPFILE_OK);
   ASSERT_EQ(symlink("kept/level.dat", "hop.dat"), 0);   // relative, as users make them
   ASSERT_EQ(symlink((dir_ + "/hop.dat").c_str(), "map.dat"), 0);
   ASSERT_EQ(symlink("missing.dat", "kept/new.dat"), 0);

   map_[0][0][0] = 2;
   sync_calls.clear();
   ASSERT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);
   struct stat st;
   ASSERT_EQ(lstat("map.dat", &st), 0);
   EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link became a plain file";
   ASSERT_EQ(lstat("hop.dat", &st), 0);
   EXPECT_TRUE(S_ISLNK(st.st_mode));
   MapGrid read;
   ASSERT_EQ(ReadMapFile("kept/level.dat", read), MAPFILE_OK);
   EXPECT_EQ(read[0][0][0], 2) << "the linked level was left unchanged";
   ASSERT_EQ(sync_calls.size(), 2u);
   EXPECT_EQ(sync_calls[0].path.rfind(dir_ + "/kept/level.dat.new-", 0), 0u)
      << sync_calls[0].path << ": the temporary file is not beside the target";
   EXPECT_EQ(sync_calls[1].path, dir_ + "/kept");

   // A link to a file not made yet: the file is made where the link points.
   ASSERT_EQ(WriteMapFile("kept/new.dat", map_), MAPFILE_OK);
   EXPECT_EQ(ReadMapFile("kept/missing.dat", read), MAPFILE_OK);
   ASSERT_EQ(lstat("kept/new.dat", &st), 0);
   EXPECT_TRUE(S_ISLNK(st.st_mode));

   ASSERT_EQ(symlink("loop.dat", "loop.dat"), 0);
   EXPECT_EQ(WriteMapFile("loop.dat", map_), MAPFILE_WRITE_FAILED);
   EXPECT_EQ(Leftovers(".") + Leftovers("kept"), 0);
}

TEST_F(MapFileTest, SaveKeepsThePermissionBits)
{
   for (mode_t mode : {0600, 0640, 0604}) {
      ASSERT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);
      ASSERT_EQ(chmod("map.dat", mode), 0);
      map_[0][0][0]++;
      ASSERT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);
      struct stat st;
      ASSERT_EQ(stat("map.dat", &st), 0);
      EXPECT_EQ(st.st_mode & 07777, mode);
   }
}

// Root may write any file, so the refusal is tried as a user without
// privileges, in a folder of its own where a rename would succeed.
TEST_F(MapFileTest, WriteProtectedFileIsRefusedAndKept)
{
   pid_t child = fork();
   ASSERT_GE(child, 0);
   if (child == 0) {
      if (geteuid() == 0) {
         if (chmod(dir_.c_str(), 0755) != 0 || mkdir("user", 0755) != 0 ||
             chown("user", kNobody, kNobody) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0 ||
             chdir("user") != 0)
            _exit(10);
      }
      map_[0][0][0] = 1;
      if (WriteMapFile("map.dat", map_) != MAPFILE_OK || chmod("map.dat", 0444) != 0)
         _exit(11);
      std::vector<unsigned char> earlier = ReadBytes("map.dat");
      map_[0][0][0] = 2;
      if (WriteMapFile("map.dat", map_) != MAPFILE_WRITE_FAILED)
         _exit(12);
      if (ReadBytes("map.dat") != earlier || Leftovers(".") != 0)
         _exit(13);
      _exit(0);
   }
   int status = 0;
   waitpid(child, &status, 0);
   ASSERT_TRUE(WIFEXITED(status));
   EXPECT_NE(WEXITSTATUS(status), 10) << "could not become an unprivileged user";
   EXPECT_NE(WEXITSTATUS(status), 12) << "a write-protected file was replaced";
   EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(MapFileTest, NewFileIsSyncedBeforeTheRenameAndTheFolderAfter)
{
   ASSERT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);
   sync_watched = dir_ + "/map.dat";
   sync_calls.clear();
   map_[1][2][3] = 4;
   ASSERT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);
   ASSERT_EQ(sync_calls.size(), 2u);
   EXPECT_FALSE(sync_calls[0].folder);
   EXPECT_EQ(sync_calls[0].path.rfind(dir_ + "/map.dat.new-", 0), 0u) << sync_calls[0].path;
   EXPECT_NE(sync_calls[0].watched_ino, sync_calls[0].ino) << "synced after the rename";
   EXPECT_TRUE(sync_calls[1].folder);
   EXPECT_EQ(sync_calls[1].path, dir_);
   EXPECT_EQ(sync_calls[1].watched_ino, sync_calls[0].ino) << "folder synced before the rename";

   // A sync that fails is a save that fails; before the rename nothing changes.
   std::vector<unsigned char> current = ReadBytes("map.dat");
   map_[1][2][3] = 5;
   fail_file_sync = true;
   EXPECT_EQ(WriteMapFile("map.dat", map_), MAPFILE_WRITE_FAILED);
   fail_file_sync = false;
   EXPECT_EQ(ReadBytes("map.dat"), current);
   EXPECT_EQ(Leftovers("."), 0);
   fail_folder_sync = true;
   EXPECT_EQ(WriteMapFile("map.dat", map_), MAPFILE_WRITE_FAILED);
   fail_folder_sync = false;
   sync_watched.clear();
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
