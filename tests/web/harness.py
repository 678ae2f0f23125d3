"""Browser tests' harness: the built web folder (WEB_DIST) copied with extra
files into a temporary folder, served on 127.0.0.1 by python3 -m
http.server, and driven in Debian's headless Chromium through Selenium.
A session reads the console (the programs' stdout and stderr), the canvas
and the files the page downloads."""

import base64
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

CHROMEDRIVER = "/usr/bin/chromedriver"
ENDED = "Program ended with status "


class HarnessError(Exception):
    pass


def dist_dir():
    return Path(os.environ["WEB_DIST"])


def _free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Image:
    """The canvas as RGBA rows."""

    def __init__(self, width, height, rgba):
        self.width, self.height, self.rgba = width, height, rgba

    def pixel(self, x, y):
        i = (y * self.width + x) * 4
        return tuple(self.rgba[i:i + 3])

    def count(self, colour, x=0, y=0, w=None, h=None):
        w = self.width - x if w is None else w
        h = self.height - y if h is None else h
        return sum(1 for yy in range(y, y + h) for xx in range(x, x + w) if self.pixel(xx, yy) == colour)

    def __eq__(self, other):
        return (self.width, self.height, self.rgba) == (other.width, other.height, other.rgba)


class Session:
    """One browser with its own profile (so its storage starts empty) on a
    copy of the web folder with `files` ({name: bytes}) added."""

    def __init__(self, files=None):
        self.files = files or {}
        self.lines = []
        self.error_lines = []

    def __enter__(self):
        self.tmp = Path(tempfile.mkdtemp(prefix="kelwyrm-web-"))
        self.site = self.tmp / "site"
        self.downloads = self.tmp / "downloads"
        shutil.copytree(dist_dir(), self.site)
        self.downloads.mkdir()
        for name, data in self.files.items():
            (self.site / name).write_bytes(data)
        self.port = _free_port()
        self.server = subprocess.Popen(
            [sys.executable, "-m", "http.server", "--bind", "127.0.0.1", str(self.port)],
            cwd=self.site, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        options = webdriver.ChromeOptions()
        for a in ("--headless=new", "--no-sandbox", "--autoplay-policy=no-user-gesture-required",
                  "--window-size=1400,1100"):
            options.add_argument(a)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        options.add_experimental_option("prefs", {"download.default_directory": str(self.downloads)})
        try:
            self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
            self.driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                                        {"behavior": "allow", "downloadPath": str(self.downloads)})
        except Exception:
            self.server.kill()
            raise
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type:
            print("console:\n" + "\n".join(self.console()), file=sys.stderr)
        self.driver.quit()
        self.server.kill()
        self.server.wait()
        shutil.rmtree(self.tmp, ignore_errors=True)

    # ---- pages --------------------------------------------------------

    def open(self, page, args=(), start=True):
        """Loads `page` with `args` as its query string, waits until the
        program can start, and starts it with a click unless told not to."""
        query = "&".join(args)
        self.driver.get("http://127.0.0.1:%d/%s%s" % (self.port, page, "?" + query if query else ""))
        self.wait(lambda: "ready" in self.element("kelwyrm-overlay").get_attribute("class"), 20, "page ready")
        if start:
            self.element("kelwyrm-overlay").click()
            self.wait(lambda: self.js("return document.getElementById('kelwyrm-canvas').width") > 0,
                      20, "canvas opened")

    def element(self, id):
        return self.driver.find_element(By.ID, id)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait(self, ready, timeout, what):
        end = time.time() + timeout
        while time.time() < end:
            value = ready()
            if value:
                return value
            time.sleep(0.1)
        raise HarnessError("timed out waiting for " + what)

    # ---- console --------------------------------------------------------

    def console(self):
        """Every console line so far, as the page wrote it."""
        for e in self.driver.get_log("browser"):
            text = e["message"]
            # "URL LINE:COL "text"": the text is JSON-quoted when it is a string.
            quote = text.find(' "')
            if quote >= 0 and text.endswith('"'):
                import json
                try:
                    text = json.loads(text[quote + 1:])
                except ValueError:
                    pass
            self.lines.append(text)
            if e["level"] == "SEVERE":
                self.error_lines.append(text)
        return self.lines

    def errors(self):
        """The lines written with console.error (a program's stderr)."""
        self.console()
        return self.error_lines

    def wait_line(self, start, timeout=30):
        return self.wait(lambda: next((l for l in self.console() if l.startswith(start)), None),
                         timeout, "console line " + start)

    def wait_end(self, timeout=60):
        """The program's exit status."""
        return int(self.wait_line(ENDED, timeout)[len(ENDED):])

    def output(self, start):
        return [l for l in self.console() if l.startswith(start)]

    # ---- input ----------------------------------------------------------

    def keys(self, *keys, hold=0.15):
        """Presses the keys together for `hold` seconds (a few passes)."""
        chain = ActionChains(self.driver)
        for k in keys:
            chain.key_down(k)
        chain.pause(hold)
        for k in reversed(keys):
            chain.key_up(k)
        chain.perform()
        time.sleep(0.15)

    def click(self, x, y, hold=0.15):
        """A left click at screen pixel (x, y) of the canvas."""
        canvas = self.element("kelwyrm-canvas")
        r = self.js("const r = arguments[0].getBoundingClientRect();"
                    "return [r.width, r.height, arguments[0].width, arguments[0].height];", canvas)
        sx, sy = r[0] / r[2], r[1] / r[3]
        ox, oy = int((x + 0.5) * sx - r[0] / 2), int((y + 0.5) * sy - r[1] / 2)
        ActionChains(self.driver).move_to_element_with_offset(canvas, ox, oy).pause(0.1) \
            .click_and_hold().pause(hold).release().pause(0.1).perform()
        time.sleep(0.1)

    def open_files(self, *paths):
        self.element("kelwyrm-open").send_keys("\n".join(str(p) for p in paths))
        for p in paths:
            self.wait_line("Opened " + Path(p).name, 10)

    def message(self):
        """The text of the message shown now, or None."""
        box = self.element("kelwyrm-message")
        return self.element("kelwyrm-message-text").text if box.is_displayed() else None

    def download(self, name, timeout=10):
        """Clicks Download and gives the bytes of `name` it saved."""
        target = self.downloads / name
        if target.exists():
            target.unlink()
        self.element("kelwyrm-download").click()
        self.wait(lambda: target.exists() and not list(self.downloads.glob("*.crdownload")), timeout,
                  "download of " + name)
        return target.read_bytes()

    def canvas(self):
        data = self.js("""
            const c = document.getElementById('kelwyrm-canvas');
            const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            let s = '';
            for (let i = 0; i < d.length; i += 8192)
              s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
            return [c.width, c.height, btoa(s)];""")
        return Image(data[0], data[1], base64.b64decode(data[2]))




# The Linux programs, for what the browser must match, through the
# real-window tests' harness (a module of the same name in its own folder).
_native = None


def native():
    global _native
    if _native is None:
        import runpy
        import types
        path = Path(__file__).resolve().parent.parent / "realwin" / "harness.py"
        _native = types.SimpleNamespace(**runpy.run_path(str(path), run_name="realwin_harness"))
    return _native


def realwin_session(*args, **kwargs):
    return native().Session(*args, **kwargs)


def run_dir():
    return native().run_dir()
