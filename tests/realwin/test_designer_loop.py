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


class PlayFromHere(unittest.TestCase):
    def test_f7_starts_the_game_at_the_view_cell_under_the_mouse(self):
        from test_game_start import flat_level, player_box, standing
        saved = flat_level()
        with Session("mapeditor", files={"map1.dat": saved}) as s:
            before = s.path("map1.dat").read_bytes()
            s.tap("F8")                                   # the flat level, ground on row 6
            s.dismiss_message()
            s.tap("F1")
            s.move(5 * 32 + 10, 2 * 32 + 10)              # view cell (5, 2), the view at 0, 0
            s.tap("F7")
            s.find_window("game")
            cmd = DesignerLoop.game_of(s)[1]
            self.assertEqual(cmd[cmd.index("--start") + 1], "5,2")
            # The player stands on the ground in column 5, not at the view's left edge.
            box = player_box(s.capture_until(standing))
            self.assertGreaterEqual(box[0], 5 * 32)
            self.assertLessEqual(box[2], 6 * 32 - 1)
            s.hold("Escape", frames=2, settle=0)

            s.find_window("mapeditor")
            self.assertEqual(s.path("map1.dat").read_bytes(), before)
            s.tap("Escape")
            s.tap("F10")
            self.assertEqual(s.wait_exit(), 0)


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
