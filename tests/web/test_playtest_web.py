"""F6 in the browser's editor: the game plays the map being drawn in a frame
of the same page and, once it ends (Escape), the editor is back with the
map as it was."""

import time
import unittest

import harness as web
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By


class PlayTestInThePage(unittest.TestCase):
    def test_f6_plays_the_map_and_comes_back_to_the_editor(self):
        with web.Session() as b:
            b.open("editor.html", ["--no-sound"])
            time.sleep(0.5)
            b.click(101, 305)
            b.click(69, 101)
            before = b.canvas()
            # F6 held until the game shows, and let go over the editor.
            ActionChains(b.driver).key_down(web.Keys.F6).perform()
            frame = b.wait(lambda: b.driver.find_elements(By.ID, "kelwyrm-game"), 10, "the game's frame")[0]
            ActionChains(b.driver).key_up(web.Keys.F6).perform()
            b.driver.switch_to.frame(frame)
            b.wait(lambda: b.js("return document.getElementById('kelwyrm-canvas').width") == 320, 20,
                   "the game's canvas")
            time.sleep(1)
            b.element("kelwyrm-canvas").click()  # as a player would, so the frame has the keys
            b.keys(web.Keys.ESCAPE)
            b.driver.switch_to.default_content()
            b.wait(lambda: not b.driver.find_elements(By.ID, "kelwyrm-game"), 20, "the editor back")
            # F6 was let go while the game played: the editor does not play again.
            time.sleep(1)
            self.assertEqual(len(b.output("Playing ")), 1)
            self.assertIsNone(b.message())
            # The game's frame ended (its line), the editor did not.
            self.assertEqual(b.output("Program ended"), ["Program ended with status 0"])
            self.assertFalse(b.element("kelwyrm-ended").is_displayed())
            b.js("document.getElementById('kelwyrm-canvas').focus()")
            time.sleep(0.5)
            self.assertEqual(b.canvas(), before)
            # The editor still answers: F5 saves the map drawn before F6.
            b.keys(web.Keys.F5)
            self.assertEqual(b.wait(b.message, 10, "message"), "you just saved your map")


if __name__ == "__main__":
    unittest.main()
