#include "controls.h"

#include "main.h"

// A gamepad's left stick is its first pair of axes; pads with more sticks
// than a left and a right one (triggers, a d-pad reported as axes) give
// their d-pad as the last pair.
constexpr int kLeftStick = 0;
constexpr int kSticksBeforeDpad = 2;

static bool pausewasdown = false;

void InstallGamepad()
{
   install_joystick(JOY_TYPE_AUTODETECT);
}

// Allegro counts no joystick when none was found or its driver failed.
static bool HasPad()
{
   return num_joysticks > 0;
}

static bool Default(const ControlBindings &b)
{
   ControlBindings usual;
   return b.left == usual.left && b.right == usual.right && b.jump == usual.jump &&
          b.fire == usual.fire;
}

static bool PadButton(int button)
{
   return HasPad() && button >= 0 && button < joy[0].num_buttons && joy[0].button[button].b;
}

// Direction: 1 pushes the stick or d-pad left, 2 right.
static bool PadWalks(int direction)
{
   if (!HasPad())
      return false;
   const JOYSTICK_INFO &pad = joy[0];
   auto pushed = [&](int stick) {
      const JOYSTICK_AXIS_INFO &x = pad.stick[stick].axis[0];
      return direction == kLeft ? x.d1 : x.d2;
   };
   bool walks = pad.num_sticks > kLeftStick && pushed(kLeftStick);
   if (pad.num_sticks > kSticksBeforeDpad)
      walks = walks || pushed(pad.num_sticks - 1);
   return walks;
}

static bool PauseDown()
{
   return key[options.controls.pause] || PadButton(options.controls.padstart);
}

// Every source is read before any game key is written: a key can be bound
// to another's action (jump on left Ctrl, fire on Space).
static void Fold(bool onscreen)
{
   const ControlBindings &b = options.controls;
   bool right = key[b.right] || PadWalks(kRight);
   bool left = key[b.left] || PadWalks(kLeft);
   bool jump = key[b.jump] || PadButton(b.padjump);
   bool fire = key[b.fire] || PadButton(b.padfire);
   bool f1 = key[KEY_F1] || (onscreen && PadButton(b.padstart));
   key[KEY_RIGHT] = right ? -1 : 0;
   key[KEY_LEFT] = left ? -1 : 0;
   key[KEY_SPACE] = jump ? -1 : 0;
   key[KEY_LCONTROL] = fire ? -1 : 0;
   key[KEY_F1] = f1 ? -1 : 0;
   // Start that ended a screen is not a fresh press when play goes on.
   if (onscreen)
      pausewasdown = PauseDown();
}

void PollControls(bool onscreen)
{
   poll_keyboard();
   if (HasPad())
      poll_joystick();
   Fold(onscreen);
}

void UpdateControls(bool onscreen)
{
   if (HasPad() || !Default(options.controls) || keyboard_needs_poll())
      PollControls(onscreen);
}

bool PausePressed()
{
   bool down = PauseDown();
   bool pressed = down && !pausewasdown;
   pausewasdown = down;
   return pressed;
}
