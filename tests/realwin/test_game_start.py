"""The game in a real window: start-up on a level of our own, falling,
walking, jumping, the view's jumps, the life count, the music, Print Screen,
Escape, and the two ways start-up fails."""

import unittest

from harness import Map, Session

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GROUND_ROW = 6            # the view's bottom tile row: y 192..223
STONE = 3                 # a ground tile
SUN = 19                  # a scenery tile, used as a marker


def flat_level():
    level = Map()
    level.fill(0, STONE, rows=[GROUND_ROW])
    level[1, 12, 1] = SUN          # view cell (5, 1) once the view has jumped right
    return level


def lit_box(img, x, y, w, h):
    """Bounding box (x1, y1, x2, y2) of the non-black pixels in a rectangle."""
    xs, ys = [], []
    for j in range(y, y + h):
        for i in range(x, x + w):
            if img.pixel(i, j) != BLACK:
                xs.append(i)
                ys.append(j)
    return (min(xs), min(ys), max(xs), max(ys)) if xs else None


def player_box(img):
    """The player is the only thing drawn above the ground on these levels."""
    return lit_box(img, 0, 0, 320, GROUND_ROW * 32)


def standing(img, ground_row=GROUND_ROW):
    """The player's feet rest on the given view row: it has landed."""
    box = lit_box(img, 0, 0, 320, ground_row * 32)
    return box is not None and box[3] == ground_row * 32 - 1


class GameStarts(unittest.TestCase):
    def test_plays_a_level_walks_jumps_scrolls_and_quits(self):
        with Session("game", files={"map2.dat": flat_level()}) as s:
            first = s.capture_until(standing)
            self.assertEqual(first.width, 320)
            self.assertEqual(first.height, 240)
            # The ground row is drawn, the sky is empty but for the player,
            # who stands on the ground at the left.
            self.assertEqual(first.count(BLACK, 0, 192, 320, 32), 0)
            box = player_box(first)
            self.assertIsNotNone(box)
            self.assertLess(box[2], 32)
            self.assertEqual(box[3], 191)
            self.assertGreater(box[1], 130)
            self.assertGreater(first.count(WHITE, 0, 230, 64, 8), 20)   # "Life: 10"
            self.assertGreater(first.count(BLACK, 0, 224, 320, 16), 0)  # border strip
            self.assertLess(first.count(BLACK, 64, 224, 256, 16), 256 * 16)

            s.hold("Right", frames=10)
            walked = player_box(s.capture())
            self.assertTrue(25 <= walked[0] - box[0] <= 40, (box, walked))

            s.key_down("space")
            jumped = player_box(s.capture_until(lambda img: player_box(img)[1] < walked[1] - 11,
                                                every=1))
            s.key_up("space")
            self.assertGreaterEqual(jumped[1], walked[1] - 60)
            s.capture_until(lambda img: player_box(img) == walked)

            # Walk past x 224: the view jumps seven tiles and shows the marker.
            self.assertEqual(first.count(BLACK, 160, 32, 32, 32), 32 * 32)
            s.hold("Right", frames=70)
            right = s.capture()
            self.assertLess(right.count(BLACK, 160, 32, 32, 32), 32 * 32)
            self.assertLess(player_box(right)[0], 100)
            s.hold("Left", frames=12)
            back = s.capture()
            self.assertEqual(back.count(BLACK, 160, 32, 32, 32), 32 * 32)
            self.assertGreater(player_box(back)[0], 150)

            # Print Screen saves the frame before; standing still, that is this one.
            s.tap("Print")
            self.assertEqual(s.read_image("screenshot.bmp"), s.capture())

            self.assertFalse(s.audio_silent())          # the music plays
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)

    def test_view_jumps_down_through_a_hole_and_back_up(self):
        level = Map()
        level.fill(0, STONE, cols=range(4, 200), rows=[GROUND_ROW])   # a hole at the left
        level.fill(0, STONE, rows=[8])        # seven rows down: view row 1 after the jump
        level[1, 5, 10] = SUN                 # view cell (5, 3) after the jump
        with Session("game", files={"map2.dat": level}) as s:
            def sun_shows(img):
                return img.count(BLACK, 160, 96, 32, 32) < 32 * 32

            below = s.capture_until(lambda img: sun_shows(img) and standing(img, ground_row=1))
            self.assertEqual(below.count(BLACK, 0, 32, 320, 32), 0)
            # A jump from there rises through the ceiling into the view above.
            s.key_down("space")
            above = s.capture_until(lambda img: not sun_shows(img), every=1)
            s.key_up("space")
            self.assertEqual(above.count(BLACK, 128, 192, 192, 32), 0)
            # ... and falls back through the hole.
            s.capture_until(sun_shows)
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)

    def test_escape_held_from_the_first_pass_ends_with_status_zero(self):
        with Session("game", files={"map2.dat": flat_level()}) as s:
            s.key_down("Escape")
            self.assertEqual(s.wait_exit(), 0)

    def test_missing_level_file_is_named_and_ends_with_status_one(self):
        with Session("game", remove=["map2.dat"], window=None) as s:
            self.assertEqual(s.dismiss_message(), "Could not load map2.dat")
            self.assertEqual(s.wait_exit(), 1)

    def test_sound_that_cannot_start_ends_with_status_one(self):
        with Session("game", allegro_cfg="[sound]\ndigi_card = ALSA\n", audio=False,
                     window=None) as s:
            self.assertEqual(s.dismiss_message(), "Sorry, cannot initilize sound")
            self.assertEqual(s.wait_exit(), 1)


class GameCommandLine(unittest.TestCase):
    def test_missing_named_map_and_frame_limit(self):
        with Session("game", args=["nothere.dat"], window=None) as s:
            self.assertEqual(s.dismiss_message(), "Could not load nothere.dat")
            self.assertEqual(s.wait_exit(), 1)
        with Session("game", args=["--fast", "--frames", "40"], window=None) as s:
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
