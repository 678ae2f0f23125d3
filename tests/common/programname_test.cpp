// The names the programs go by: what --help prints, and which game F6 starts;
// and the folder and name a path is split into.

#include <gtest/gtest.h>

#include "platform.h"
#include "programname.h"

namespace {

TEST(ProgramNameTest, IsTheStartedFileWithoutFolderOrSuffix)
{
   EXPECT_EQ(ProgramName("game"), "game");
   EXPECT_EQ(ProgramName("./game"), "game");
   EXPECT_EQ(ProgramName("/usr/games/kelwyrm"), "kelwyrm");
   EXPECT_EQ(ProgramName("C:\\Games\\Kelwyrm\\kelwyrm-editor"), "kelwyrm-editor");
   EXPECT_EQ(ProgramName(("/k/kelwyrm" + std::string(ProgramSuffix())).c_str()), "kelwyrm");
   EXPECT_EQ(ProgramName(""), "");
}

TEST(PathPartsTest, FolderAndNameOfAPath)
{
   EXPECT_EQ(FolderOf("map1.dat"), ".");
   EXPECT_EQ(FolderOf("/map1.dat"), "/");
   EXPECT_EQ(FolderOf("levels/my maps/map1.dat"), "levels/my maps");
   EXPECT_EQ(FileNameOf("levels/my maps/map1.dat"), "map1.dat");
   EXPECT_EQ(FileNameOf("map1.dat"), "map1.dat");
}

// The editor's name gives the game's; the run folder's editor keeps game.
TEST(GameNameForEditorTest, IsTheEditorsNameBeforeEditorElseGame)
{
   EXPECT_EQ(GameNameForEditor("kelwyrm-editor"), "kelwyrm");
   EXPECT_EQ(GameNameForEditor("my-level-editor"), "my-level");
   EXPECT_EQ(GameNameForEditor("mapeditor"), "game");
   // Names that only look like the rule: no game name before "-editor".
   EXPECT_EQ(GameNameForEditor("-editor"), "game");
   EXPECT_EQ(GameNameForEditor("kelwyrm-editor.old"), "game");
}

}
