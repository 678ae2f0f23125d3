// The data folder search: the start folder first, then the executable's
// folder, then the installed data folders, each named once.

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "datafolder.h"
#include "headless.h"

namespace {

const std::string kOwnFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path();

using DataFolderTest = HeadlessTest;

TEST_F(DataFolderTest, SearchesStartFolderThenExecutableFolderThenInstalledData)
{
   std::vector<std::string> folders = DataFolders();
   ASSERT_GE(folders.size(), 3u);
   EXPECT_EQ(folders[0], "");
   EXPECT_EQ(folders[1], kOwnFolder);
   EXPECT_EQ(folders[2], kOwnFolder + "/../share/kelwyrm");
   EXPECT_EQ(std::filesystem::path(folders.back()).filename(), "kelwyrm");
   for (size_t i = 0; i < folders.size(); i++)
      for (size_t j = i + 1; j < folders.size(); j++)
         EXPECT_NE(folders[i], folders[j]);
}

// The start folder keeps the bare name, as before; the executable's folder
// serves what it lacks; a file found nowhere keeps its name to fail as before.
TEST_F(DataFolderTest, FindsEachFileInTheFirstFolderHoldingIt)
{
   EnterTempDir();
   const std::string beside = kOwnFolder + "/datafolder-test.dat";
   std::ofstream(beside) << "x";
   EXPECT_EQ(FindDataFile("datafolder-test.dat"), beside);
   std::ofstream("datafolder-test.dat") << "x";
   EXPECT_EQ(FindDataFile("datafolder-test.dat"), "datafolder-test.dat");
   unlink(beside.c_str());
   EXPECT_EQ(FindDataFile("datafolder-test-nowhere.dat"), "datafolder-test-nowhere.dat");
}

}  // namespace
