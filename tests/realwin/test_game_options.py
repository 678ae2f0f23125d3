"""The player's options: bigger windows showing the same picture, scaled by
whole pixels, the whole screen, and play without a sound device."""

import unittest

from harness import Session
from test_game_start import flat_level, standing


class StartAtACell(unittest.TestCase):
    def test_a_start_in_the_ground_is_refused_in_one_line(self):
        # The body (row 5 and row 6) would stand in the ground of row 6.
        with Session("game", files={"map2.dat": flat_level()}, args=["--start", "3,5"],
                     window=None) as s:
            self.assertEqual(s.wait_exit(), 2)
            self.assertEqual([l for l in s.stderr().splitlines() if l.startswith("game:")],
                             ["game: cannot start at 3,5: the player would stand in the ground there"])


class BiggerWindows(unittest.TestCase):
    def test_scaled_windows_show_the_designed_picture_in_whole_pixels(self):
        with Session("game", files={"map2.dat": flat_level()}) as s:
            one = s.capture_until(standing)
            s.hold("Escape", frames=2, settle=0)
        for n in (2, 3):
            with Session("game", files={"map2.dat": flat_level()}, args=["--scale", n],
                         screen="1024x768x24") as s:
                self.assertEqual(s.geometry(), (320 * n, 240 * n))
                big = s.capture_until(lambda img: img == one.scaled(n), timeout=10)
                # Print Screen still saves the frame at its designed size.
                s.tap("Print")
                self.assertEqual(s.read_image("screenshot.bmp"), one)
                s.hold("Escape", frames=2, settle=0)
                self.assertEqual(s.wait_exit(), 0)
                self.assertEqual(big.width, 320 * n)

    def test_fullscreen_centres_the_largest_whole_scale(self):
        with Session("game", files={"map2.dat": flat_level()}) as s:
            one = s.capture_until(standing)
            s.hold("Escape", frames=2, settle=0)
        # 800 x 600 holds the picture twice over (640 x 480), 80 and 60 pixels in.
        # Allegro's full-screen window has no title to wait for; it takes the keyboard.
        with Session("game", files={"map2.dat": flat_level()}, args=["--fullscreen"],
                     screen="800x600x24", window=None) as s:
            whole = s.capture_until(lambda img: img.crop(80, 60, 640, 480) == one.scaled(2),
                                    root=True)
            self.assertEqual((whole.width, whole.height), (800, 600))
            self.assertEqual(whole.count((0, 0, 0), 0, 0, 800, 60), 800 * 60)
            self.assertEqual(whole.count((0, 0, 0), 0, 60, 80, 480), 80 * 480)
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)


class SilentPlay(unittest.TestCase):
    def test_no_sound_plays_where_sound_cannot_start(self):
        # The same machine makes the game stop with "Sorry, cannot initilize
        # sound" without the option (test_game_start).
        with Session("game", files={"map2.dat": flat_level()}, args=["--no-sound"],
                     allegro_cfg="[sound]\ndigi_card = ALSA\n", audio=False) as s:
            first = s.capture_until(standing)
            s.hold("Right", frames=10)
            s.key_down("space")
            s.capture_until(lambda img: img != first and not standing(img), every=1)
            s.key_up("space")
            self.assertEqual(s.messages(), [])
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
