"""Replays in the real game: the level check's path for each shipped level,
played with --fast, reaches the level-complete screen at the pass the check
predicted; the demo plays the levels in turn with "DEMO" on the border strip;
Escape ends a replay."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

from harness import Map, Session, from_palette, run_dir

LIGHT_GREEN = from_palette(32, 63, 32)
WHITE = (255, 255, 255)
F1 = 16


def check_level(map_path, replay_out):
    """Runs the level check; gives the pass it predicts the level ends at."""
    r = subprocess.run([os.environ["REALWIN_LEVELCHECK"], "--replay-out", str(replay_out), str(map_path)],
                       capture_output=True, text=True, timeout=300)
    if r.returncode != 0:
        raise AssertionError("levelcheck failed:\n" + r.stdout + r.stderr)
    return int(re.search(r"finished alive at pass (\d+)", r.stdout).group(1))


def without_last_f1(text):
    """The same replay, but the level-complete screen is left waiting."""
    lines = text.splitlines()
    count, keys = lines[-2].split()
    last = keys.replace("F", "") or "-"
    runs = ["%d %s" % (int(count) - 1, keys)] if int(count) > 1 else []
    return "\n".join(lines[:-2] + runs + ["1 " + last, "end"]) + "\n"


def level_complete(img):
    return img.count(LIGHT_GREEN, 0, 100, 320, 8) > 100


class Replays(unittest.TestCase):
    def test_each_level_finishes_at_the_predicted_pass(self):
        with tempfile.TemporaryDirectory() as tmp:
            for n in (2, 3, 4, 5):
                name = "map%d.dat" % n
                replay = Path(tmp) / ("map%d.replay" % n)
                predicted = check_level(run_dir() / name, replay)
                waiting = without_last_f1(replay.read_text())
                with self.subTest(level=name), \
                        Session("game", files={"r.replay": waiting},
                                args=["--fast", "--replay", "r.replay", name]) as s:
                    screen = s.capture_until(level_complete, timeout=60)
                    self.assertGreater(screen.count(LIGHT_GREEN, 72, 110, 160, 8), 50)
                    s.hold("Escape", frames=2, settle=0)
                    self.assertEqual(s.wait_exit(), 0)
                    self.assertEqual(s.stdout(), "finished %s at pass %d\n" % (name, predicted))

    def test_a_whole_replay_ends_by_itself_and_a_changed_map_is_refused(self):
        with tempfile.TemporaryDirectory() as tmp:
            replay = Path(tmp) / "map2.replay"
            predicted = check_level(run_dir() / "map2.dat", replay)
            with Session("game", files={"r.replay": replay},
                         args=["--fast", "--replay", "r.replay", "map2.dat"], window=None) as s:
                self.assertEqual(s.wait_exit(timeout=60), 0)
                self.assertEqual(s.stdout(), "finished map2.dat at pass %d\n" % predicted)
            changed = (run_dir() / "map2.dat").read_bytes() + b"!"
            with Session("game", files={"r.replay": replay, "map2.dat": changed},
                         args=["--replay", "r.replay", "map2.dat"], window=None) as s:
                self.assertEqual(s.wait_exit(), 2)
                self.assertIn("map2.dat has changed", s.stderr())
                self.assertEqual(s.stdout(), "")

    def test_a_recorded_session_replays_to_the_same_screen(self):
        level = Map()
        level.fill(0, 3, rows=[6])
        level[3, 6, 5] = 49                   # the exit
        level.fill(0, 3, cols=range(6, 11), rows=[2])
        level[0, 6, 1] = level[0, 10, 1] = 3  # an enemy patrols up there, out of reach
        level[2, 8, 1] = 1
        with Session("game", files={"map2.dat": level},
                     args=["--record", "r.replay", "map2.dat"]) as s:
            s.wait_frames(30)
            s.hold(["Right", "Control_L"], frames=10, settle=0)
            s.key_down("Right")
            done = s.capture_until(level_complete, timeout=15)
            s.key_up("Right")
            s.tap("F1")
            self.assertEqual(s.wait_exit(), 0)
            recorded = s.path("r.replay").read_text()
        passes = int(re.search(r"passes (\d+)", recorded).group(1))
        self.assertTrue(recorded.endswith("F\nend\n"), recorded)
        with Session("game", files={"map2.dat": level, "r.replay": without_last_f1(recorded)},
                     args=["--fast", "--replay", "r.replay", "map2.dat"]) as s:
            again = s.capture_until(level_complete, timeout=15)
            self.assertEqual(again, done)
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.stdout(), "finished map2.dat at pass %d\n" % passes)

    def test_a_recording_closed_on_a_screen_ends_there_on_replay(self):
        level = Map()
        level.fill(0, 3, rows=[6])
        level[3, 6, 5] = 49                   # the exit
        with Session("game", files={"map2.dat": level},
                     args=["--record", "r.replay", "map2.dat"]) as s:
            s.key_down("Right")
            s.capture_until(level_complete, timeout=15)
            s.key_up("Right")
            s.close_window()
            self.assertEqual(s.wait_exit(), 0)
            recorded = s.path("r.replay").read_text()
        passes = int(re.search(r"passes (\d+)", recorded).group(1))
        with Session("game", files={"map2.dat": level, "r.replay": recorded},
                     args=["--fast", "--replay", "r.replay", "map2.dat"], window=None) as s:
            self.assertEqual(s.wait_exit(timeout=15), 0)
            self.assertEqual(s.stdout(), "finished map2.dat at pass %d\n" % passes)

    def test_a_recording_that_cannot_be_kept_ends_with_a_status_and_one_line(self):
        with Session("game", args=["--record", "gone/r.replay"], window=None) as s:
            self.assertEqual(s.wait_exit(), 2)
            self.assertEqual(s.stderr(), "game: cannot record to gone/r.replay: the folder gone does not exist\n")
        with Session("game", files={"sub/old.replay": "old"}, args=["--record", "sub/r.replay"]) as s:
            s.wait_frames(5)
            shutil.rmtree(s.path("sub"))
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 1)
            game_lines = [l for l in s.stderr().splitlines() if l.startswith("game:")]    # not the sound's
            self.assertEqual(len(game_lines), 1, s.stderr())
            self.assertRegex(game_lines[0], r"^game: could not write the recording sub/r\.replay: ")

    def test_demo_shows_demo_and_walks_through_the_levels(self):
        with Session("game", args=["--demo", "--fast"]) as s:
            screen = s.capture_until(level_complete, timeout=60)
            self.assertGreater(screen.count(WHITE, 280, 230, 40, 10), 20)    # "DEMO"
            self.assertEqual(s.wait_exit(timeout=120), 0)
            finished = re.findall(r"finished (\S+) at pass \d+", s.stdout())
            self.assertEqual(finished, ["map2.dat", "map3.dat", "map4.dat", "map5.dat"])

    def test_escape_ends_the_demo(self):
        with Session("game", args=["--demo"]) as s:
            s.wait_frames(20)
            s.hold("Escape", frames=2, settle=0)
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.stdout(), "")


if __name__ == "__main__":
    unittest.main()
