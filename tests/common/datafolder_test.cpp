// The data folder search: the start folder first, then the executable's
// folder, then the installed data folders, each named once.

#include <unistd.h>

#include <fstream>
#include <string>

#include "datafolder.h"
#include "headless.h"

namespace {

std::string OwnFolder()
{
   char path[4096];
   ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
   std::string exe(path, n > 0 ? n : 0);
   return exe.substr(0, exe.rfind('/'));
}

void Touch(const std::string &path)
{
   std::ofstream(path) << "x";
}

class DataFolderTest : public HeadlessTest {
 protected:
   void TearDown() override
   {
      unlink(beside_exe_.c_str());
      HeadlessTest::TearDown();
   }
   // A file beside this test program, removed after the test.
   std::string PutBesideExecutable(const char *name)
   {
      beside_exe_ = OwnFolder() + "/" + name;
      Touch(beside_exe_);
      return beside_exe_;
   }
   std::string beside_exe_;
};

TEST_F(DataFolderTest, SearchesStartFolderThenExecutableFolderThenInstalledData)
{
   std::vector<std::string> folders = DataFolders();
   ASSERT_GE(folders.size(), 3u);
   EXPECT_EQ(folders[0], "");
   EXPECT_EQ(folders[1], OwnFolder());
   EXPECT_EQ(folders[2], OwnFolder() + "/../share/kelwyrm");
   EXPECT_EQ(folders.back().substr(folders.back().size() - 14), "/share/kelwyrm");
   for (size_t i = 0; i < folders.size(); i++)
      for (size_t j = i + 1; j < folders.size(); j++)
         EXPECT_NE(folders[i], folders[j]);
}

TEST_F(DataFolderTest, StartFolderWinsAndKeepsTheBareName)
{
   EnterTempDir();
   PutBesideExecutable("datafolder-test-both.dat");
   Touch("datafolder-test-both.dat");
   EXPECT_EQ(FindDataFile("datafolder-test-both.dat"), "datafolder-test-both.dat");
}

TEST_F(DataFolderTest, ExecutableFolderServesWhatTheStartFolderLacks)
{
   EnterTempDir();
   std::string path = PutBesideExecutable("datafolder-test-exe.dat");
   EXPECT_EQ(FindDataFile("datafolder-test-exe.dat"), path);
}

TEST_F(DataFolderTest, MissingEverywhereGivesTheBareNameToFailAsBefore)
{
   EnterTempDir();
   EXPECT_EQ(FindDataFile("datafolder-test-nowhere.dat"), "datafolder-test-nowhere.dat");
}

}  // namespace
