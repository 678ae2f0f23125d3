"""The map editor in a real window: painting with the mouse, the file
commands behind their message boxes, enemy placement, and the failures that
must say so and lose nothing."""

import os
import unittest

from harness import Map, Session, nonzero_cells, unpack_bytes

SAVED = "you just saved your map"
LOADED = "you just loaded a map"
SAVE_FAILED = "Could not save map1.dat: the file could not be written"
LOAD_FAILED = "Could not load map1.dat; the map was not changed"


def filled_cells(path):
    """The nonzero cells of a map file, as Allegro's own `pack u` unpacks it."""
    raw = unpack_bytes(path)
    assert len(raw) == 160000, len(raw)
    return nonzero_cells(raw)


def save(s):
    s.tap("F5")
    return s.answer_messages()


class EditorSession(unittest.TestCase):
    def test_paint_two_layers_save_load_and_quit(self):
        with Session("mapeditor") as s:
            s.tap("F1")
            s.click(40, 305)              # palette row 0, column 1: tile 1
            s.click(10, 10)               # ground layer, column 0, row 0
            s.tap("2")                    # background layer
            s.click(5, 360)               # palette band 352-383: tile 20
            s.click(3 * 32 + 5, 2 * 32 + 5)
            s.tap("F10")                  # no effect inside edit mode
            self.assertTrue(s.running)
            s.tap("Escape")
            self.assertEqual(save(s), [SAVED])
            self.assertEqual(filled_cells(s.path("map1.dat")), {(0, 0, 0): 1, (1, 3, 2): 20})

            other = Map()
            other[0, 5, 5] = 3
            other[2, 4, 1] = 1
            other[3, 199, 49] = 49
            other.save(s.path("map1.dat"))
            s.tap("F8")
            self.assertEqual(s.answer_messages(), [LOADED])
            self.assertEqual(save(s), [SAVED])   # what was loaded is what is saved
            self.assertEqual(Map.load(s.path("map1.dat")), other)
            s.tap("F10")
            self.assertEqual(s.wait_exit(), 0)

    def test_enemy_placement(self):
        with Session("mapeditor") as s:
            s.tap("F3")
            s.hold("a", frames=1)         # one step: value 1
            s.click(2 * 32 + 5, 32 + 5)
            s.hold("a", frames=10)        # stops at 2
            s.hold("Right", frames=1)     # one step of seven columns
            s.click(5, 5)
            s.tap("Escape")
            self.assertEqual(save(s), [SAVED])
            self.assertEqual(filled_cells(s.path("map1.dat")), {(2, 2, 1): 1, (2, 7, 0): 2})

    def test_failures_say_so_and_lose_nothing(self):
        with Session("mapeditor", files={"map1.dat": b"not a packed file"}) as s:
            s.tap("F1")
            s.click(40, 305)
            s.click(10, 10)
            s.tap("Escape")
            s.tap("F8")
            self.assertEqual(s.answer_messages(), [LOADED, LOAD_FAILED])
            self.assertEqual(save(s), [SAVED])
            self.assertEqual(filled_cells(s.path("map1.dat")), {(0, 0, 0): 1})

            # A link into a folder that is gone: no new file can be made.
            os.remove(s.path("map1.dat"))
            os.symlink("gone/map1.dat", s.path("map1.dat"))
            s.tap("F1")
            s.click(40, 40)
            s.tap("Escape")
            self.assertEqual(save(s), [SAVED, SAVE_FAILED])
            self.assertEqual(os.readlink(s.path("map1.dat")), "gone/map1.dat")
            self.assertEqual([n for n in os.listdir(s.path(".")) if ".new" in n], [])

    def test_missing_datafile_is_named(self):
        with Session("mapeditor", remove=["tiles.dat"], window=None) as s:
            self.assertEqual(s.dismiss_message(), "Could not load tiles.dat")
            self.assertEqual(s.wait_exit(), 1)


if __name__ == "__main__":
    unittest.main()
