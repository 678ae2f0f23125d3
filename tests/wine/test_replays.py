"""The same game on both systems: the demo, played under Wine, finishes the
four levels at the same passes as the Linux build, and one level's path
written by the level check finishes at the pass the check predicts on both."""

import os
import re
import subprocess
import tempfile
import unittest
from pathlib import Path

from harness import Session
from winerun import GAME, NATIVE_RUN, WineSession

FINISHED = re.compile(r"^finished \S+ at pass \d+$")
LEVEL = "map3.dat"


def finished_lines(text):
    return [l for l in text.replace("\r\n", "\n").splitlines() if FINISHED.match(l)]


def played(session_type, program, files=None, args=()):
    """The finished lines of one run of the game to its end."""
    with session_type(program, window=None, files=files, args=list(args), audio=False,
                      timeout=60) as s:
        status = s.wait_exit(timeout=300)
        return status, finished_lines(s.stdout())


class SamePasses(unittest.TestCase):
    def test_the_demo_finishes_the_four_levels_as_on_linux(self):
        args = ["--demo", "--fast", "--no-sound"]
        linux = played(Session, "game", args=args)
        windows = played(WineSession, GAME, args=args)
        self.assertEqual(linux[0], 0)
        self.assertEqual(len(linux[1]), 4)
        self.assertEqual(windows, linux)

    def test_a_level_checks_path_finishes_at_the_predicted_pass_on_both(self):
        with tempfile.TemporaryDirectory() as tmp:
            replay = Path(tmp) / "level.replay"
            check = subprocess.run([os.environ["REALWIN_LEVELCHECK"], "--replay-out", str(replay),
                                    str(NATIVE_RUN / LEVEL)],
                                   capture_output=True, text=True, timeout=300)
            self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
            predicted = int(re.search(r"finished alive at pass (\d+)", check.stdout).group(1))
            args = ["--fast", "--no-sound", "--replay", "level.replay", LEVEL]
            files = {"level.replay": replay}
            expected = (0, ["finished %s at pass %d" % (LEVEL, predicted)])
            self.assertEqual(played(Session, "game", files, args), expected)
            self.assertEqual(played(WineSession, GAME, files, args), expected)


if __name__ == "__main__":
    unittest.main()
