"""Measures the browser build against the Linux one (not a test: it prints
figures). Run with Debian's python3 after scripts/web.sh and the native
build:

    WEB_DIST=build-web/dist/kelwyrm-VERSION-web REALWIN_RUN_DIR=build/run \\
        /usr/bin/python3 tests/web/measure_web.py

- the download, gzipped (-9), of both pages with their shared data;
- the first frame after the click, from a local server;
- a game pass: `--fast --frames N --no-sound` on the first level, in the
  browser and natively (under a private Xvfb), per pass;
- the whole demo with `--fast`, in the browser and natively."""

import gzip
import os
import subprocess
import sys
import time

import harness as web

PASSES = 10000
DEMO = ["--demo", "--fast", "--no-sound"]


def gz(path):
    return len(gzip.compress(path.read_bytes(), 9))


def native_seconds(args, display):
    env = dict(os.environ, DISPLAY=display)
    start = time.monotonic()
    subprocess.run([str(web.run_dir() / "game")] + args, env=env, cwd=web.run_dir(),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True, timeout=600)
    return time.monotonic() - start


def browser_seconds(b, args, since="kelwyrmStartTime"):
    """From the click (or the first frame) to the end."""
    b.open("index.html", args)
    b.wait_end(600)
    return b.js("return (performance.now() - Module.%s) / 1000" % since)


def main():
    dist = web.dist_dir()
    files = sorted(p for p in dist.iterdir() if p.is_file())
    shipped = [p for p in files if p.suffix in (".html", ".js", ".wasm", ".data", ".css")]
    print("gzipped download (both pages with their data):")
    for p in shipped:
        print("  %-22s %9d raw %9d gzipped" % (p.name, p.stat().st_size, gz(p)))
    print("  total %d bytes gzipped (%.2f MB)" % (sum(gz(p) for p in shipped),
                                                  sum(gz(p) for p in shipped) / 1e6))

    xvfb = subprocess.Popen(["Xvfb", ":97", "-screen", "0", "800x600x24"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(1)
        # Without the start-up: a run of one pass.
        native_pass = (native_seconds(["--fast", "--frames", str(PASSES), "--no-sound"], ":97") -
                       native_seconds(["--fast", "--frames", "1", "--no-sound"], ":97")) / PASSES
        native_demo = native_seconds(DEMO, ":97")
    finally:
        xvfb.kill()
        xvfb.wait()

    with web.Session() as b:
        b.open("index.html", ["--no-sound"])
        b.wait(lambda: b.js("return Module.kelwyrmFirstFrameTime"), 10, "first frame")
        first = b.js("return Module.kelwyrmFirstFrameTime - Module.kelwyrmStartTime")
        print("first frame %.0f ms after the click" % first)
    with web.Session() as b:
        web_pass = browser_seconds(b, ["--fast", "--frames", str(PASSES), "--no-sound"],
                                   "kelwyrmFirstFrameTime") / PASSES
    with web.Session() as b:
        web_demo = browser_seconds(b, DEMO)
    print("game pass: browser %.3f ms, native %.3f ms, ratio %.2f" %
          (web_pass * 1e3, native_pass * 1e3, web_pass / native_pass))
    print("demo --fast: browser %.2f s, native %.2f s, ratio %.2f" %
          (web_demo, native_demo, web_demo / native_demo))


if __name__ == "__main__":
    sys.exit(main())
