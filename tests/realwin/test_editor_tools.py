"""The level designer's tools in the real editor, through the real keys and
buttons: R-drag, F-click, the middle button, Shift-drag with Ctrl+C, Ctrl+X,
Ctrl+V and Delete, the wheel with and without Shift, a click on the
overview, and the help screen's second page; each checked in the map1.dat
that F5 writes."""

import unittest

from harness import Map, Session, nonzero_cells, unpack_bytes

SAVED = "you just saved your map"
LOADED = "you just loaded a map"


def cell(c, r):
    """A point inside view cell (c, r)."""
    return (c * 32 + 10, r * 32 + 10)


def saved_cells(s):
    s.tap("Escape")
    s.tap("F5")
    assert s.answer_messages() == [SAVED]
    return nonzero_cells(unpack_bytes(s.path("map1.dat")))


class EditorTools(unittest.TestCase):
    def test_rectangle_fill_and_pick(self):
        with Session("mapeditor") as s:
            s.tap("F1")
            s.click(40, 305)                      # tile 1
            s.key_down("r")
            s.drag([cell(0, 0), cell(1, 1), cell(2, 1)])
            s.key_up("r")
            s.click(70, 305)                      # tile 2
            s.key_down("f")
            s.click(*cell(5, 3))                  # every empty ground cell joined to it
            s.key_up("f")
            s.click(*cell(1, 0), button=2)        # the middle button picks 1 again
            s.click(*cell(4, 4))                  # and the left button paints it
            cells = saved_cells(s)
        ground = {(c, r): v for (l, c, r), v in cells.items() if l == 0}
        self.assertEqual(len(cells), len(ground))
        self.assertEqual(len(ground), 200 * 50)
        ones = {k for k, v in ground.items() if v == 1}
        self.assertEqual(ones, {(c, r) for c in range(3) for r in range(2)} | {(4, 4)})
        self.assertEqual(set(ground.values()), {1, 2})

    def test_select_copy_cut_paste_and_delete(self):
        level = Map()
        level.fill(0, 3, cols=range(0, 4), rows=[4])   # a platform
        level[3, 1, 3] = 5                             # an item on it
        level[2, 2, 3] = 1                             # an enemy start on it
        with Session("mapeditor", files={"map1.dat": level}) as s:
            s.tap("F8")
            self.assertEqual(s.answer_messages(), [LOADED])
            s.tap("F1")
            s.key_down("Shift_L")
            s.drag([cell(0, 3), cell(2, 4), cell(3, 4)])
            s.key_up("Shift_L")
            s.tap("ctrl+c")
            s.move(*cell(5, 1))
            s.tap("ctrl+v")                            # the platform again at (5, 1)
            s.tap("Delete")                            # the first one is gone
            s.key_down("Shift_L")
            s.drag([cell(5, 2), cell(6, 2)])
            s.key_up("Shift_L")
            s.tap("ctrl+x")                            # half of the new platform's ground
            s.move(8 * 32 + 10, 195)                   # the bottom row reacts down to y 199
            s.tap("ctrl+v")
            cells = saved_cells(s)
        self.assertEqual(cells, {
            (3, 6, 1): 5, (2, 7, 1): 1,                # layers 2 and 3 moved with it
            (0, 7, 2): 3, (0, 8, 2): 3,                # the ground Ctrl+X left
            (0, 8, 6): 3, (0, 9, 6): 3,                # what it pasted
        })

    def test_wheel_overview_and_second_help_page(self):
        with Session("mapeditor") as s:
            help_screen = s.capture()
            s.tap("F2")
            self.assertGreater(help_screen.differs(s.capture()), 0)
            s.tap("Escape")
            self.assertEqual(s.capture(), help_screen)

            s.tap("F1")
            s.click(40, 305)                           # tile 1
            s.click(*cell(0, 0), button=4)             # up, at the top: nothing
            for _ in range(3):
                s.click(*cell(0, 0), button=5)         # down three rows
            s.key_down("Shift_L")
            for _ in range(2):
                s.click(*cell(0, 0), button=5)         # right two columns
            s.click(*cell(0, 0), button=4)             # and back one
            s.key_up("Shift_L")
            s.click(*cell(0, 0))                       # paints map cell (1, 3)
            s.click(340 + 100, 200 + 20)               # the view's top-left to (95, 17)
            s.click(*cell(0, 0))
            cells = saved_cells(s)
        self.assertEqual(cells, {(0, 1, 3): 1, (0, 95, 17): 1})


if __name__ == "__main__":
    unittest.main()
