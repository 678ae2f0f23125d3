"""The game in a real window: an exit brings the level-complete screen and the
next level; an enemy that shoots the player ten times brings the death
screen, and F1 starts the level again with ten lives."""

import unittest

from harness import Map, Session, from_palette

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
LIGHT_GREEN = from_palette(32, 63, 32)
GROUND_ROW = 6
STONE = 3
SUN = 19
EXIT = 49
LANDED_FRAMES = 45


def flat_level():
    level = Map()
    level.fill(0, STONE, rows=[GROUND_ROW])
    return level


class GamePlay(unittest.TestCase):
    def test_exit_shows_level_complete_and_f1_brings_the_next_level(self):
        first = flat_level()
        first[3, 5, GROUND_ROW - 1] = EXIT
        second = flat_level()
        second[1, 5, 1] = SUN                 # tells the next level apart
        with Session("game", files={"map2.dat": first, "map3.dat": second}) as s:
            s.wait_frames(LANDED_FRAMES)
            life = s.capture().crop(0, 230, 64, 8)
            s.key_down("Right")
            done = s.capture_until(lambda img: img.count(LIGHT_GREEN, 0, 100, 320, 8) > 100,
                                   timeout=15)
            s.key_up("Right")
            self.assertGreater(done.count(LIGHT_GREEN, 72, 110, 160, 8), 50)
            self.assertEqual(done.count(LIGHT_GREEN, 0, 110, 72, 8), 0)   # nine spaces
            s.wait_frames(10)
            self.assertEqual(s.capture(), done)          # it waits for F1
            s.tap("F1")
            s.wait_frames(LANDED_FRAMES)
            nxt = s.capture()
            self.assertLess(nxt.count(BLACK, 160, 32, 32, 32), 32 * 32)
            self.assertEqual(nxt.count(LIGHT_GREEN, 0, 100, 320, 8), 0)
            self.assertEqual(nxt.crop(0, 230, 64, 8), life)
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)

    def test_ten_enemy_hits_bring_the_death_screen_and_f1_restarts(self):
        level = flat_level()
        level[2, 5, GROUND_ROW - 1] = 1       # an enemy start in view
        level[0, 4, GROUND_ROW - 1] = STONE   # walls keep it turning on the spot,
        level[0, 6, GROUND_ROW - 1] = STONE   # facing the player every other step
        with Session("game", files={"map2.dat": level}) as s:
            start = s.capture().crop(0, 230, 64, 8)       # "Life: 10"
            dead = s.capture_until(lambda img: img.count(WHITE, 40, 118, 180, 12) > 50,
                                   timeout=15)
            self.assertGreater(dead.count(WHITE, 46, 130, 168, 8), 50)
            self.assertNotEqual(dead.crop(0, 230, 64, 8), start)
            s.wait_frames(10)
            self.assertEqual(s.capture(), dead)           # it waits for F1
            s.tap("F1", settle=4)
            again = s.capture()
            self.assertEqual(again.count(WHITE, 40, 118, 180, 12), 0)
            self.assertEqual(again.crop(0, 230, 64, 8), start)
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
