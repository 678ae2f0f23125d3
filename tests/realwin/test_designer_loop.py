"""The designer's loop in real windows: paint, play the map in the game with
F6, come back to the same map; and the close button of each program."""

import os
import tempfile
import time
import unittest

from harness import Map, Session

STONE = 3                          # an opaque ground tile
PAINTED = [(4, 3), (5, 3), (6, 3)]  # view cells, away from the player's column


def cells_box(img):
    """The painted cells, as the editor's and the game's views both show them."""
    return img.crop(4 * 32, 3 * 32, 3 * 32, 32)


def play_painted_map(test, s, game):
    """Paints stone cells in the editor's edit mode, plays the map with F6 and
    sees them in the window of `game`; gives the editor's picture before F6."""
    s.tap("F1")
    s.click(STONE * 32 + 5, 305)
    s.drag([(c * 32 + 10, r * 32 + 10) for c, r in PAINTED])
    s.move(600, 400)
    editor = s.capture()
    painted = cells_box(editor)
    test.assertEqual(painted.count((0, 0, 0)), 0)               # all stone

    s.tap("F6")
    s.find_window(game)
    seen = s.capture_until(lambda img: cells_box(img) == painted)
    test.assertEqual(seen.width, 320)
    return editor


class DesignerLoop(unittest.TestCase):
    def test_f6_plays_the_painted_map_and_comes_back_to_it(self):
        saved = Map()
        saved[0, 199, 49] = 7
        tmp = tempfile.mkdtemp(prefix="playtest-tmp-")
        try:
            with Session("mapeditor", files={"map1.dat": saved}, env={"TMPDIR": tmp}) as s:
                before = s.path("map1.dat").read_bytes()
                editor = play_painted_map(self, s, "game")
                self.assertEqual(len(os.listdir(tmp)), 1)        # the map it plays
                s.hold("Escape", frames=2, settle=0)
                # The editor removes the map once the game has ended.
                deadline = time.time() + 10
                while os.listdir(tmp) and time.time() < deadline:
                    time.sleep(0.05)
                self.assertEqual(os.listdir(tmp), [])

                s.find_window("mapeditor")
                s.move(600, 400)                                 # the pointer as before
                # All but the line of passes per second, which goes on changing.
                steady = editor.crop(0, 10, 640, 470)
                s.capture_until(lambda img: img.crop(0, 10, 640, 470) == steady)
                self.assertEqual(s.path("map1.dat").read_bytes(), before)
                self.assertTrue(s.running)
                s.tap("Escape")
                s.tap("F10")
                self.assertEqual(s.wait_exit(), 0)
        finally:
            os.rmdir(tmp)


class CloseButtons(unittest.TestCase):
    def test_closing_the_game_window_ends_it_like_escape(self):
        level = Map()
        level.fill(0, STONE, rows=[6])
        with Session("game", files={"map2.dat": level}) as s:
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)

    def test_closing_the_editor_window_ends_it_like_f10_also_in_edit_mode(self):
        with Session("mapeditor") as s:
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)
        with Session("mapeditor") as s:
            before = s.path("map1.dat").read_bytes()
            s.tap("F1")
            s.click(40, 40)
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.path("map1.dat").read_bytes(), before)   # nothing saved, as F10


if __name__ == "__main__":
    unittest.main()
