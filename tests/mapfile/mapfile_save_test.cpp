// Saving a map: the new file beside the old one, synced, put in place in one
// step, never through what someone else planted, and the old file kept on
// any failure.

#include "mapfile_fixture.h"
#include "platform.h"
#include "safefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

constexpr uid_t kNobody = 65534;

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

}  // namespace

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

// Root may write any file and read any folder, so these are tried as a user
// without privileges, in a folder of its own where a rename would succeed.
TEST_F(MapFileTest, WriteProtectedFileIsRefusedAndUnreadableFolderSaves)
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
      // A folder one may write but not read cannot be opened to sync the new
      // name: the save still took place and must say so.
      if (mkdir("drop", 0300) != 0 || WriteMapFile("drop/map.dat", map_) != MAPFILE_OK)
         _exit(14);
      _exit(0);
   }
   int status = 0;
   waitpid(child, &status, 0);
   ASSERT_TRUE(WIFEXITED(status));
   EXPECT_NE(WEXITSTATUS(status), 10) << "could not become an unprivileged user";
   EXPECT_NE(WEXITSTATUS(status), 12) << "a write-protected file was replaced";
   EXPECT_NE(WEXITSTATUS(status), 14) << "a save in a folder that cannot be read was called failed";
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
   // After the rename the new contents are the file's: a folder sync that
   // fails then must not call the save failed.
   fail_folder_sync = true;
   EXPECT_EQ(WriteMapFile("map.dat", map_), MAPFILE_OK);
   fail_folder_sync = false;
   EXPECT_NE(ReadBytes("map.dat"), current);
   sync_watched.clear();
}

// What the writer never replaces nor opens, and the reason it gives: the
// names below are made in the test's own folder, never in the system's /dev.

TEST_F(MapFileTest, NamesThatHoldNoRegularFileAreRefusedUntouched)
{
   ASSERT_EQ(mkfifo("fifo", 0644), 0);   // no reader: opening it would block
   ASSERT_EQ(mkdir("folder", 0755), 0);
   ASSERT_EQ(symlink("fifo", "to-fifo"), 0);
   std::vector<std::pair<std::string, mode_t>> names = {
      {"fifo", S_IFIFO}, {"to-fifo", S_IFIFO}, {"folder", S_IFDIR}};
   // Only a privileged user may make device nodes; these copy /dev/null
   // and a loop disk, as root would name them to the tools.
   if (mknod("null", S_IFCHR | 0666, makedev(1, 3)) == 0 &&
       mknod("disk", S_IFBLK | 0600, makedev(7, 0)) == 0) {
      names.push_back({"null", S_IFCHR});
      names.push_back({"disk", S_IFBLK});
   }
   for (const auto &name : names) {
      SCOPED_TRACE(name.first);
      EXPECT_FALSE(WriteFileSafely(name.first.c_str(), "replay\n"));
      EXPECT_EQ(WriteFailureReason(), name.second == S_IFDIR ? "Is a directory" : "Not a regular file");
      struct stat st;
      ASSERT_EQ(stat(name.first.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & S_IFMT, name.second) << "replaced by a plain file";
   }
   EXPECT_EQ(Leftovers("."), 0);
}

