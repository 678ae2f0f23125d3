"""The installed programs (cmake --install into a temporary prefix), started
from a folder that holds none of their data: the game plays its first level
with its music, and both windows carry their own icon and window class."""

import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

from harness import Session, read_xpm

BLACK = (0, 0, 0)


def build_dir():
    return Path(os.environ["REALWIN_BUILD_DIR"])


class InstalledPrograms(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Every install writes the build's manifest; leave the build as found.
        manifest = build_dir() / "install_manifest.txt"
        had_manifest = manifest.exists()
        cls.prefix = Path(tempfile.mkdtemp(prefix="realwin-install-"))
        try:
            subprocess.run(["cmake", "--install", str(build_dir()), "--prefix", str(cls.prefix)],
                           check=True, capture_output=True, timeout=120)
        except BaseException:
            shutil.rmtree(cls.prefix, ignore_errors=True)
            raise
        finally:
            if not had_manifest:
                manifest.unlink(missing_ok=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def assert_icon(self, session, name):
        icon, size = session.window_icon()
        want, want_size = read_xpm(Path(os.environ["REALWIN_ICON_DIR"]) / (name + ".xpm"))
        self.assertEqual(size, want_size)
        self.assertEqual(icon, want)

    def test_game_plays_from_another_folder_with_music_and_icon(self):
        game = self.prefix / "bin" / "kelwyrm"
        with Session(str(game), in_place=True) as s:
            self.assertEqual(list(s.dir.iterdir()), [])      # no data where it starts
            first = s.capture_until(lambda img: img.count(BLACK, 0, 192, 320, 32) == 0)
            self.assertEqual((first.width, first.height), (320, 240))
            self.assertFalse(s.audio_silent())    # the patch set was found too
            self.assertEqual(s.wm_class(), ("kelwyrm", "Kelwyrm"))
            self.assert_icon(s, "kelwyrm")
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.messages(), [])

    def test_editor_starts_from_another_folder_with_its_icon(self):
        editor = self.prefix / "bin" / "kelwyrm-editor"
        with Session(str(editor), in_place=True) as s:
            help_screen = s.capture_until(lambda img: len(img.colours()) > 1)
            self.assertEqual((help_screen.width, help_screen.height), (640, 480))
            self.assertEqual(s.wm_class(), ("kelwyrm-editor", "Kelwyrm-editor"))
            self.assert_icon(s, "kelwyrm-editor")
            s.hold("F10", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
