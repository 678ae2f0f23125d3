"""The harness proves itself on the probe program: every operation a
real-window test relies on is checked against what the probe logged or drew."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

from harness import HarnessError, Map, Session, alive, descendants, from_palette

PROBE = os.environ.get("REALWIN_PROBE", "")

RED, GREEN, BLUE, BLACK = (255, 0, 0), (0, 255, 0), (0, 0, 255), (0, 0, 0)


def log_lines(session):
    path = session.path("probe.log")
    return path.read_text().splitlines() if path.exists() else []


def wait_for_line(session, prefix, timeout=5):
    """The first line of the probe's log starting with `prefix`."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        for line in log_lines(session):
            if line.startswith(prefix):
                return line
        time.sleep(0.05)
    raise AssertionError("probe never logged %r; log: %s" % (prefix, log_lines(session)))


# A test process that opens a session with a message box showing, reports
# the pids of the program, the box and the X server, and waits to be killed.
CHILD_SESSION = """
import sys, time
from harness import Session
with Session(sys.argv[1], source=sys.argv[2]) as s:
    s.tap("m")
    box = s.find_message()
    print(s.proc.pid, box.pid, s.xvfb.pid, s.root, flush=True)
    time.sleep(60)
"""


class ProbeTest(unittest.TestCase):
    def setUp(self):
        if not PROBE:
            self.fail("REALWIN_PROBE is not set; run through ctest")
        # A small stand-in for the build's run folder.
        self.source = Path(tempfile.mkdtemp(prefix="realwin-source-"))
        self.addCleanup(shutil.rmtree, self.source)
        (self.source / "asset.txt").write_text("asset")
        (self.source / "missing.txt").write_text("to be removed")
        (self.source / "levels").mkdir()
        (self.source / "levels" / "inner.txt").write_text("inner")

    def session(self, **kw):
        return Session(PROBE, source=self.source, **kw)


class WindowAndFiles(ProbeTest):
    def test_folder_prepared_and_program_runs_in_it(self):
        level = Map()
        level[0, 5, 2] = 7
        with self.session(files={"extra.txt": "extra", "level.dat": level},
                          remove=["missing.txt"], allegro_cfg="[sound]\n") as s:
            wait_for_line(s, "start")  # the log lands in the working directory
            self.assertEqual((s.dir / "asset.txt").read_text(), "asset")
            self.assertEqual((s.dir / "levels" / "inner.txt").read_text(), "inner")
            self.assertEqual((s.dir / "extra.txt").read_text(), "extra")
            self.assertFalse((s.dir / "missing.txt").exists())
            self.assertTrue((s.dir / "allegro.cfg").exists())
            self.assertTrue((s.dir / "probe").exists())
            self.assertEqual(Map.load(s.path("level.dat")), level)

    def test_capture_shows_the_drawn_picture(self):
        with self.session() as s:
            self.assertEqual(s.geometry(), (320, 240))
            wait_for_line(s, "start")
            s.wait_frames(4)
            shot = s.capture()
            self.assertEqual((shot.width, shot.height), (320, 240))
            self.assertEqual(shot.bounding_box(RED), (20, 20, 50, 30))
            self.assertEqual(shot.count(RED), 50 * 30)
            self.assertEqual(shot.count(BLUE, 100, 20, 20, 20), 400)
            self.assertEqual(shot.count(GREEN, 0, 200, 320, 1), 320)
            self.assertEqual(shot.count(from_palette(32, 32, 32), 140, 20, 10, 10), 100)
            self.assertEqual(shot.pixel(19, 20), BLACK)

    def test_capture_until_waits_for_the_picture(self):
        with self.session() as s:
            frame_text = lambda img: img.crop(20, 100, 120, 8)
            first = frame_text(s.capture())
            changed = s.capture_until(lambda img: frame_text(img) != first)
            self.assertNotEqual(frame_text(changed), first)
            with self.assertRaises(HarnessError):
                s.capture_until(lambda img: img.count(RED) == 0, timeout=0.3)

    def test_screenshot_file_matches_capture(self):
        with self.session() as s:
            wait_for_line(s, "start")
            s.tap("p")
            self.assertEqual(wait_for_line(s, "screenshot"), "screenshot 0")
            written = s.read_image("screenshot.bmp")
            shot = s.capture()
            # Only the frame counter text differs between the two moments.
            self.assertEqual(written.crop(0, 0, 320, 90), shot.crop(0, 0, 320, 90))
            self.assertEqual(written.crop(0, 120, 320, 120), shot.crop(0, 120, 320, 120))


class Input(ProbeTest):
    def assertFrames(self, line, name, frames):
        # A loop polling every 50 ms sees a hold of K passes as K or K+1;
        # one pass either way is allowed for a busy machine.
        prefix, seen = line.rsplit(" ", 1)
        self.assertEqual(prefix, "key " + name)
        self.assertIn(int(seen), range(frames - 1, frames + 3), line)

    def test_key_held_for_frames(self):
        with self.session() as s:
            wait_for_line(s, "start")
            s.hold("Right", frames=10)
            self.assertFrames(wait_for_line(s, "key Right"), "Right", 10)
            s.hold(["Left", "space"], frames=6)
            # xdotool presses and releases the two one after the other, so
            # one pass may see only one of them.
            self.assertFrames(wait_for_line(s, "key Left"), "Left", 6)
            self.assertFrames(wait_for_line(s, "key Space"), "Space", 6)

    def test_mouse_clicks_at_window_coordinates(self):
        with self.session() as s:
            wait_for_line(s, "start")
            s.click(30, 40)
            self.assertEqual(wait_for_line(s, "mouse down 1"), "mouse down 1 30 40")
            self.assertEqual(wait_for_line(s, "mouse up 1"), "mouse up 1 30 40")
            s.click(200, 100, button=3)
            self.assertEqual(wait_for_line(s, "mouse down 2"), "mouse down 2 200 100")
            s.drag([(10, 10), (50, 60), (90, 70)])
            lines = log_lines(s)
            self.assertIn("mouse down 1 10 10", lines)
            self.assertIn("mouse up 1 90 70", lines)


class MessagesSoundExit(ProbeTest):
    def test_message_read_and_dismissed(self):
        with self.session() as s:
            wait_for_line(s, "start")
            s.tap("m")
            message = s.find_message()
            self.assertEqual(message.text, "Probe says: hello from the probe")
            # allegro_message blocks the program until the box is closed.
            s.wait_frames(4)
            self.assertNotIn("message closed", log_lines(s))
            self.assertEqual(s.dismiss_message(message), message.text)
            wait_for_line(s, "message closed")
            self.assertFalse(alive(message.pid))
            self.assertEqual(s.messages(), [])
            # The program has the keyboard back.
            s.tap("3")
            self.assertEqual(s.wait_exit(), 3)

    def test_message_before_window_then_exit_status(self):
        with self.session(files={"nogfx": ""}, window=None) as s:
            message = s.find_message()
            self.assertEqual(message.text, "Probe could not set GFX mode")
            self.assertTrue(s.running)
            s.dismiss_message(message)
            self.assertEqual(s.wait_exit(), 1)

    def test_audio_silent_until_beep(self):
        with self.session() as s:
            self.assertEqual(wait_for_line(s, "sound"), "sound 0")
            s.wait_frames(10)
            self.assertGreater(s.audio_stats().frames, 0)  # the device is open and written
            self.assertTrue(s.audio_silent())
            mark = s.audio_mark()
            s.tap("s")
            wait_for_line(s, "beep")
            s.wait_frames(10)
            self.assertFalse(s.audio_silent(since=mark))
            self.assertGreater(s.audio_stats(since=mark).rms, 1000)

    def test_exit_status(self):
        with self.session() as s:
            wait_for_line(s, "start")
            self.assertTrue(s.running)
            with self.assertRaises(HarnessError):
                s.wait_exit(timeout=0.5)
            s.tap("7")
            self.assertEqual(s.wait_exit(), 7)
            self.assertFalse(s.running)


class Cleanup(ProbeTest):
    def assertAllGone(self, session, pids):
        for pid in pids:
            self.assertFalse(alive(pid), "process %d survived" % pid)
        display = session.display.lstrip(":")
        self.assertFalse(Path("/tmp/.X11-unix/X" + display).exists())
        self.assertFalse(Path("/tmp/.X%s-lock" % display).exists())

    def test_failed_test_kills_program_message_and_server(self):
        s = self.session()
        with self.assertRaises(RuntimeError):
            with s:
                wait_for_line(s, "start")
                s.tap("m")
                message = s.find_message()
                pids = [s.proc.pid, s.xvfb.pid, message.pid] + descendants(s.proc.pid)
                raise RuntimeError("a failing test")
        self.assertAllGone(s, pids)
        # Its output went to stderr; its folder goes like any other.
        self.assertFalse(s.root.exists())

    def test_passing_session_leaves_nothing(self):
        with self.session() as s:
            wait_for_line(s, "start")
            pids = [s.proc.pid, s.xvfb.pid]
        self.assertAllGone(s, pids)
        self.assertFalse(s.root.exists())

    def test_killed_test_process_takes_its_processes_along(self):
        # What a CTest timeout does: the test process dies by SIGKILL and no
        # clean-up code runs.
        child = subprocess.Popen(
            [sys.executable, "-c", CHILD_SESSION, PROBE, str(self.source)],
            stdout=subprocess.PIPE, text=True)
        self.addCleanup(child.wait)
        line = child.stdout.readline().split()
        self.assertEqual(len(line), 4, "child session did not start")
        pids, root = [int(p) for p in line[:3]], line[3]
        self.addCleanup(shutil.rmtree, root, True)
        self.assertTrue(all(alive(p) for p in pids))
        os.kill(child.pid, signal.SIGKILL)
        deadline = time.time() + 10
        while any(alive(p) for p in pids) and time.time() < deadline:
            time.sleep(0.05)
        for pid in pids:
            self.assertFalse(alive(pid), "process %d survived its test" % pid)

    def test_missing_window_fails_start_and_cleans_up(self):
        s = self.session(window="no such window", timeout=2)
        with self.assertRaises(HarnessError):
            with s:
                pass
        self.assertAllGone(s, [s.proc.pid, s.xvfb.pid])
        self.assertFalse(s.root.exists())


if __name__ == "__main__":
    unittest.main()
