"""The Windows build under Wine, for the tests: one Wine prefix for all of
them (made on first use and kept in the Windows build folder, as making one
takes many seconds), Windows programs run in a private Xvfb through the
real-window harness, and the native build's programs to compare with.

Wine's own processes (its server and services) are ended when a session
ends; its links from the prefix's Documents, Desktop... into $HOME point
into the prefix's own `home` folder.
"""

import os
import signal
import subprocess
import time
from pathlib import Path

from harness import STARTUP_FRAMES, _ALSA_CAPTURE, HarnessError, Session, _die_with_parent

# Everything the Windows release holds: the programs and the data files.
STAGE = Path(os.environ.get("WINE_STAGE", ""))
DIST = Path(os.environ.get("WINE_DIST", ""))
NATIVE_RUN = Path(os.environ.get("REALWIN_RUN_DIR", ""))
PREFIX = Path(os.environ.get("WINE_PREFIX_DIR", ""))
GAME = "kelwyrm.exe"
EDITOR = "kelwyrm-editor.exe"

_PREFIX_TIMEOUT = 180


def wine_env(extra=None):
    """The environment of every Wine process the tests start. Its TMPDIR is
    the tests' own: Wine makes its server's folder there and leaves it."""
    scratch = PREFIX.parent / "tmp"
    scratch.mkdir(parents=True, exist_ok=True)
    env = dict(os.environ, WINEPREFIX=str(PREFIX), WINEDEBUG="-all", HOME=str(PREFIX / "home"),
               TMPDIR=str(scratch),
               # No downloads of Gecko or Mono, no menu entries in $HOME.
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    env.pop("DISPLAY", None)
    env.update(extra or {})
    return env


def end_wine(env=None):
    """Ends every Wine process of the prefix and waits until they are gone."""
    env = env or wine_env()
    subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
    subprocess.run(["wineserver", "-w"], env=env, capture_output=True, timeout=60)


def wait_wine(env=None, timeout=120):
    """Waits until every Wine process of the prefix has ended by itself (an
    installer's or uninstaller's children, the server's grace period)."""
    subprocess.run(["wineserver", "-w"], env=env or wine_env(), capture_output=True,
                   timeout=timeout)


def ensure_prefix():
    """Makes the Wine prefix once; later runs find it ready."""
    if (PREFIX / "system.reg").exists():
        return
    (PREFIX / "home").mkdir(parents=True, exist_ok=True)
    env = wine_env()
    subprocess.run(["wine", "wineboot", "--init"], env=env, capture_output=True,
                   timeout=_PREFIX_TIMEOUT, check=True)
    wait_wine(env, _PREFIX_TIMEOUT)
    if not (PREFIX / "system.reg").exists():
        raise HarnessError("Wine made no prefix in %s" % PREFIX)


def run(args, cwd, timeout=120, env=None):
    """Runs `wine args...` in `cwd` without a display (for programs that
    print and stop); gives the CompletedProcess with text output."""
    ensure_prefix()
    return subprocess.run(["wine"] + [str(a) for a in args], cwd=cwd, env=wine_env(env),
                          capture_output=True, text=True, timeout=timeout)


def lines(text):
    """Output lines with Windows' line ends taken back to Linux's."""
    return text.replace("\r\n", "\n").splitlines()


class WineSession(Session):
    """A real-window Session whose program is a Windows program run by Wine,
    from a copy of the release's folder (`source`, default the stage), or
    in place (`in_place=True`) started in the folder `start_in`. Its window
    is clicked once found, unless `click_to_focus` is False."""

    def __init__(self, program, start_in=None, click_to_focus=True, **kw):
        self.start_in = start_in
        self.click_to_focus = click_to_focus
        kw.setdefault("source", STAGE)
        kw.setdefault("audio", False)
        kw.setdefault("timeout", 60)
        # Allegro titles its window with the program's name, lower case,
        # without ".exe"; its message boxes carry the same title.
        kw.setdefault("window", Path(program).stem.lower())
        super().__init__(program, **kw)

    def _start_program(self):
        ensure_prefix()
        env = wine_env(self.extra_env)
        env["DISPLAY"] = self.display
        if self.audio:
            # Wine's ALSA driver plays into a file, so DirectSound starts
            # although the machine has no sound card.
            conf = self.root / "alsa-capture.conf"
            conf.write_text(_ALSA_CAPTURE % (self.root / "audio.wav"))
            env["ALSA_CONFIG_PATH"] = "/usr/share/alsa/alsa.conf:%s" % conf
        self._out = self._log("stdout.txt")
        self._err = self._log("stderr.txt")
        self.proc = subprocess.Popen(["wine", str(self.exe)] + self.args,
                                     cwd=self.start_in or self.dir, env=env,
                                     stdin=subprocess.DEVNULL, stdout=self._out,
                                     stderr=self._err,
                                     preexec_fn=_die_with_parent(signal.SIGKILL))
        self._own(self.proc.pid)

    def find_window(self, name=None, timeout=None, click=None):
        """As for a Linux program, then a click in the window's top left
        corner: with no window manager, Wine gives a window the keyboard
        only once it is clicked."""
        window = super().find_window(name, timeout)
        if self.click_to_focus if click is None else click:
            self.click(1, 1, settle=STARTUP_FRAMES)
        return window

    def windows(self, name):
        """The visible windows titled `name` now."""
        return self._search("--onlyvisible", "--name", "^%s$" % name)

    def close(self, failed=False):
        try:
            end_wine()
        finally:
            super().close(failed)

    def messages(self):
        """Message boxes open now: windows with the program's title besides
        its own window."""
        return [w for w in self.windows(self.window_name) if w != self.window]

    def find_message(self, timeout=10):
        deadline = time.time() + timeout
        while True:
            boxes = self.messages()
            if boxes:
                return boxes[0]
            if time.time() > deadline:
                raise HarnessError("no message box within %s s" % timeout)
            time.sleep(0.1)

    def dismiss_message(self, message=None, timeout=10):
        """Presses Return in the box, waits until it is gone, and clicks the
        program's window: with no window manager, Wine gives it the keyboard
        back only then."""
        box = message or self.find_message(timeout)
        self.xdotool("windowfocus", "--sync", box, "key", "Return")
        deadline = time.time() + timeout
        while box in self.messages():
            if time.time() > deadline:
                raise HarnessError("message box %s did not close" % box)
            time.sleep(0.05)
        self.focus()
        return box
