#include "editor_fixture.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "edit.h"
#include "main.h"
#include "saveload.h"

class SaveLoadTest : public EditorTest {
 protected:
   void SetUp() override
   {
      EditorTest::SetUp();
      EnterTempDir();
      FillPattern();
      memcpy(saved_, map, sizeof(map));
   }

   static std::string FileBytes(const char *name)
   {
      std::ifstream in(name, std::ios::binary);
      return std::string(std::istreambuf_iterator<char>(in), {});
   }

   bool MapUnchanged() const { return memcmp(map, saved_, sizeof(map)) == 0; }

   MapGrid saved_;
};

const std::vector<std::string> kSaved = {"you just saved your map"};
const std::vector<std::string> kLoaded = {"you just loaded a map"};
const std::vector<std::string> kSaveFailed = {"you just saved your map",
                                              "Could not save map1.dat: the file could not be written"};
const std::vector<std::string> kLoadFailed = {"you just loaded a map",
                                              "Could not load map1.dat; the map was not changed"};

TEST_F(SaveLoadTest, F5ThenF8RestoresEveryCell)
{
   Press(KEY_F5);
   HelpPass();
   EXPECT_EQ(messages, kSaved);
   ClearMap();
   tile = 4;
   layer = 3;
   xoffset = 150;
   yoffset = 20;
   messages.clear();
   ReleaseAllKeys();
   Press(KEY_F8);
   HelpPass();
   EXPECT_EQ(messages, kLoaded);
   EXPECT_TRUE(MapUnchanged());
   EXPECT_EQ(tile, 4);
   EXPECT_EQ(layer, 3);
   EXPECT_EQ(xoffset, 150);
   EXPECT_EQ(yoffset, 20);
}

TEST_F(SaveLoadTest, MissingForeignOrShortFileLeavesTheMap)
{
   LoadMap();
   EXPECT_EQ(messages, kLoadFailed);
   EXPECT_TRUE(MapUnchanged());

   std::ofstream("map1.dat") << "plain text, not a packed file";
   messages.clear();
   LoadMap();
   EXPECT_EQ(messages, kLoadFailed);
   EXPECT_TRUE(MapUnchanged());

   PACKFILE *f = pack_fopen("map1.dat", "wp");
   ASSERT_NE(f, nullptr);
   for (int i = 0; i < kMapCells - 1; i++)
      pack_iputl(7, f);
   pack_fclose(f);
   messages.clear();
   LoadMap();
   EXPECT_EQ(messages, kLoadFailed);
   EXPECT_TRUE(MapUnchanged());
}

TEST_F(SaveLoadTest, FailedSaveSaysSoAndKeepsTheEarlierFile)
{
   SaveMap();
   const std::string before = FileBytes(kEditorMapFile);
   ASSERT_FALSE(before.empty());

   // A full disk: the size limit stops the write part way through.
   messages.clear();
   pid_t child = fork();
   ASSERT_GE(child, 0);
   if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit = {4096, 4096};
      setrlimit(RLIMIT_FSIZE, &limit);
      memset(map, 0x5A, sizeof(map));   // a different map, still far above the limit
      SaveMap();
      _exit(messages == kSaveFailed ? 0 : 1);
   }
   int status = 0;
   ASSERT_EQ(waitpid(child, &status, 0), child);
   EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
   EXPECT_EQ(FileBytes(kEditorMapFile), before);
   EXPECT_NE(system("ls -A | grep -q '\\.new'"), 0) << "a temporary file was left behind";
}
