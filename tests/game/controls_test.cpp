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
      FILE *errors = tmpfile();
      alarm(10);   // a reader that hangs fails the test
      ReadSettings("kelwyrm.cfg", o, errors);
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

// Bytes an editor in another encoding or a fuzzer leaves: the line is named
// with its bytes escaped, and the game starts on its defaults.
TEST_F(SettingsTest, LinesThatAreNotTextAreNamedEscapedAndKeepTheDefaults)
{
   GameOptions o;
   EXPECT_EQ(Read(std::string("\xe6\x69\xff\xff\x9d\x9d\x9d\x9d\x9d\x9d\x9d", 11), &o),
             "game: kelwyrm.cfg:1: [] \\xE6i\\xFF\\xFF\\x9D\\x9D\\x9D\\x9D\\x9D\\x9D\\x9D: not "
             "UTF-8 text; it is ignored\n");
   // A section that cannot be read takes its entries with it; a NUL cuts
   // no value short.
   std::string said = Read(std::string("[k\xe9ys]\nleft = A\n[keys]\njump = W\x00X\n", 33), &o);
   EXPECT_EQ(said,
             "game: kelwyrm.cfg:1: [] [k\\xE9ys]: not UTF-8 text; it is ignored\n"
             "game: kelwyrm.cfg:2: [[k\\xE9ys]] left = A: no such entry in this section; it is "
             "ignored\n"
             "game: kelwyrm.cfg:4: [keys] jump = W\\x00X: not UTF-8 text; it is ignored\n");
   GameOptions usual;
   EXPECT_EQ(o.controls.left, usual.controls.left);
   EXPECT_EQ(o.controls.jump, usual.controls.jump);
}

// Sections and names in any case, as Allegro's files have them: what is
// called ignored is ignored, and a byte-order mark hides no section.
TEST_F(SettingsTest, OneRuleMatchesSectionsAndNamesAndTheFirstOfTwoIsUsed)
{
   GameOptions o;
   EXPECT_EQ(Read("\xEF\xBB\xBF[ Keys ]\nLEFT = B\nleft = A\n[OPTIONS]\nScale = 2\n", &o),
             "game: kelwyrm.cfg:3: [Keys] left = A: given twice; it is ignored\n");
   EXPECT_EQ(o.controls.left, KEY_B);
   EXPECT_EQ(o.scale, 2);
}

// Pause must not share a key with an action, also not through the usual
// keys the bound ones are folded into.
TEST_F(SettingsTest, PauseOnAnActionsKeyIsRefused)
{
   struct Case {
      const char *text;
      const char *said;
      int left, pause;
   } cases[] = {
      {"[keys]\npause = SPACE\n", "2: [keys] pause = SPACE: wants a key that left, right, jump "
                                  "and fire do not use", KEY_LEFT, KEY_P},
      {"[keys]\npause = LEFT\nleft = A\n", "2: [keys] pause = LEFT: wants a key that left, "
                                           "right, jump and fire do not use", KEY_A, KEY_P},
      {"[keys]\nleft = P\n", "2: [keys] left = P: that is the pause key", KEY_LEFT, KEY_P},
      {"[keys]\nleft = P\npause = Q\n", "", KEY_P, KEY_Q},
   };
   for (const Case &c : cases) {
      GameOptions o;
      std::string said = Read(c.text, &o);
      EXPECT_EQ(said, *c.said ? std::string("game: kelwyrm.cfg:") + c.said +
                                   "; the default is kept\n" : "") << c.text;
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

// Only a regular file is read, without waiting for a FIFO's writer and
// without reading a device or an overlong file to its end.
TEST_F(SettingsTest, OnlyARegularFileOfAtMost64KiBIsRead)
{
   GameOptions o;
   EXPECT_EQ(Read("[keys]\n" + std::string(kMaxSettingsBytes - 15, '#') + "\nleft=A\n", &o), "");
   EXPECT_EQ(o.controls.left, KEY_A);
   EXPECT_EQ(Read("[keys]\n" + std::string(kMaxSettingsBytes - 14, '#') + "\nleft=B\n", &o),
             "game: kelwyrm.cfg: larger than 64 KiB; the usual settings are used\n");
   EXPECT_EQ(o.controls.left, KEY_A);

   ASSERT_EQ(mkfifo("pipe.cfg", 0600), 0);
   ASSERT_EQ(symlink("/dev/zero", "zero.cfg"), 0);
   ASSERT_EQ(mkdir("folder.cfg", 0700), 0);
   for (const char *name : {"pipe.cfg", "zero.cfg", "folder.cfg"}) {
      FILE *errors = tmpfile();
      alarm(10);
      ReadSettings(name, &o, errors);
      alarm(0);
      EXPECT_EQ(ftell(errors), (long)strlen(name) +
                                   strlen("game: : not a regular file; the usual settings are "
                                          "used\n")) << name;
      fclose(errors);
   }
   EXPECT_EQ(o.controls.left, KEY_A);
}

// A relative home would move the settings with the folder the game is
// started in, as a relative XDG_CONFIG_HOME would.
TEST_F(SettingsTest, ARelativeHomeGivesNoSettingsFile)
{
   std::string home = getenv("HOME") ? getenv("HOME") : "";
   const char *config = getenv("XDG_CONFIG_HOME");
   std::string saved = config ? config : "";
   unsetenv("XDG_CONFIG_HOME");
   setenv("HOME", "somewhere", 1);
   EXPECT_EQ(SettingsFile(), "");
   setenv("HOME", "/somewhere", 1);
   EXPECT_EQ(SettingsFile(), "/somewhere/.config/kelwyrm/kelwyrm.cfg");
   setenv("HOME", home.c_str(), 1);
   if (config)
      setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

}  // namespace
