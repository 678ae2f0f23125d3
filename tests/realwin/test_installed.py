"""The installed programs, started from a folder that holds none of their
data: from `cmake --install` into a temporary prefix (bin, share/kelwyrm),
and from the Debian package unpacked with dpkg -x (usr/games,
usr/share/games/kelwyrm). The game plays its first level with its music,
both windows carry their own icon and window class, and the editor's F6
plays the map in the installed game."""

import os
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

from harness import Session, read_xpm
from test_designer_loop import play_painted_map

BLACK = (0, 0, 0)


def build_dir():
    return Path(os.environ["REALWIN_BUILD_DIR"])


class Installed:
    """The cases, run on the programs in `cls.programs`."""
    programs = None

    def assert_icon(self, session, name):
        icon, size = session.window_icon()
        want, want_size = read_xpm(Path(os.environ["REALWIN_ICON_DIR"]) / (name + ".xpm"))
        self.assertEqual(size, want_size)
        self.assertEqual(icon, want)

    def test_game_plays_from_another_folder_with_music_and_icon(self):
        with Session(str(self.programs / "kelwyrm"), in_place=True) as s:
            self.assertEqual(list(s.dir.iterdir()), [])      # no data where it starts
            first = s.capture_until(lambda img: img.count(BLACK, 0, 192, 320, 32) == 0)
            self.assertEqual((first.width, first.height), (320, 240))
            self.assertFalse(s.audio_silent())    # the patch set was found too
            self.assertEqual(s.wm_class(), ("kelwyrm", "Kelwyrm"))
            self.assert_icon(s, "kelwyrm")
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.messages(), [])

    def test_editor_starts_from_another_folder_with_its_icon_and_plays_with_f6(self):
        with Session(str(self.programs / "kelwyrm-editor"), in_place=True) as s:
            help_screen = s.capture_until(lambda img: len(img.colours()) > 1)
            self.assertEqual((help_screen.width, help_screen.height), (640, 480))
            self.assertEqual(s.wm_class(), ("kelwyrm-editor", "Kelwyrm-editor"))
            self.assert_icon(s, "kelwyrm-editor")
            play_painted_map(self, s, "kelwyrm")
            s.hold("Escape", frames=2, settle=0)
            s.find_window("kelwyrm-editor")
            self.assertEqual(s.messages(), [])
            s.tap("Escape")
            s.hold("F10", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)


class CMakeInstall(Installed, unittest.TestCase):
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
        cls.programs = cls.prefix / "bin"

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)


# The sanitizer build makes no package: its tests run the package's
# programs only where the package build gives them.
@unittest.skipUnless(os.environ.get("REALWIN_DEB_DIR"), "no package in this build")
class DebianPackage(Installed, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        debs = list(Path(os.environ["REALWIN_DEB_DIR"]).glob("kelwyrm_*.deb"))
        if len(debs) != 1:
            raise AssertionError("expected one package, found %s" % debs)
        cls.root = Path(tempfile.mkdtemp(prefix="realwin-deb-"))
        subprocess.run(["dpkg-deb", "-x", str(debs[0]), str(cls.root)], check=True, timeout=60)
        cls.programs = cls.root / "usr" / "games"

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
