"""The editor in headless Chromium: the same mouse strokes and F5 save the
bytes the Linux editor saves, taken through the page's Download button; the
map is still there after a reload; a held F5 saves once and shows one
message."""

import time
import unittest

import harness as web
from harness import realwin_session, run_dir

SAVED = "you just saved your map"
# Palette value 3, then two cells of the view (see the real-window
# round-trip test for where the editor takes its clicks).
STROKES = [(101, 305), (69, 101), (133, 165)]


class EditorInTheBrowser(unittest.TestCase):
    def linux_bytes(self):
        with realwin_session("mapeditor", audio=False) as s:
            for x, y in STROKES:
                s.click(x, y)
            s.tap("F5")
            self.assertEqual(s.dismiss_message(s.find_message()), SAVED)
            return s.path("map1.dat").read_bytes()

    def test_strokes_and_f5_save_the_linux_bytes_which_survive_a_reload(self):
        linux = self.linux_bytes()
        self.assertNotEqual(linux, (run_dir() / "map1.dat").read_bytes())
        with web.Session() as b:
            b.open("editor.html")
            time.sleep(0.5)
            for x, y in STROKES:
                b.click(x, y)
            # F5 held for a second: one save, one message, as on Linux.
            b.keys(web.Keys.F5, hold=1.0)
            self.assertEqual(b.wait(b.message, 10, "message"), SAVED)
            b.keys(web.Keys.ENTER)
            time.sleep(1.0)
            self.assertIsNone(b.message())
            self.assertEqual(b.output(SAVED), [SAVED])
            self.assertEqual(b.download("map1.dat"), linux)
            # Stored: a new page load has it before the editor starts.
            b.open("editor.html", start=False)
            self.assertEqual(b.download("map1.dat"), linux)


if __name__ == "__main__":
    unittest.main()
