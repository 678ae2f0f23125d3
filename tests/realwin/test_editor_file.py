"""`mapeditor FILE` in a real window: FILE is loaded at start and named in
the title, F5 writes it and leaves map1.dat untouched, a missing FILE is
created by the first F5, and an unreadable FILE (a FIFO too) is said at start
and kept."""

import os
import tempfile
import unittest

from harness import Map, Session

SAVED = "you just saved your map"
STONE = 3


class EditorFile(unittest.TestCase):
    def test_file_is_loaded_shown_and_saved_and_map1_is_untouched(self):
        mine = Map()
        mine.fill(0, STONE, cols=range(0, 5), rows=[3])
        with Session("mapeditor", args=["mine.dat"], files={"mine.dat": mine},
                     window="mapeditor - mine.dat") as s:
            map1 = s.path("map1.dat").read_bytes()
            s.tap("F1", settle=4)
            view = s.capture()
            self.assertNotEqual(view.crop(0, 96, 160, 32), view.crop(160, 96, 160, 32))
            s.tap("Escape")
            s.tap("F5")
            self.assertEqual(s.answer_messages(), [SAVED])
            self.assertEqual(Map.load(s.path("mine.dat")), mine)
            self.assertEqual(s.path("map1.dat").read_bytes(), map1)
            s.hold("F10", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)

    def test_a_missing_file_is_created_and_an_unreadable_one_kept(self):
        with Session("mapeditor", args=["new.dat"], window="mapeditor - new.dat") as s:
            self.assertEqual(s.messages(), [])
            s.tap("F5")
            self.assertEqual(s.answer_messages(), [SAVED])
            self.assertEqual(Map.load(s.path("new.dat")), Map())
            s.hold("F10", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)
        garbage = b"not a map at all"
        with Session("mapeditor", args=["bad.dat"], files={"bad.dat": garbage},
                     window=None) as s:
            self.assertEqual(s.dismiss_message(),
                             "Could not load bad.dat; the map was not changed")
            s.find_window("mapeditor - bad.dat")
            s.hold("F10", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.path("bad.dat").read_bytes(), garbage)
        # A FIFO no one writes to is said at start like any unreadable map,
        # and the editor still answers F10.
        with tempfile.TemporaryDirectory() as folder:
            pipe = os.path.join(folder, "pipe.dat")
            os.mkfifo(pipe)
            with Session("mapeditor", args=[pipe], window=None) as s:
                self.assertEqual(s.dismiss_message(),
                                 "Could not load %s; the map was not changed" % pipe)
                s.find_window("mapeditor - " + pipe)
                s.hold("F10", frames=2, settle=0)
                self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
