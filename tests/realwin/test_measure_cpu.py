"""The CPU measuring script: a figure only for a program that ran the whole
time, a clear failure otherwise, and in every case nothing it started left
running and no file left behind."""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

from harness import process_fields, run_dir

SCRIPT = Path(__file__).resolve().parent / "measure_cpu.py"


def session_members(sid):
    """Living processes of session `sid` (the script and all it started)."""
    return [pid for pid, fields in process_fields() if int(fields[3]) == sid and fields[0] != "Z"]


class MeasureCpu(unittest.TestCase):
    def setUp(self):
        self.tmp = Path(tempfile.mkdtemp(prefix="measure-test-"))
        self.addCleanup(shutil.rmtree, self.tmp, ignore_errors=True)

    def run_folder(self, change):
        """A copy of the run folder, changed by `change(folder)`."""
        folder = self.tmp / "run"
        shutil.copytree(run_dir(), folder)
        change(folder)
        return folder

    def measure(self, *args, source=None):
        """Runs the script in a session of its own with a private TMPDIR and
        checks that it leaves no process and no file; gives (status, out, err)."""
        scratch = self.tmp / "scratch"
        scratch.mkdir(exist_ok=True)
        p = subprocess.Popen([sys.executable, "-B", str(SCRIPT), "--seconds", "1", *args,
                              str(source or run_dir())],
                             env=dict(os.environ, TMPDIR=str(scratch)), stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True, start_new_session=True)
        self.addCleanup(lambda: [os.kill(pid, signal.SIGKILL) for pid in session_members(p.pid)])
        out, err = p.communicate(timeout=120)
        deadline = time.time() + 5
        while session_members(p.pid) and time.time() < deadline:
            time.sleep(0.05)
        self.assertEqual(session_members(p.pid), [], "processes left running")
        self.assertEqual(os.listdir(scratch), [], "files left behind")
        return p.returncode, out, err

    def test_game_and_editor_in_edit_mode_give_a_figure(self):
        status, out, err = self.measure()
        self.assertEqual(status, 0, err)
        self.assertRegex(out, r"^game CPU over 1 s: \d+\.\d\d % of one core\n$")
        status, out, err = self.measure("--editor", "--keys", "F1")
        self.assertEqual(status, 0, err)
        self.assertRegex(out, r"^mapeditor CPU over 1 s: \d+\.\d\d % of one core\n$")

    def test_game_showing_a_message_fails_without_a_figure(self):
        folder = self.run_folder(lambda f: (f / "tiles.dat").unlink())
        status, out, err = self.measure(source=folder)
        self.assertEqual(status, 1)
        self.assertEqual(out, "")
        self.assertIn("Could not load tiles.dat", err)

    def test_program_that_exits_at_once_fails_without_a_figure(self):
        def quitter(f):
            (f / "game").write_text("#!/bin/sh\nexit 0\n")
        status, out, err = self.measure(source=self.run_folder(quitter))
        self.assertEqual(status, 1)
        self.assertEqual(out, "")
        self.assertRegex(err, "game stopped early")


if __name__ == "__main__":
    unittest.main()
