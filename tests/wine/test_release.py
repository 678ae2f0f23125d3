"""The Windows release as files: the zip holds one folder with both
programs, every data file of the native run folder byte for byte and the
texts for players; each program is a 64-bit Windows program that needs no DLL
beyond Windows' own, with its icon and version; and under Wine both answer
--version and --help as the Linux build does, and a bad option with status 2;
both end with their own key once their window has taken the keyboard."""

import os
import re
import subprocess
import unittest
import zipfile

import winerun
from winerun import DIST, EDITOR, GAME, NATIVE_RUN, STAGE, WineSession

VERSION = os.environ.get("WINE_VERSION", "")
NATIVE_PROGRAMS = {"game", "mapeditor"}
TEXTS = {"README.txt", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt"}
# DLLs every Windows since 7 ships in its system folder.
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "winmm.dll", "ole32.dll",
                "ddraw.dll", "dinput.dll", "dsound.dll", "msvcrt.dll", "advapi32.dll",
                "shell32.dll", "comdlg32.dll", "oleaut32.dll", "version.dll"}


def imported_dlls(exe):
    out = subprocess.run([os.environ["WINE_OBJDUMP"], "-p", str(exe)], capture_output=True,
                         text=True, check=True).stdout
    return {name.lower() for name in re.findall(r"DLL Name: (\S+)", out)}, out


def resources(exe):
    """(type, name) of each resource, as icoutils' wrestool lists them."""
    out = subprocess.run(["wrestool", "--list", str(exe)], capture_output=True, text=True,
                         check=True).stdout
    return set(re.findall(r"--type=(\S+) --name=(\S+)", out))


# The settings file lies where each system keeps a user's settings.
SETTINGS_FILE = re.compile(r"^(The settings file )\S+( .*)$", re.M)


def same_on_both(text, program):
    """The text with the program's own name and the settings file's place
    put aside: what must be the same on both systems."""
    text = SETTINGS_FILE.sub(r"\1FILE\2", "\n".join(winerun.lines(text)))
    return re.sub(r"^(Usage: )?%s\b" % program, r"\1PROGRAM", text, flags=re.M)


def native(*args):
    return subprocess.run([str(NATIVE_RUN / "game")] + list(args), cwd=NATIVE_RUN,
                          capture_output=True, text=True, timeout=30)


class Files(unittest.TestCase):
    def test_the_zip_holds_the_programs_every_data_file_and_the_texts(self):
        folder = "kelwyrm-%s/" % VERSION
        data = sorted(p.name for p in NATIVE_RUN.iterdir() if p.name not in NATIVE_PROGRAMS)
        with zipfile.ZipFile(DIST / ("kelwyrm-%s-windows-x64.zip" % VERSION)) as z:
            names = z.namelist()
            self.assertEqual(names[0], folder)
            files = sorted(n[len(folder):] for n in names[1:])
            self.assertEqual(files, sorted(data + [GAME, EDITOR] + list(TEXTS)))
            for name in data:
                with self.subTest(file=name):
                    self.assertEqual(z.read(folder + name), (NATIVE_RUN / name).read_bytes())
            self.assertIn(b"\r\n", z.read(folder + "README.txt"))
        self.assertTrue((DIST / ("kelwyrm-%s-setup.exe" % VERSION)).stat().st_size > 0)

    def test_each_program_is_64_bit_needs_only_windows_dlls_and_has_icon_and_version(self):
        for exe in (GAME, EDITOR):
            with self.subTest(program=exe):
                dlls, dump = imported_dlls(STAGE / exe)
                self.assertIn("file format pei-x86-64", dump)
                self.assertIn("kernel32.dll", dlls)
                self.assertEqual(dlls - WINDOWS_DLLS, set())
                found = resources(STAGE / exe)
                self.assertIn(("14", "ALLEGRO_ICON"), {(t, n.strip("'").upper()) for t, n in found})
                self.assertIn("16", {t for t, _ in found})


class Console(unittest.TestCase):
    def test_version_help_and_a_bad_option_answer_as_on_linux(self):
        for args in (["--version"], ["--help"], ["--scale", "9"]):
            with self.subTest(args=args):
                ours = winerun.run([GAME] + args, cwd=STAGE)
                theirs = native(*args)
                self.assertEqual(ours.returncode, theirs.returncode)
                for mine, linux in ((ours.stdout, theirs.stdout), (ours.stderr, theirs.stderr)):
                    self.assertEqual(same_on_both(mine, "(kelwyrm|game)"),
                                     same_on_both(linux, "game"))
        self.assertEqual(theirs.returncode, 2)
        self.assertIn("AppData/Roaming/kelwyrm/kelwyrm.cfg", ours.stderr)
        editor = winerun.run([EDITOR, "--version"], cwd=STAGE)
        self.assertEqual(editor.returncode, 0)
        self.assertTrue(editor.stdout.startswith("Kelwyrm %s, the map editor" % VERSION))


class Leaving(unittest.TestCase):
    def test_each_program_clicked_then_left_with_its_key_ends_with_status_0(self):
        # Closing the graphics mode used to hang once the window had been
        # clicked: the window thread waited for the lock the closing held.
        for program, args, key in ((GAME, ["--no-sound"], "Escape"), (EDITOR, [], "F10")):
            with self.subTest(program=program), WineSession(program, args=args) as s:
                s.wait_frames(20)
                s.tap(key)
                self.assertEqual(s.wait_exit(timeout=30), 0)


if __name__ == "__main__":
    unittest.main()
