// The play-test's failures. (Its round trip through the real game is a
// real-window test.)

#include "editor_fixture.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

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
};

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
   unsetenv("TMPDIR");

   // A game that fails is said too; a silent editor asks the game for silence.
   std::string game = dir + "/failing-game";
   std::ofstream(game) << "#!/bin/sh\necho \"$@\" > " << dir << "/args\nexit 3\n";
   chmod(game.c_str(), 0755);
   nosound = 1;
   EXPECT_EQ(PlayTestWith(game.c_str()), PLAYTEST_GAME_FAILED);
   nosound = 0;
   ASSERT_EQ(messages.size(), 3u);
   EXPECT_EQ(messages[2], "The game ended with an error (status 3)");
   std::ifstream args(dir + "/args");
   std::string first;
   args >> first;
   EXPECT_EQ(first, "--no-sound");

   // A game ended by a signal reads as 128 + the signal, as before.
   std::ofstream(game) << "#!/bin/sh\nkill -ABRT $$\n";
   EXPECT_EQ(PlayTestWith(game.c_str()), PLAYTEST_GAME_FAILED);
   ASSERT_EQ(messages.size(), 4u);
   EXPECT_EQ(messages[3], "The game ended with an error (status 134)");
}

}  // namespace
