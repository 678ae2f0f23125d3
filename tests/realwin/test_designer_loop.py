"""The designer's loop in real windows: paint, play the map in the game with
F6, come back to the same map; and the close button of each program."""

import os
import tempfile
import time
import unittest

from harness import Map, Session, _cmdline, alive, descendants

STONE = 3                          # an opaque ground tile
PAINTED = [(4, 3), (5, 3), (6, 3)]  # view cells, away from the player's column


def cells_box(img):
    """The painted cells, as the editor's and the game's views both show them."""
    return img.crop(4 * 32, 3 * 32, 3 * 32, 32)


class DesignerLoop(unittest.TestCase):
    def test_f6_plays_the_painted_map_and_comes_back_to_it(self):
        saved = Map()
        saved[0, 199, 49] = 7
        tmp = tempfile.mkdtemp(prefix="playtest-tmp-")
        try:
            with Session("mapeditor", files={"map1.dat": saved}, env={"TMPDIR": tmp}) as s:
                before = s.path("map1.dat").read_bytes()
                s.tap("F1")
                s.click(STONE * 32 + 5, 305)
                s.drag([(c * 32 + 10, r * 32 + 10) for c, r in PAINTED])
                s.move(600, 400)
                editor = s.capture()
                painted = cells_box(editor)
                self.assertEqual(painted.count((0, 0, 0)), 0)               # all stone

                s.tap("F6")
                s.find_window("game")
                seen = s.capture_until(lambda img: cells_box(img) == painted)
                self.assertEqual(seen.width, 320)
                # The map it plays has no name in any folder: the game reads
                # it through a descriptor it inherited.
                self.assertEqual(os.listdir(tmp), [])
                self.assertRegex(self.game_of(s)[1][-1], r"^/dev/fd/[0-9]+$")
                s.hold("Escape", frames=2, settle=0)

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

    @staticmethod
    def game_of(editor):
        """The game the editor started: its pid and command line."""
        deadline = time.time() + 10
        while time.time() < deadline:
            for pid in descendants(editor.proc.pid):
                cmd = _cmdline(pid)
                if cmd and cmd[0].endswith("/game"):
                    return pid, cmd
            time.sleep(0.05)
        raise AssertionError("the editor started no game")

    def test_f6_without_sound_plays_silently_and_the_game_ends_with_its_editor(self):
        tmp = tempfile.mkdtemp(prefix="playtest-tmp-")
        try:
            # No sound device: the game would stop at its sound message.
            with Session("mapeditor", audio=False, env={"TMPDIR": tmp}) as s:
                s.tap("F6")
                s.find_window("game")
                pid, cmd = self.game_of(s)
                self.assertIn("--no-sound", cmd)
                s.proc.kill()
                deadline = time.time() + 10
                while alive(pid) and time.time() < deadline:
                    time.sleep(0.05)
                self.assertFalse(alive(pid), "the game outlived its editor")
                self.assertEqual(os.listdir(tmp), [])
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
