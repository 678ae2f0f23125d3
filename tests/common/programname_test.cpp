// The names the programs go by: what --help prints, and which game F6 starts.

#include <gtest/gtest.h>

#include "programname.h"

namespace {

TEST(ProgramNameTest, IsTheStartedFileWithoutFolderOrExe)
{
   EXPECT_EQ(ProgramName("game"), "game");
   EXPECT_EQ(ProgramName("./game"), "game");
   EXPECT_EQ(ProgramName("/usr/games/kelwyrm"), "kelwyrm");
   EXPECT_EQ(ProgramName("C:\\Games\\Kelwyrm\\kelwyrm-editor.exe"), "kelwyrm-editor");
   EXPECT_EQ(ProgramName(""), "");
}

// The editor's name gives the game's; the run folder's editor keeps ./game.
TEST(GameBesideEditorTest, NamedAfterTheEditorInItsFolder)
{
   EXPECT_EQ(GameBesideEditor("/usr/games/kelwyrm-editor"), "/usr/games/kelwyrm");
   EXPECT_EQ(GameBesideEditor("/opt/k/bin/mapeditor"), "/opt/k/bin/game");
   EXPECT_EQ(GameBesideEditor("mapeditor"), "./game");
   EXPECT_EQ(GameBesideEditor("C:\\Kelwyrm\\kelwyrm-editor.exe"), "C:\\Kelwyrm\\kelwyrm.exe");
   EXPECT_EQ(GameBesideEditor("C:\\Kelwyrm\\mapeditor.exe"), "C:\\Kelwyrm\\game.exe");
   EXPECT_EQ(GameBesideEditor("/x/my-level-editor"), "/x/my-level");
   // Names that only look like the rule: no game name before "-editor".
   EXPECT_EQ(GameBesideEditor("/x/-editor"), "/x/game");
   EXPECT_EQ(GameBesideEditor("/x/kelwyrm-editor.old"), "/x/game");
}

}
