"""The player's controls in the real game: a gamepad (a stand-in device
preloaded into the game) walks, jumps, fires and ends a death screen with
Start, and a recording made with it, paused half-way, replays to the same
screen at the same pass, also when the replay is paused; P freezes the frame,
shows "PAUSED" and silences the tune; a settings file binds fire to another key, reports its
bad line by number, and loses to the command line."""

import re
import unittest

from harness import Map, Session, from_palette
from test_game_replay import without_last_f1

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
LIGHT_GREEN = from_palette(32, 63, 32)
GROUND_ROW = 6
GROUND_Y = GROUND_ROW * 32
STONE = 3
EXIT = 49
EXIT_COL = 9
LANDED_FRAMES = 45
STICK_X, DPAD_X = 0, 6                      # axes of the stand-in pad
PAD_A, PAD_X, PAD_START = 0, 2, 7           # its buttons
FULL = 32767
PAUSED_TEXT = (136, 112, 48, 8)             # "PAUSED", centred on the view


def flat_level():
    level = Map()
    level.fill(0, STONE, rows=[GROUND_ROW])
    return level


def drawn_box(img, x0=0):
    """(left, top, right) of everything drawn above the ground from x0 on,
    short of the exit's column."""
    xs, ys = [], []
    for y in range(GROUND_Y):
        for x in range(x0, EXIT_COL * 32):
            if img.pixel(x, y) != BLACK:
                xs.append(x)
                ys.append(y)
    return (min(xs), min(ys), max(xs)) if xs else None


def level_complete(img):
    return img.count(LIGHT_GREEN, 0, 100, 320, 8) > 100


def paused(img):
    return img.count(WHITE, *PAUSED_TEXT) > 20


def pass_keys(replay_text):
    """The keys of each recorded pass, in order."""
    keys = []
    for count, letters in re.findall(r"^(\d+) (\S+)$", replay_text, re.M):
        keys += [letters] * int(count)
    return keys


class Gamepad(unittest.TestCase):
    def test_pad_plays_a_level_and_its_paused_recording_replays_to_the_same_pass(self):
        level = flat_level()
        level[3, EXIT_COL, GROUND_ROW - 1] = EXIT
        with Session("game", gamepad=True, files={"map2.dat": level},
                     args=["--record", "r.replay", "map2.dat"]) as s:
            s.wait_frames(LANDED_FRAMES)
            start = drawn_box(s.capture())
            s.pad_axis(STICK_X, FULL)
            s.wait_frames(10)
            s.pad_axis(STICK_X, 0)
            s.wait_frames(2)
            walked = drawn_box(s.capture())
            self.assertGreater(walked[0], start[0] + 15)
            s.pad_button(PAD_A)
            s.capture_until(lambda img: drawn_box(img)[1] < walked[1] - 20)
            s.pad_button(PAD_A, False)
            s.pad_hold(PAD_X, settle=1)
            s.capture_until(lambda img: drawn_box(img, walked[2] + 8) is not None)

            s.tap("p")
            frozen = s.capture_until(paused)
            s.wait_frames(20)
            self.assertEqual(s.capture(), frozen)
            s.tap("p")
            s.pad_axis(DPAD_X, FULL)
            done = s.capture_until(level_complete, timeout=20)
            s.pad_axis(DPAD_X, 0)
            s.pad_hold(PAD_START)
            self.assertEqual(s.wait_exit(), 0)
            recorded = s.path("r.replay").read_text()
        keys = pass_keys(recorded)
        for letter in "RJC":
            self.assertTrue(any(letter in k for k in keys), letter)
        self.assertIn("F", keys[-1])

        with Session("game", files={"map2.dat": level, "r.replay": without_last_f1(recorded)},
                     args=["--replay", "r.replay", "map2.dat"]) as s:
            s.wait_frames(20)
            self.assertFalse(s.audio_silent())          # the tune plays...
            s.tap("p")
            frozen = s.capture_until(paused)
            s.wait_frames(10)
            mark = s.audio_mark()
            s.wait_frames(10)
            self.assertEqual(s.capture(), frozen)
            self.assertTrue(s.audio_silent(since=mark))  # ...and waits with the game
            s.tap("p")
            self.assertEqual(s.capture_until(level_complete, timeout=30), done)
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.stdout(), "finished map2.dat at pass %d\n" % len(keys))

    def test_start_ends_the_death_screen_without_pausing_and_escape_ends_a_pause(self):
        level = flat_level()
        level[2, 5, GROUND_ROW - 1] = 1       # an enemy start in view,
        level[0, 4, GROUND_ROW - 1] = STONE   # walled in, facing the player
        level[0, 6, GROUND_ROW - 1] = STONE   # every other step
        with Session("game", gamepad=True, files={"map2.dat": level}) as s:
            life = s.capture().crop(0, 230, 64, 8)
            s.capture_until(lambda img: img.count(WHITE, 40, 118, 180, 12) > 50, timeout=15)
            s.pad_hold(PAD_START, settle=4)
            again = s.capture()
            self.assertEqual(again.count(WHITE, 40, 118, 180, 12), 0)
            self.assertEqual(again.crop(0, 230, 64, 8), life)
            s.wait_frames(10)
            later = s.capture()
            self.assertFalse(paused(later))
            self.assertNotEqual(later, again)        # the new life falls
            s.tap("p")
            s.capture_until(paused)
            s.hold("Escape", frames=2, settle=0)     # Escape ends a paused game
            self.assertEqual(s.wait_exit(), 0)


class SettingsFile(unittest.TestCase):
    def test_fire_on_x_a_bad_line_reported_and_the_command_line_wins(self):
        settings = "[keys]\nfire = X\n\n[options]\nscale = 3\nsound = maybe\n"
        with Session("game", settings=settings, screen="1024x768x24",
                     files={"map2.dat": flat_level()},
                     args=["--scale", "2", "--record", "r.replay", "map2.dat"]) as s:
            self.assertEqual(s.geometry(), (640, 480))
            self.assertIn("kelwyrm.cfg:6: [options] sound = maybe: wants yes or no",
                          s.stderr())
            s.wait_frames(LANDED_FRAMES // 2)
            s.hold("Control_L", frames=6)
            s.hold("Right", frames=3)
            s.hold("x", frames=6)
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)
            keys = pass_keys(s.path("r.replay").read_text())
        walk = next(i for i, k in enumerate(keys) if "R" in k)
        self.assertFalse(any("C" in k for k in keys[:walk]))     # left Ctrl fires no more
        self.assertTrue(any("C" in k for k in keys[walk:]))      # X does


if __name__ == "__main__":
    unittest.main()
