"""The editor under Wine: the same mouse strokes saved with F5 give the same
map1.dat bytes as the Linux editor's; a read-only map1.dat is refused with a
second message and kept; F6 plays the map in kelwyrm.exe beside the editor
and comes back, leaving no temporary map, nor when the editor is killed
while the game plays."""

import os
import signal
import stat
import time
import unittest

from harness import Map, Session, _cmdline, descendants, nonzero_cells, unpack_bytes
from test_editor_roundtrip import POINTER_AWAY, cell_point, palette_point
from winerun import EDITOR, PREFIX, WineSession

# (layer key, palette value, view cells clicked) in edit mode.
STROKES = [("1", 1, [(0, 6), (1, 6), (2, 6), (3, 6)]), ("2", 20, [(5, 2)]),
           ("4", 35, [(9, 5)])]


def draw(s):
    s.tap("F1")
    for layer_key, value, cells in STROKES:
        s.tap(layer_key)
        s.click(*palette_point(value), hold=0.2, settle=4)
        for cell in cells:
            s.click(*cell_point(*cell), hold=0.2, settle=4)
    s.tap("Escape")


def saved_map(s):
    """F5, its message, and map1.dat's bytes once they have changed."""
    path = s.path("map1.dat")
    before = path.stat().st_mtime_ns
    s.tap("F5")
    s.dismiss_message()
    deadline = time.time() + 10
    while path.stat().st_mtime_ns == before and time.time() < deadline:
        time.sleep(0.05)
    return path


def playtest_files():
    """The temporary maps F6 hands to the game, in Wine's temporary folder."""
    return sorted(p.name for p in (PREFIX / "drive_c" / "users").rglob("kelwyrm-playtest-*"))


class EditorUnderWine(unittest.TestCase):
    def test_strokes_saved_give_the_linux_editors_bytes(self):
        saved = []
        for session_type, program in ((Session, "mapeditor"), (WineSession, EDITOR)):
            with session_type(program, files={"map1.dat": Map()}) as s:
                draw(s)
                path = saved_map(s)
                self.assertEqual(len(nonzero_cells(unpack_bytes(path))), 6)
                saved.append(path.read_bytes())
        self.assertEqual(saved[1], saved[0])

    def test_a_read_only_map_is_refused_and_kept(self):
        with WineSession(EDITOR) as s:
            path = s.path("map1.dat")
            before = path.read_bytes()
            os.chmod(path, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
            draw(s)
            s.tap("F5")
            s.dismiss_message()           # "you just saved your map"
            s.dismiss_message()           # the failure, which Linux words the same
            self.assertEqual(s.messages(), [])
            self.assertEqual(path.read_bytes(), before)
            self.assertEqual(sorted(p.name for p in s.dir.iterdir() if ".new-" in p.name), [])

    def start_playtest(self, s):
        """F6 in a drawn map; the game's window once it shows."""
        draw(s)
        s.tap("F6")
        deadline = time.time() + 60
        while not s.windows("kelwyrm") and time.time() < deadline:
            time.sleep(0.1)
        game = s.windows("kelwyrm")
        self.assertEqual(len(game), 1, "the game's window")
        self.assertEqual(len(playtest_files()), 1)
        return game

    def test_f6_plays_the_map_and_comes_back(self):
        with WineSession(EDITOR, audio=True) as s:
            editor = s.window
            game = self.start_playtest(s)
            deadline = time.time() + 60
            # The player clicks the game's window, which takes the keyboard,
            # and leaves with Escape.
            s.wait_frames(20)
            s.xdotool("mousemove", "--window", game[0], 1, 1, "mousedown", 1,
                      "sleep", "0.1", "mouseup", 1)
            s.wait_frames(10)
            s.tap("Escape")
            while s.windows("kelwyrm") and time.time() < deadline:
                time.sleep(0.1)
            self.assertEqual(s.windows("kelwyrm"), [])
            # Back in the editor, which answers keys again and has removed
            # the temporary map.
            self.assertIn(editor, s.windows("kelwyrm-editor"))
            before = s.capture()
            s.click(*POINTER_AWAY, settle=20)
            s.tap("F1", settle=10)
            self.assertGreater(s.capture().differs(before), 0)
            # The game read the map and ended well: the editor says nothing.
            self.assertEqual(s.messages(), [])
            self.assertEqual(playtest_files(), [])

    def test_the_map_f6_plays_goes_with_a_killed_editor(self):
        with WineSession(EDITOR) as s:
            self.start_playtest(s)
            for pid in [s.proc.pid] + descendants(s.proc.pid):
                if "kelwyrm-editor" in " ".join(_cmdline(pid)):
                    os.kill(pid, signal.SIGKILL)
            deadline = time.time() + 30
            while playtest_files() and time.time() < deadline:
                time.sleep(0.2)
            self.assertEqual(playtest_files(), [])


if __name__ == "__main__":
    unittest.main()
