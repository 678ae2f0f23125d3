"""The game in headless Chromium: the demo prints what it prints on Linux; a
level check's replay, opened through the page's file input, finishes a
level fetched by link at the predicted pass; a hidden tab pauses."""

import os
import re
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import harness as web
from harness import realwin_session, run_dir

DEMO_ARGS = ["--demo", "--fast", "--no-sound"]


class GameInTheBrowser(unittest.TestCase):
    def test_demo_prints_the_linux_lines(self):
        with realwin_session("game", args=DEMO_ARGS, window=None, audio=False) as s:
            self.assertEqual(s.wait_exit(timeout=120), 0)
            linux = s.stdout().splitlines()
        self.assertEqual(len(linux), 4)
        with web.Session() as b:
            b.open("index.html", DEMO_ARGS)
            self.assertEqual(b.wait_end(120), 0)
            self.assertEqual(b.output("finished "), linux)

    def test_replay_opened_from_a_file_plays_a_level_by_link(self):
        level = (run_dir() / "map3.dat").read_bytes()
        with tempfile.TemporaryDirectory() as tmp:
            mine = Path(tmp) / "my-level.dat"
            mine.write_bytes(level)
            replay = Path(tmp) / "run.replay"
            r = subprocess.run([os.environ["REALWIN_LEVELCHECK"], "--replay-out", str(replay), str(mine)],
                               capture_output=True, text=True, timeout=300, cwd=tmp)
            self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
            predicted = int(re.search(r"finished alive at pass (\d+)", r.stdout).group(1))
            with web.Session(files={"my-level.dat": level}) as b:
                b.open("index.html", ["--fast", "--no-sound", "--replay", "run.replay", "my-level.dat"],
                       start=False)
                b.open_files(replay)
                b.element("kelwyrm-overlay").click()
                self.assertEqual(b.wait_end(120), 0)
                self.assertEqual(b.output("finished "), ["finished my-level.dat at pass %d" % predicted])

    def test_f12_screenshot_is_kept_and_downloads_and_a_bad_option_reaches_the_console_as_an_error(self):
        with web.Session() as b:
            b.open("index.html", ["--no-sound"])
            time.sleep(1)
            b.keys(web.Keys.F12)
            shot = b.wait(lambda: b.js("try { return Array.from(Module.FS.readFile("
                                       "'/home/kelwyrm/screenshot.bmp').slice(0, 26)); }"
                                       "catch (e) { return null; }"), 10, "screenshot.bmp")
            self.assertEqual(bytes(shot[:2]), b"BM")
            data = b.download("screenshot.bmp")
            self.assertEqual(data[:26], bytes(shot))
            self.assertEqual((int.from_bytes(data[18:22], "little"), int.from_bytes(data[22:26], "little")),
                             (320, 240))
            # Stored without the safe writer's sync too: there after a reload.
            time.sleep(3.5)
            b.open("index.html", start=False)
            self.assertEqual(b.download("screenshot.bmp"), data)
            b.open("index.html", ["--bogus"])
            self.assertEqual(b.wait_end(20), 2)
            self.assertTrue(any("--bogus" in e for e in b.errors()), b.errors())
            self.assertFalse(any("--bogus" in e for e in set(b.console()) - set(b.errors())))

    def test_a_settings_file_opened_into_the_start_folder_is_read(self):
        with tempfile.TemporaryDirectory() as tmp, web.Session() as b:
            cfg = Path(tmp) / "kelwyrm.cfg"
            cfg.write_text("[options]\nscale = 2\n")
            b.open("index.html", ["--no-sound"], start=False)
            b.open_files(cfg)
            b.element("kelwyrm-overlay").click()
            b.wait(lambda: b.js("return document.getElementById('kelwyrm-canvas').width") == 640, 20,
                   "a canvas at scale 2")

    def test_the_tune_plays_through_web_audio(self):
        with web.Session() as b:
            b.open("index.html")
            # The loudest sample the mixer hands Web Audio from now on.
            b.js("window.peak = 0; const mix = Module._web_mix;"
                 "Module._web_mix = () => { const p = mix(); for (let i = 0; p && i < 2048; i++)"
                 "  peak = Math.max(peak, Math.abs(Module.HEAP16[(p >> 1) + i])); return p; };")
            time.sleep(3)
            self.assertIsNone(b.message())
            self.assertGreater(b.js("return window.peak"), 64)

    def test_a_hidden_tab_pauses_until_it_shows_again(self):
        def visible(shown):
            b.js("Object.defineProperty(document, 'hidden', {value: %s, configurable: true});"
                 "document.dispatchEvent(new Event('visibilitychange'));" % ("false" if shown else "true"))

        with web.Session() as b:
            b.open("index.html", ["--no-sound"])
            time.sleep(1)
            visible(False)
            time.sleep(0.8)
            first = b.canvas()
            time.sleep(0.8)
            self.assertEqual(b.canvas(), first)
            self.assertGreater(first.count((255, 255, 255), 100, 100, 120, 30), 20)  # "PAUSED"
            visible(True)
            time.sleep(0.8)
            self.assertEqual(b.canvas().count((255, 255, 255), 100, 100, 120, 30), 0)
            b.keys(web.Keys.ESCAPE)
            self.assertEqual(b.wait_end(10), 0)


if __name__ == "__main__":
    unittest.main()
