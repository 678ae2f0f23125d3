"""A level designer's whole round trip: draw on all four layers (the enemy
layer through enemy placement), save, quit, start the editor again in the
same folder, load, and find every cell as it was, in the file and on the
screen."""

import unittest

from harness import Session, nonzero_cells, unpack_bytes

SAVED = "you just saved your map"
LOADED = "you just loaded a map"

# The map view with its grid: cells (0, 0) to (9, 6), grid lines up to x 320
# and y 224.
VIEW = (0, 0, 321, 225)
# Where the pointer rests while the view is captured: over no area that
# reacts to the mouse, and away from the view.
POINTER_AWAY = (630, 470)

CELL = 32


def cell_point(col, row):
    """A point inside view cell (col, row) that the view reacts to (it takes
    clicks only down to y 199)."""
    return col * CELL + 5, row * CELL + 5


def palette_point(value):
    """A point that picks palette value `value`. The picked row counts
    32-pixel bands from y 288, and the palette reacts only from y 300 to 430,
    so the first row is picked at 305 and the others 8 pixels into their band."""
    row, col = divmod(value, 10)
    y = 305 if row == 0 else 288 + row * CELL + 8
    return col * CELL + 5, y


def steady_view(s):
    """The map view once two captures in a row agree."""
    s.move(*POINTER_AWAY)
    last = [None]

    def settled(img):
        view = img.crop(*VIEW)
        same = view == last[0]
        last[0] = view
        return same

    return s.capture_until(settled).crop(*VIEW)


class EditorRoundTrip(unittest.TestCase):
    # (layer key, palette value, view cell) painted in edit mode.
    PAINTED = [("1", 1, (0, 6)), ("1", 1, (1, 6)), ("2", 20, (3, 2)), ("4", 49, (9, 5)),
               ("3", 5, (6, 0))]
    # Enemy placement: value 1 at (2, 1); then value 2 at view cell (2, 3)
    # after one step of seven columns to the right, i.e. map column 9.
    EXPECTED = {(0, 0, 6): 1, (0, 1, 6): 1, (1, 3, 2): 20, (3, 9, 5): 49,
                (2, 2, 1): 1, (2, 9, 3): 2}

    def paint(self, s):
        s.tap("F1")
        for layer_key, value, cell in self.PAINTED:
            s.tap(layer_key)
            s.click(*palette_point(value))
            s.click(*cell_point(*cell))
        s.tap("Escape")

    def place_enemies(self, s):
        s.tap("F3")                      # value 0, layer 2: the earlier 5 is removed
        s.click(*cell_point(6, 0))
        s.hold("a", frames=1)            # one step: value 1
        s.click(*cell_point(2, 1))
        s.hold("a", frames=10)           # stops at 2
        s.hold("Right", frames=1)        # one step of seven columns
        s.click(*cell_point(2, 3))
        s.tap("Escape")

    def view_at_home(self, s):
        """The map view in edit mode, scrolled back to column 0, row 0."""
        s.tap("F1")
        s.tap(["Home", "Prior"])
        view = steady_view(s)
        s.tap("Escape")
        return view

    def test_every_cell_comes_back_after_quit_and_load(self):
        with Session("mapeditor") as first:
            self.paint(first)
            self.place_enemies(first)
            first.tap("F5")
            self.assertEqual(first.answer_messages(), [SAVED])
            saved = unpack_bytes(first.path("map1.dat"))
            self.assertEqual(len(saved), 160000)
            self.assertEqual(nonzero_cells(saved), self.EXPECTED)
            drawn = self.view_at_home(first)
            first.tap("F10")
            self.assertEqual(first.wait_exit(), 0)

            # The same folder, map1.dat included, with a new editor.
            with Session("mapeditor", source=first.dir) as second:
                empty = self.view_at_home(second)
                self.assertGreater(empty.differs(drawn), 0, "a fresh editor starts empty")
                second.tap("F8")
                self.assertEqual(second.answer_messages(), [LOADED])
                self.assertEqual(self.view_at_home(second).differs(drawn), 0)
                second.tap("F5")
                self.assertEqual(second.answer_messages(), [SAVED])
                self.assertEqual(unpack_bytes(second.path("map1.dat")), saved)
                second.tap("F10")
                self.assertEqual(second.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
