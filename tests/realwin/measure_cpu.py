#!/usr/bin/env python3
"""Measures the CPU use of the game or the editor in a real window under a
private Xvfb, with the sound consumed at real-time pace: ALSA writes into a
FIFO that is drained at 44100 stereo 16-bit frames a second, so the mixer
works as hard as it would with a sound card (a plain file sink takes sound
faster than real time).

    measure_cpu.py [--editor] [--keys "KEY ..."] [--seconds N] RUN_DIR

The game by default; --editor measures the editor. The --keys are tapped in
order once the window is up (xdotool's names: F1 enters the editor's edit
mode).
The program runs in a copy of RUN_DIR. At the end the program is stopped
first, then the sound reader, then the X server (each is waited for and
killed if it lingers), and the copy is removed. The figure is printed only
when the program ran the whole time; otherwise the script says why and exits
with status 1.
"""

import argparse
import os
import signal
import sys
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import HarnessError, Session, alive, descendants  # noqa: E402

BYTES_PER_SECOND = 44100 * 4
SETTLE_SECONDS = 3          # start-up work is not what is measured
WINDOW_TIMEOUT = 15
STOP_TIMEOUT = 5            # a program still alive this long after SIGTERM is killed

ALSA_FIFO = """\
pcm.!default { type plug; slave { pcm "measure_fifo"; format S16_LE; rate 44100; channels 2 } }
pcm.measure_fifo { type file; slave.pcm "null"; file "%s"; format "raw" }
"""


class Failure(Exception):
    """The program did not run as measured; the message says why."""


class RealTimeReader:
    """Drains the FIFO at real-time pace on a thread of its own. The clock
    starts with the first sound, so no backlog lets the mixer run ahead."""

    def __init__(self, fifo):
        os.mkfifo(fifo)
        # Opened without waiting for a writer: the program may never play.
        self.fd = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
        self.stopping = threading.Event()
        self.thread = threading.Thread(target=self._drain, daemon=True)
        self.thread.start()

    def _drain(self):
        start, taken = None, 0
        while not self.stopping.is_set():
            due = 65536 if start is None else int((time.time() - start) * BYTES_PER_SECOND) - taken
            if due > 0:
                try:
                    data = os.read(self.fd, min(due, 65536))
                except BlockingIOError:
                    data = b""
                if data and start is None:
                    start = time.time()
                taken += len(data)
            time.sleep(0.01)

    def close(self):
        self.stopping.set()
        self.thread.join()
        os.close(self.fd)


class MeasuredSession(Session):
    """A harness session whose sound goes to a real-time reader and which
    ends its processes in order: program, sound reader, X server."""

    def __init__(self, program, source):
        super().__init__(program, source=source, audio=False, window=None)
        self.reader = None

    def env(self):
        env = super().env()
        if self.reader is not None:
            env["ALSA_CONFIG_PATH"] = "/usr/share/alsa/alsa.conf:%s" % (self.root / "fifo.conf")
        return env

    def _start_program(self):
        (self.root / "fifo.conf").write_text(ALSA_FIFO % (self.root / "audio.fifo"))
        self.reader = RealTimeReader(self.root / "audio.fifo")
        super()._start_program()

    def stop_program(self):
        """SIGTERM to the program (and any message box it opened), a wait,
        then SIGKILL to whatever is left."""
        if self.proc is None:
            return
        pids = descendants(self.proc.pid) + [self.proc.pid]
        for pid in pids:
            self._own(pid)
            if self._still_ours(pid):
                os.kill(pid, signal.SIGTERM)
        deadline = time.time() + STOP_TIMEOUT
        while any(self._still_ours(p) for p in pids) and time.time() < deadline:
            self.proc.poll()
            time.sleep(0.05)
        for pid in pids:
            if self._still_ours(pid):
                os.kill(pid, signal.SIGKILL)
        self.proc.wait()

    def close(self, failed=False):
        self.stop_program()
        if self.reader is not None:
            self.reader.close()
        # The X server last; the folder goes whatever happened.
        super().close(failed=False)


def cpu_ticks(pid):
    """User plus system time of `pid` in clock ticks."""
    stat = Path("/proc", str(pid), "stat").read_text()
    fields = stat[stat.rindex(")") + 2:].split()
    return int(fields[11]) + int(fields[12])


def check_running(s, name):
    boxes = s.messages()
    if boxes:
        raise Failure("%s shows a message instead of running: %r" % (name, boxes[0].text))
    if not s.running:
        raise Failure("%s stopped early (status %s); its output:\n%s"
                      % (name, s.proc.returncode, (s.stdout() + s.stderr()).strip()))


def wait_for_window(s, name):
    deadline = time.time() + WINDOW_TIMEOUT
    while True:
        check_running(s, name)
        try:
            if s.xdotool("search", "--onlyvisible", "--name", "^%s$" % name).split():
                break
        except HarnessError:
            pass    # xdotool search fails while nothing matches
        if time.time() > deadline:
            raise Failure("%s opened no window within %d s" % (name, WINDOW_TIMEOUT))
        time.sleep(0.1)
    s.find_window(name)


def measure(run_dir, program, keys, seconds):
    with MeasuredSession(program, run_dir) as s:
        wait_for_window(s, program)
        for key in keys:
            s.tap(key)
        time.sleep(SETTLE_SECONDS)
        check_running(s, program)
        hz = os.sysconf("SC_CLK_TCK")
        a, t0 = cpu_ticks(s.proc.pid), time.time()
        time.sleep(seconds)
        check_running(s, program)
        b, t1 = cpu_ticks(s.proc.pid), time.time()
        return 100.0 * (b - a) / hz / (t1 - t0)


def main():
    parser = argparse.ArgumentParser(description="CPU use of the game or the editor under Xvfb.")
    parser.add_argument("run_dir", help="the run folder, e.g. build/run")
    parser.add_argument("--editor", action="store_true", help="measure the editor, not the game")
    parser.add_argument("--keys", default="", help="keys tapped after start, separated by spaces, e.g. F1")
    parser.add_argument("--seconds", type=float, default=10, help="how long to measure")
    args = parser.parse_args()
    program = "mapeditor" if args.editor else "game"
    # A SIGTERM to this script still ends what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        share = measure(Path(args.run_dir).resolve(), program, args.keys.split(), args.seconds)
    except (Failure, HarnessError) as e:
        print("measure_cpu: %s" % e, file=sys.stderr)
        return 1
    print("%s CPU over %g s: %.2f %% of one core" % (program, args.seconds, share))
    return 0


if __name__ == "__main__":
    sys.exit(main())
