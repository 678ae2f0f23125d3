// The play-test: the map reaches the game through a temporary file that is
// gone afterwards, and map1.dat is never touched.

#include "editor_fixture.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "main.h"
#include "playtest.h"

namespace {

class PlayTestTest : public EditorTest {
 protected:
   void TearDown() override
   {
      unsetenv("TMPDIR");
      EditorTest::TearDown();
   }

   static bool Exists(const std::string &path)
   {
      struct stat st;
      return stat(path.c_str(), &st) == 0;
   }
};

// A stand-in for the game: keeps a copy of the map it is given and its name.
TEST_F(PlayTestTest, TheGameGetsTheMapInATemporaryFileThatIsRemovedAfterwards)
{
   std::string dir = EnterTempDir();
   std::string game = dir + "/fake-game";
   std::ofstream(game) << "#!/bin/sh\necho \"$1\" > given.txt\ncp \"$1\" seen.dat\n";
   ASSERT_EQ(chmod(game.c_str(), 0755), 0);
   setenv("TMPDIR", dir.c_str(), 1);
   FillPattern();
   Press(KEY_F6);                            // its release goes to the game's window

   EXPECT_EQ(PlayTestWith(game.c_str()), PLAYTEST_PLAYED);
   static MapGrid seen;
   ASSERT_EQ(ReadMapFile("seen.dat", seen), MAPFILE_OK);
   EXPECT_EQ(memcmp(seen, map, sizeof(map)), 0);
   std::string given;
   std::getline(std::ifstream("given.txt"), given);
   EXPECT_EQ(given.rfind(dir + "/", 0), 0u) << given;
   EXPECT_FALSE(Exists(given));
   EXPECT_FALSE(Exists(given + ".new"));
   EXPECT_FALSE(Exists("map1.dat"));
   EXPECT_EQ(key[KEY_F6], 0);
   EXPECT_TRUE(messages.empty());
}

TEST_F(PlayTestTest, AMissingGameOrAFailedWriteIsSaidAndChangesNothing)
{
   std::string dir = EnterTempDir();
   FillPattern();
   EXPECT_EQ(PlayTestWith((dir + "/game").c_str()), PLAYTEST_NO_GAME);
   ASSERT_EQ(messages.size(), 1u);
   EXPECT_NE(messages[0].find(dir + "/game"), std::string::npos) << messages[0];

   setenv("TMPDIR", (dir + "/no-such-folder").c_str(), 1);
   EXPECT_EQ(PlayTestWith("/bin/true"), PLAYTEST_WRITE_FAILED);
   ASSERT_EQ(messages.size(), 2u);
   EXPECT_NE(messages[1].find("Could not write"), std::string::npos) << messages[1];
   EXPECT_EQ(FilledCells(), kMapCells);
}

}  // namespace
