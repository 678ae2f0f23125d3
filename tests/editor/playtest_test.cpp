// The play-test's failures. (Its round trip through the real game is a
// real-window test.)

#include "editor_fixture.h"

#include <cstdlib>
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
}

}  // namespace
