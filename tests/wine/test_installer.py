"""The installer under Wine, judged by the files it leaves: a silent install
puts the release's files in Program Files (or the folder /D= names), two
Start-menu shortcuts whose programs start in the installing user's own
Documents (not the Public ones of an install for every user) and find their
data there, and an entry among the installed programs; the silent uninstall
takes every one of them away again, but an installed file the player
changed."""

import getpass
import os
import struct
import unittest
from pathlib import Path

import winerun
from winerun import EDITOR, GAME, PREFIX, STAGE, WineSession

VERSION = os.environ.get("WINE_VERSION", "")
UNINSTALL_KEY = r"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelwyrm"
# Wine's own folders change with every start; the installer writes none of them.
WINE_OWN = ("windows/", "users/root/AppData/Local/Temp/", "users/root/Temp/")

# Flags of a shell link (.lnk) and the order of its optional strings.
HAS_ID_LIST, HAS_LINK_INFO = 0x1, 0x2
STRING_FLAGS = [0x4, 0x8, 0x10, 0x20, 0x40]   # name, relative path, working dir, arguments, icon
IS_UNICODE = 0x80


def read_link(path):
    """(target, working folder) of a Windows shell link."""
    data = path.read_bytes()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = 0x4C
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = None
    if flags & HAS_LINK_INFO:
        size, header = struct.unpack_from("<II", data, at)
        base = struct.unpack_from("<I", data, at + 16)[0]
        target = data[at + base:data.index(b"\0", at + base)].decode("latin-1")
        at += size
    strings = {}
    for flag in STRING_FLAGS:
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            width = 2 if flags & IS_UNICODE else 1
            raw = data[at + 2:at + 2 + count * width]
            # Wine counts the closing NUL in, Windows does not.
            strings[flag] = raw.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0")
            at += 2 + count * width
    return target, strings.get(0x10)


def unix_path(windows_path):
    drive, rest = windows_path.split(":", 1)
    assert drive.upper() == "C", windows_path
    return PREFIX / "drive_c" / rest.strip("\\").replace("\\", "/")


def drive_files():
    """Every file and folder of the prefix's drive C but Wine's own."""
    root = PREFIX / "drive_c"
    found = set()
    for dirpath, dirnames, filenames in os.walk(root):
        for name in dirnames + filenames:
            rel = os.path.relpath(os.path.join(dirpath, name), root)
            if not any((rel + "/").startswith(p) for p in WINE_OWN):
                found.add(rel)
    return found


def machine_registry():
    return (PREFIX / "system.reg").read_text(errors="replace")


class Installer(unittest.TestCase):
    def install(self, *args):
        setup = winerun.DIST / ("kelwyrm-%s-setup.exe" % VERSION)
        r = winerun.run([setup, "/S"] + list(args), cwd=winerun.DIST, timeout=300)
        winerun.wait_wine()
        self.assertEqual(r.returncode, 0, r.stderr)

    def uninstall(self, folder):
        r = winerun.run([folder / "uninstall.exe", "/S"], cwd=PREFIX, timeout=300)
        # The uninstaller goes on in a copy of itself, so that it can remove
        # its own file: wait for every Wine process to end.
        winerun.wait_wine()
        self.assertEqual(r.returncode, 0, r.stderr)

    def check_installed(self, folder):
        expected = {p.name for p in STAGE.iterdir()} | {"uninstall.exe"}
        self.assertEqual({p.name for p in folder.iterdir()}, expected)
        for p in STAGE.iterdir():
            self.assertEqual((folder / p.name).read_bytes(), p.read_bytes(), p.name)
        self.assertIn(UNINSTALL_KEY, machine_registry())

    def shortcuts(self):
        menus = list((PREFIX / "drive_c").glob("ProgramData/Microsoft/Windows/Start Menu/"
                                                "Programs/Kelwyrm/*.lnk"))
        return {p.name: read_link(p) for p in menus}

    def test_silent_install_start_from_the_shortcuts_and_uninstall(self):
        winerun.ensure_prefix()
        before = drive_files()
        self.install()
        folder = PREFIX / "drive_c" / "Program Files" / "Kelwyrm"
        self.check_installed(folder)
        links = self.shortcuts()
        self.assertEqual(sorted(links), ["Kelwyrm map editor.lnk", "Kelwyrm.lnk"])
        for name, exe in (("Kelwyrm.lnk", GAME), ("Kelwyrm map editor.lnk", EDITOR)):
            target, start_in = links[name]
            self.assertEqual(unix_path(target), folder / exe)
            start = unix_path(start_in)
            self.assertTrue(start.is_dir())
            self.assertEqual(start, PREFIX / "drive_c" / "users" / getpass.getuser() /
                             "Documents" / "Kelwyrm")
        # Each finds its data from there: the game plays 40 frames and ends
        # well, the editor opens its window with no message box.
        with WineSession(str(folder / GAME), in_place=True, start_in=start, window=None,
                         args=["--frames", "40", "--no-sound"]) as s:
            self.assertEqual(s.wait_exit(timeout=60), 0)
        with WineSession(str(folder / EDITOR), in_place=True, start_in=start,
                         click_to_focus=False) as s:
            s.wait_frames(20)
            self.assertEqual(s.messages(), [])
        winerun.end_wine()

        self.uninstall(folder)
        self.assertEqual(sorted(drive_files() - before), [])
        self.assertNotIn(UNINSTALL_KEY, machine_registry())

    def test_the_folder_named_with_d_is_used_and_emptied_but_an_edited_map(self):
        winerun.ensure_prefix()
        before = drive_files()
        # Wine quotes an argument with a space, which /D= does not take.
        self.install(r"/D=C:\Games\Kelwyrm")
        folder = PREFIX / "drive_c" / "Games" / "Kelwyrm"
        self.check_installed(folder)
        edited = (folder / "map2.dat").read_bytes()[:-1] + b"\x07"
        (folder / "map2.dat").write_bytes(edited)
        self.uninstall(folder)
        self.assertEqual(sorted(drive_files() - before),
                         ["Games", "Games/Kelwyrm", "Games/Kelwyrm/map2.dat"])
        self.assertEqual((folder / "map2.dat").read_bytes(), edited)
        (folder / "map2.dat").unlink()
        folder.rmdir()
        (PREFIX / "drive_c" / "Games").rmdir()


if __name__ == "__main__":
    unittest.main()
