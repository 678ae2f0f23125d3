// The player's controls: chosen keys and a gamepad folded into the game keys
// that the player code and replays read, and the settings file that chooses
// them. (Start on the screens, pausing and the command line's win over the
// file are checked in real windows.)

#include "game_test.h"

#include <cstdio>
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
      ReadSettings("kelwyrm.cfg", o, errors);
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

}  // namespace
