// The play-test's failures and F7's start. (Its round trip through the real game is a
// real-window test.)

#include "editor_fixture.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

// F7 gives the game the view cell under the mouse as its start; off the
// map's cells, or with ground in the player's way, it says so and runs nothing.
TEST_F(PlayTestTest, PlayFromHereStartsTheGameAtTheCellUnderTheMouse)
{
   std::string dir = EnterTempDir();
   std::string game = dir + "/game";
   std::ofstream(game) << "#!/bin/sh\necho \"$@\" >> " << dir << "/args\n";
   chmod(game.c_str(), 0755);
   nosound = 1;
   xoffset = 20;
   yoffset = 10;
   EXPECT_EQ(PlayFromHereWith(game.c_str(), 3 * 32 + 31, 2 * 32), PLAYTEST_PLAYED);
   map[0][23][13] = 5;                   // under the body's lower half
   EXPECT_EQ(PlayFromHereWith(game.c_str(), 3 * 32, 2 * 32), PLAYTEST_NO_START);
   xoffset = kMapCols - 5;               // the view reaches past the map's edge
   for (int x : {5 * 32, 320})
      EXPECT_EQ(PlayFromHereWith(game.c_str(), x, 10), PLAYTEST_NO_START) << x;
   EXPECT_EQ(PlayFromHereWith(game.c_str(), 10, 200), PLAYTEST_NO_START);
   nosound = 0;
   std::ifstream args(dir + "/args");
   std::string all((std::istreambuf_iterator<char>(args)), {});
   EXPECT_EQ(all.rfind("--no-sound --start 23,12 /", 0), 0u) << all;
   EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 1);
   ASSERT_EQ(messages.size(), 4u);
   EXPECT_EQ(messages[0], "The player cannot start at column 23, row 12: ground is in the way");
   EXPECT_EQ(messages[3], "Put the mouse on a cell of the map to play from there");
}

}  // namespace
