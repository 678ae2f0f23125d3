// The player's controls: chosen keys and a gamepad folded into the game keys
// that the player code and replays read, and the settings file that chooses
// them. (Start on the screens, pausing and the command line's win over the
// file are checked in real windows.)

#include "game_test.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "controls.h"
#include "settings.h"

namespace {

class ControlsTest : public GameTest {
 protected:
   void TearDown() override
   {
      num_joysticks = 0;
      joy[0] = JOYSTICK_INFO{};
      GameTest::TearDown();
   }

   // A pad of four sticks (the last its d-pad) and eleven buttons.
   static void PlugPad()
   {
      num_joysticks = 1;
      joy[0].num_sticks = 4;
      joy[0].num_buttons = 11;
   }
};

TEST_F(ControlsTest, ABoundKeyActsInsteadOfTheUsualOne)
{
   options.controls.fire = KEY_X;
   options.controls.jump = KEY_LCONTROL;     // swapped onto another's key
   Press(KEY_LCONTROL);
   UpdateControls(false);
   EXPECT_FALSE(key[KEY_LCONTROL]);          // Ctrl no longer fires...
   EXPECT_TRUE(key[KEY_SPACE]);              // ...it jumps
   ReleaseAllKeys();
   Press(KEY_X);
   UpdateControls(false);
   EXPECT_TRUE(key[KEY_LCONTROL]);
   EXPECT_FALSE(key[KEY_SPACE]);
}

TEST_F(ControlsTest, PadStickDpadAndButtonsBecomeGameKeys)
{
   PlugPad();
   joy[0].stick[0].axis[0].d2 = 1;           // left stick to the right
   joy[0].button[0].b = 1;                   // A
   UpdateControls(false);
   EXPECT_TRUE(key[KEY_RIGHT] && key[KEY_SPACE]);
   EXPECT_FALSE(key[KEY_LEFT] || key[KEY_LCONTROL] || key[KEY_F1]);

   joy[0] = JOYSTICK_INFO{};
   PlugPad();
   ReleaseAllKeys();                         // as the keyboard's next poll does
   joy[0].stick[3].axis[0].d1 = 1;           // d-pad to the left
   joy[0].stick[1].axis[0].d2 = 1;           // a trigger: walks nowhere
   joy[0].button[2].b = 1;                   // X
   UpdateControls(false);
   EXPECT_TRUE(key[KEY_LEFT] && key[KEY_LCONTROL]);
   EXPECT_FALSE(key[KEY_RIGHT] || key[KEY_SPACE]);
}

class SettingsTest : public GameTest {
 protected:
   // Reads `text` as a settings file; gives what was reported.
   std::string Read(const std::string &text, GameOptions *o)
   {
      std::string dir = EnterTempDir();
      std::ofstream(dir + "/kelwyrm.cfg") << text;
      return ReadFile("kelwyrm.cfg", o);
   }
   std::string ReadFile(const char *name, GameOptions *o)
   {
      FILE *errors = tmpfile();
      alarm(10);   // a reader that hangs fails the test
      ReadSettings(name, o, errors);
      alarm(0);
      std::string said(4096, '\0');
      rewind(errors);
      said.resize(fread(&said[0], 1, said.size(), errors));
      fclose(errors);
      return said;
   }
};

TEST_F(SettingsTest, AWholeFileSetsKeysButtonsAndOptionsAndAMissingOneNothing)
{
   GameOptions o;
   FILE *errors = tmpfile();
   ReadSettings("/nonexistent/kelwyrm.cfg", &o, errors);
   EXPECT_EQ(ftell(errors), 0);
   fclose(errors);
   std::string said = Read("# mine\n[keys]\nleft = A\nright = d\njump = KEY_W\nfire = X\n"
                           "pause = ENTER\n\n[gamepad]\njump = 1\nfire = 3\nstart = 9\n"
                           "[options]\nscale = 3\nfullscreen = yes\nsound = no\n", &o);
   EXPECT_EQ(said, "");
   EXPECT_EQ(o.controls.left, KEY_A);
   EXPECT_EQ(o.controls.right, KEY_D);
   EXPECT_EQ(o.controls.jump, KEY_W);
   EXPECT_EQ(o.controls.fire, KEY_X);
   EXPECT_EQ(o.controls.pause, KEY_ENTER);
   EXPECT_EQ(o.controls.padjump + o.controls.padfire + o.controls.padstart, 1 + 3 + 9);
   EXPECT_EQ(o.scale, 3);
   EXPECT_TRUE(o.fullscreen && o.silent);
}

TEST_F(SettingsTest, EachBadEntryIsOneLineWithItsNumberAndKeepsItsDefault)
{
   GameOptions o;
   std::string said = Read("[keys]\nfire = LCTRL\njump = W\njump = S\nwalk = A\n"
                           "nonsense\n[gamepad]\nstart = 40\n[options]\nscale = 9\n", &o);
   EXPECT_EQ(said,
             "game: kelwyrm.cfg:2: [keys] fire = LCTRL: wants one of Allegro's key names, such as "
             "LCONTROL, SPACE, X or F; the default is kept\n"
             "game: kelwyrm.cfg:4: [keys] jump = S: given twice; it is ignored\n"
             "game: kelwyrm.cfg:5: [keys] walk = A: no such entry in this section; it is ignored\n"
             "game: kelwyrm.cfg:6: [keys] nonsense: not an entry (name = value); it is ignored\n"
             "game: kelwyrm.cfg:8: [gamepad] start = 40: wants a button number from 0 to 31; the "
             "default is kept\n"
             "game: kelwyrm.cfg:10: [options] scale = 9: wants a scale from 1 to 4; the default "
             "is kept\n");
   GameOptions usual;
   EXPECT_EQ(o.controls.fire, usual.controls.fire);
   EXPECT_EQ(o.controls.jump, KEY_W);
   EXPECT_EQ(o.controls.padstart, usual.controls.padstart);
   EXPECT_EQ(o.scale, usual.scale);
}

// One rule for sections and names, in any case as in Allegro's files; what
// a line says is what it does. Refused with no effect: bytes that are not
// UTF-8 text (the first found by fuzzing once hung the game), a NUL, and a
// pause key an action uses, also through the keys the bound ones fold into.
TEST_F(SettingsTest, EachLineDoesWhatItsMessageSays)
{
   std::string clash = ": wants a key that left, right, jump and fire do not use; the default "
                       "is kept\n";
   struct Case {
      std::string text, said;
      int left, pause;
   } cases[] = {
      {"\xEF\xBB\xBF[ Keys ]\nLEFT = B\nleft = A\n", "3: [Keys] left = A: given twice; it is "
       "ignored\n", KEY_B, KEY_P},
      {"\xe6\x69\xff\xff\x9d\x9d\x9d\x9d\x9d\x9d\x9d", "1: [] \\xE6i\\xFF\\xFF\\x9D\\x9D\\x9D\\x9D"
       "\\x9D\\x9D\\x9D: not UTF-8 text; it is ignored\n", KEY_LEFT, KEY_P},
      {std::string("[keys]\nleft = A\0B\n", 17), "2: [keys] left = A\\x00B: not UTF-8 text; it "
       "is ignored\n", KEY_LEFT, KEY_P},
      {"[keys]\npause = SPACE\n", "2: [keys] pause = SPACE" + clash, KEY_LEFT, KEY_P},
      {"[keys]\npause = LEFT\nleft = A\n", "2: [keys] pause = LEFT" + clash, KEY_A, KEY_P},
      {"[keys]\nleft = P\n", "2: [keys] left = P: that is the pause key; the default is kept\n",
       KEY_LEFT, KEY_P},
   };
   for (const Case &c : cases) {
      GameOptions o;
      EXPECT_EQ(Read(c.text, &o), "game: kelwyrm.cfg:" + c.said) << c.text;
      EXPECT_EQ(o.controls.left, c.left) << c.text;
      EXPECT_EQ(o.controls.pause, c.pause) << c.text;
   }
}

TEST_F(SettingsTest, AFloodOfBadLinesIsCutShort)
{
   GameOptions o;
   std::string junk = "\x1b" + std::string(kMaxSettingsBytes / 2, 'x') + "\n";
   for (int i = 1; i < 3000; i++)
      junk += "\x1b[2J junk\n";
   std::string said = Read(junk, &o);
   EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), kMaxSettingsMessages + 1);
   EXPECT_EQ(said.find('\x1b'), std::string::npos);
   EXPECT_NE(said.find("and 2980 more lines like these"), std::string::npos);
   EXPECT_LT(said.size(), 2048u);
}

// Only a regular file of at most 64 KiB is read: a FIFO is not waited on,
// a device or an overlong file not read to its end.
TEST_F(SettingsTest, OnlyARegularFileOfAtMost64KiBIsRead)
{
   GameOptions o;
   EXPECT_EQ(Read("[keys]\n" + std::string(kMaxSettingsBytes - 15, '#') + "\nleft=A\n", &o), "");
   EXPECT_EQ(Read("[keys]\n" + std::string(kMaxSettingsBytes - 14, '#') + "\nleft=B\n", &o),
             "game: kelwyrm.cfg: larger than 64 KiB; the usual settings are used\n");
   ASSERT_EQ(mkfifo("pipe", 0600) | symlink("/dev/zero", "zero") | mkdir("folder", 0700), 0);
   for (std::string name : {"pipe", "zero", "folder"})
      EXPECT_EQ(ReadFile(name.c_str(), &o),
                "game: " + name + ": not a regular file; the usual settings are used\n");
   EXPECT_EQ(o.controls.left, KEY_A);
}

// A relative home would move with the folder the game is started in.
TEST_F(SettingsTest, ARelativeHomeGivesNoSettingsFile)
{
   std::string home = getenv("HOME") ? getenv("HOME") : "";
   unsetenv("XDG_CONFIG_HOME");
   setenv("HOME", "somewhere", 1);
   EXPECT_EQ(SettingsFile(), "");
   setenv("HOME", "/somewhere", 1);
   EXPECT_EQ(SettingsFile(), "/somewhere/.config/kelwyrm/kelwyrm.cfg");
   setenv("HOME", home.c_str(), 1);
}

}  // namespace
