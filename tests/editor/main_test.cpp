#include "editor_fixture.h"

#include <string>
#include <unistd.h>

#include "main.h"

class HelpTest : public EditorTest {};

TEST_F(HelpTest, LinesSitAtTheirPlacesInGrey)
{
   const char *title = "Kelwyrm - The Sidescrolling adventure";
   Text();
   EXPECT_TRUE(ShowsText(buffer, 320 - text_length(font, title) / 2, 10, title, grey));
   EXPECT_TRUE(ShowsText(buffer, 320 - text_length(font, "Map Editor") / 2, 20, "Map Editor", grey));
   EXPECT_TRUE(ShowsText(buffer, 0, 160, "To save your map, go back to this screen (ESC) ", grey));
   EXPECT_TRUE(ShowsText(buffer, 0, 200, "Use Arrow keys to scroll map", grey));
   int lit = kScreenW * kScreenH - CountColour(buffer, 0, 0, kScreenW - 1, kScreenH - 1, 0);
   EXPECT_EQ(CountColour(buffer, 0, 0, kScreenW - 1, kScreenH - 1, grey), lit);
   EXPECT_TRUE(Blank(buffer, 0, 30, kScreenW - 1, 99));   // nothing between title and body
   EXPECT_TRUE(Blank(buffer, 0, 210, kScreenW - 1, kScreenH - 1));
}

TEST_F(HelpTest, EditingScreensReturnToTheHelpScreen)
{
   Press(KEY_ESC);
   Press(KEY_F1);
   Press(KEY_F3);   // works although the help screen does not name it
   tile = 7;
   HelpPass();
   EXPECT_EQ(layer, 2);
   EXPECT_EQ(tile, 0);
   EXPECT_TRUE(ShowsText(screen, 0, 190, "Press F10 to exit the program", grey));
}

// Start-up names the datafile it cannot load and ends with status 1.
TEST(EditorStartupDeathTest, MissingDatafileIsNamed)
{
   StartHeadless(kScreenW, kScreenH);
   const char *files[] = {"pal.dat", "tiles.dat", "enemy.dat"};
   for (const char *missing : files) {
      std::string dir = MakeTempDir();
      ASSERT_EQ(chdir(dir.c_str()), 0);
      for (const char *f : files)
         if (f != missing) {
            ASSERT_EQ(symlink((RunDir() + "/" + f).c_str(), f), 0);
         }
      EXPECT_EXIT(LoadAssets(), ::testing::ExitedWithCode(1), std::string("Could not load ") + missing);
      for (const char *f : files)
         unlink(f);
      EXPECT_EQ(chdir(RunDir().c_str()), 0);
      EXPECT_EQ(rmdir(dir.c_str()), 0);
   }
}
