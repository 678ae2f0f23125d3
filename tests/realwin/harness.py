"""Real-window test harness: runs one of our Allegro programs in a real X
window on a private Xvfb, drives it with xdotool, looks at what it shows and
hears what it plays.

A `Session` copies the program and the whole run folder (assets, levels,
patches.dat) into a fresh temporary folder, because Allegro reads allegro.cfg
and patches.dat beside the executable and our programs read every other file
from the working directory. The program starts there with ALSA's default
device routed into a WAV file, so sound is installed although the machine has
no card, and a test can tell music and samples from silence.

Everything the session starts (Xvfb, the program, the xmessage boxes that
allegro_message opens) is killed when the `with` block ends, also when a test
fails; the processes also die with the test process itself.

Only the standard library is used, plus Xvfb, xdotool, xprop, ImageMagick's
`import`, Allegro's `pack` tool and libX11 (through ctypes, to read a
window's icon).
"""

import collections
import ctypes
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib
from array import array
from pathlib import Path

# The programs poll their input once per pass of a 50 ms loop.
FRAME_SECONDS = 0.05

# The map file: 4 layers of 200 columns by 50 rows, 32-bit values on disk.
MAP_LAYERS = 4
MAP_COLS = 200
MAP_ROWS = 50
MAP_VALUES = MAP_LAYERS * MAP_COLS * MAP_ROWS
MAP_RAW_BYTES = MAP_VALUES * 4

# Peak sample value (of 32767) at or below which captured audio counts as
# silence; the mixer writes exact zeros when nothing plays.
SILENCE_PEAK = 64

# Passes to wait after the window appears before sending input.
STARTUP_FRAMES = 10

# Kinds of a Linux joystick event (struct js_event).
_JS_BUTTON = 1
_JS_AXIS = 2

_PR_SET_PDEATHSIG = 1
_COMMAND_TIMEOUT = 20


class HarnessError(Exception):
    """The harness could not do what a test asked (no window, no message...)."""


# --------------------------------------------------------------------------
# Where things are

def _fakejoy():
    """The stand-in gamepad library CTest built."""
    lib = os.environ.get("REALWIN_FAKEJOY")
    if not lib:
        raise HarnessError("REALWIN_FAKEJOY is not set; run the test through ctest")
    return lib


def run_dir():
    """The build's self-contained run folder (set by CTest)."""
    d = os.environ.get("REALWIN_RUN_DIR")
    if not d:
        raise HarnessError("REALWIN_RUN_DIR is not set; run the test through ctest")
    return Path(d)


def pack_tool():
    """Allegro's `pack` tool: the path CTest found, else the one on PATH."""
    tool = os.environ.get("REALWIN_PACK") or shutil.which("pack")
    if not tool:
        raise HarnessError("Allegro's pack tool was not found")
    return tool


# --------------------------------------------------------------------------
# Pictures

def from_palette(r, g, b):
    """The colour a capture shows for a palette entry of 6-bit values
    (0-63): Allegro scales them to 8 bits with rounding, so a palette grey
    of 32 (what 128 becomes) shows as 130."""
    return tuple((v * 255 + 31) // 63 for v in (r, g, b))


class Image:
    """An RGB picture: a capture of a window or a BMP the program wrote."""

    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise ValueError("pixel data does not match %d x %d" % (width, height))
        self.width = width
        self.height = height
        self.rgb = bytes(rgb)

    @classmethod
    def load(cls, path):
        """Reads a BMP (8, 24 or 32 bits) or a binary PPM file."""
        data = Path(path).read_bytes()
        if data[:2] == b"BM":
            return cls.from_bmp(data)
        if data[:2] == b"P6":
            return cls.from_ppm(data)
        raise HarnessError("%s is neither a BMP nor a PPM file" % path)

    @classmethod
    def from_ppm(cls, data):
        fields = []
        pos = 2
        while len(fields) < 3:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(int(data[start:pos]))
        width, height, maxval = fields
        pos += 1  # the single whitespace byte before the pixels
        if maxval != 255:
            raise HarnessError("PPM with maxval %d is not supported" % maxval)
        return cls(width, height, data[pos:pos + width * height * 3])

    @classmethod
    def from_bmp(cls, data):
        offset, = struct.unpack_from("<I", data, 10)
        header_size, width, height, _, bpp, compression = struct.unpack_from(
            "<IiiHHI", data, 14)
        if compression not in (0, 3):
            raise HarnessError("compressed BMP files are not supported")
        bottom_up = height > 0
        height = abs(height)
        row_bytes = (width * bpp + 31) // 32 * 4
        palette = []
        if bpp == 8:
            colours, = struct.unpack_from("<I", data, 46)
            colours = colours or 256
            base = 14 + header_size
            for i in range(colours):
                b, g, r = data[base + 4 * i:base + 4 * i + 3]
                palette.append(bytes((r, g, b)))
        elif bpp not in (24, 32):
            raise HarnessError("%d-bit BMP files are not supported" % bpp)
        out = bytearray()
        step = bpp // 8
        for y in range(height):
            src_row = height - 1 - y if bottom_up else y
            row = data[offset + src_row * row_bytes:offset + (src_row + 1) * row_bytes]
            if bpp == 8:
                out += b"".join(palette[i] for i in row[:width])
            else:
                for x in range(width):
                    b, g, r = row[x * step:x * step + 3]
                    out += bytes((r, g, b))
        return cls(width, height, out)

    def pixel(self, x, y):
        """The (r, g, b) colour at (x, y)."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("(%d, %d) is outside %d x %d" % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def crop(self, x, y, w, h):
        """The part of the picture inside the rectangle (clipped to the picture)."""
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + w), min(self.height, y + h)
        out = bytearray()
        for row in range(y0, y1):
            out += self.rgb[(row * self.width + x0) * 3:(row * self.width + x1) * 3]
        return Image(max(0, x1 - x0), max(0, y1 - y0), out)

    def colours(self, x=0, y=0, w=None, h=None):
        """Counter of (r, g, b) -> number of pixels, for the whole picture or a rectangle."""
        img = self if (x, y, w, h) == (0, 0, None, None) else self.crop(
            x, y, self.width if w is None else w, self.height if h is None else h)
        rgb = img.rgb
        return collections.Counter(rgb[i:i + 3] for i in range(0, len(rgb), 3)) \
            if rgb else collections.Counter()

    def count(self, colour, x=0, y=0, w=None, h=None):
        """Number of pixels of `colour` (r, g, b) in the picture or a rectangle."""
        return self.colours(x, y, w, h).get(bytes(colour), 0)

    def bounding_box(self, colour):
        """(x, y, w, h) of the smallest rectangle holding every pixel of
        `colour`, or None when the colour does not appear."""
        want = bytes(colour)
        xs, ys = [], []
        for y in range(self.height):
            row = self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
            for x in range(self.width):
                if row[x * 3:x * 3 + 3] == want:
                    xs.append(x)
                    ys.append(y)
        if not xs:
            return None
        return (min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)

    def differs(self, other):
        """Number of pixels that differ from a picture of the same size."""
        if (self.width, self.height) != (other.width, other.height):
            raise ValueError("pictures of different sizes")
        a, b = self.rgb, other.rgb
        return sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])

    def scaled(self, n):
        """The picture n times bigger, each pixel an n x n square."""
        out = bytearray()
        for y in range(self.height):
            row = self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
            wide = b"".join(row[x * 3:x * 3 + 3] * n for x in range(self.width))
            out += wide * n
        return Image(self.width * n, self.height * n, out)

    def __eq__(self, other):
        return isinstance(other, Image) and (self.width, self.height, self.rgb) == (
            other.width, other.height, other.rgb)

    def save_png(self, path):
        """Writes the picture as a PNG (to look at it, or to keep it for a report)."""
        raw = b"".join(b"\0" + self.rgb[y * self.width * 3:(y + 1) * self.width * 3]
                       for y in range(self.height))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        png = (b"\x89PNG\r\n\x1a\n" +
               chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)) +
               chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
        Path(path).write_bytes(png)


# --------------------------------------------------------------------------
# Sound

AudioStats = collections.namedtuple("AudioStats", "frames peak rms")


def _wav_layout(data):
    """(offset of the sample data, channels, bits per sample), or None."""
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        return None
    pos, channels, bits = 12, 1, 16
    while pos + 8 <= len(data):
        kind, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        if kind == b"fmt ":
            channels, _, _, _, bits = struct.unpack_from("<HIIHH", data, pos + 10)
        if kind == b"data":
            return pos + 8, channels, bits
        pos += 8 + size + (size & 1)
    return None


def wav_stats(path, since=0):
    """Peak and RMS of the 16-bit samples of a WAV file, from byte `since` of
    its data on. The file may still be growing or its header may never have
    been finished (the program was killed), so the data runs to the end of
    the file whatever the header says."""
    try:
        data = Path(path).read_bytes()
    except FileNotFoundError:
        return AudioStats(0, 0, 0.0)
    layout = _wav_layout(data)
    if layout is None or layout[2] != 16:
        return AudioStats(0, 0, 0.0)
    start, channels, _ = layout
    body = data[start + since:]
    samples = array("h")
    samples.frombytes(body[:len(body) // 2 * 2])
    if sys.byteorder == "big":
        samples.byteswap()
    if not samples:
        return AudioStats(0, 0, 0.0)
    peak = max(max(samples), -min(samples))
    rms = (sum(s * s for s in samples) / len(samples)) ** 0.5
    return AudioStats(len(samples) // max(1, channels), peak, rms)


def wav_data_size(path):
    """Bytes of sample data written so far to a growing WAV file, rounded
    down to whole frames: a mark for wav_stats(since=...)."""
    try:
        with open(path, "rb") as f:
            layout = _wav_layout(f.read(4096))
            size = os.fstat(f.fileno()).st_size
    except FileNotFoundError:
        return 0
    if layout is None:
        return 0
    start, channels, bits = layout
    frame = max(1, channels * bits // 8)
    return max(0, size - start) // frame * frame


# --------------------------------------------------------------------------
# Map files

class Map:
    """A level map as the programs hold it: cells[layer][column][row].

    Values are kept as given (up to 32 bits, negative allowed), so a test can
    write values the programs must cut to 16 bits."""

    def __init__(self):
        self.cells = [[[0] * MAP_ROWS for _ in range(MAP_COLS)] for _ in range(MAP_LAYERS)]

    def __getitem__(self, where):
        layer, col, row = where
        return self.cells[layer][col][row]

    def __setitem__(self, where, value):
        layer, col, row = where
        self.cells[layer][col][row] = value

    def __eq__(self, other):
        return isinstance(other, Map) and self.cells == other.cells

    def fill(self, layer, value, cols=range(MAP_COLS), rows=range(MAP_ROWS)):
        """Sets every cell of `layer` in the given columns and rows."""
        for c in cols:
            for r in rows:
                self.cells[layer][c][r] = value

    def to_raw(self):
        """The 160,000 unpacked bytes: little-endian 32-bit values, layer by
        layer, row by row, column by column."""
        values = [self.cells[l][c][r] & 0xFFFFFFFF
                  for l in range(MAP_LAYERS) for r in range(MAP_ROWS) for c in range(MAP_COLS)]
        return struct.pack("<%dI" % MAP_VALUES, *values)

    @classmethod
    def from_raw(cls, raw):
        """Decodes unpacked bytes; the values stay 32-bit as stored."""
        if len(raw) != MAP_RAW_BYTES:
            raise HarnessError("a map holds %d bytes, not %d" % (MAP_RAW_BYTES, len(raw)))
        values = struct.unpack("<%dI" % MAP_VALUES, raw)
        m = cls()
        i = 0
        for l in range(MAP_LAYERS):
            for r in range(MAP_ROWS):
                for c in range(MAP_COLS):
                    m.cells[l][c][r] = values[i]
                    i += 1
        return m

    def save(self, path):
        """Writes a packed map file with Allegro's own pack tool."""
        with tempfile.TemporaryDirectory(prefix="realwin-map-") as tmp:
            raw = Path(tmp) / "map.raw"
            raw.write_bytes(self.to_raw())
            pack_file(raw, path)

    @classmethod
    def load(cls, path):
        """Reads a packed map file back through Allegro's own pack tool."""
        return cls.from_raw(unpack_bytes(path))


def nonzero_cells(raw):
    """{(layer, column, row): value} of the nonzero values in unpacked map
    bytes (file order: layer, row, column)."""
    cells = {}
    for i, (v,) in enumerate(struct.iter_unpack("<I", raw)):
        if v:
            layer, rest = divmod(i, 10000)
            row, col = divmod(rest, 200)
            cells[(layer, col, row)] = v
    return cells


def pack_file(src, dst):
    """Packs `src` into the Allegro packfile `dst` ("pack in out")."""
    _run_tool([pack_tool(), str(src), str(dst)])


def unpack_bytes(path):
    """The unpacked contents of an Allegro packfile ("pack u in out")."""
    with tempfile.TemporaryDirectory(prefix="realwin-map-") as tmp:
        out = Path(tmp) / "out.raw"
        _run_tool([pack_tool(), "u", str(path), str(out)])
        return out.read_bytes()


def _run_tool(args):
    r = subprocess.run(args, capture_output=True, text=True, timeout=_COMMAND_TIMEOUT)
    if r.returncode != 0:
        raise HarnessError("%s failed (%d): %s" % (" ".join(args), r.returncode,
                                                   (r.stdout + r.stderr).strip()))


# --------------------------------------------------------------------------
# The window manager's close request, sent the way a window manager sends it:
# a WM_PROTOCOLS client message holding WM_DELETE_WINDOW. (xdotool's
# windowclose destroys the window instead, which is not what a user does.)

_CLIENT_MESSAGE = 33


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def send_delete_window(display, window):
    """Sends WM_DELETE_WINDOW to `window` (an id) on `display` (":N")."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.POINTER(_XEvent)]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x.XOpenDisplay(display.encode())
    if not dpy:
        raise HarnessError("cannot open display %s" % display)
    try:
        event = _XEvent()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = int(window)
        event.xclient.message_type = x.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.l[0] = x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        event.xclient.l[1] = 0    # CurrentTime
        if not x.XSendEvent(dpy, int(window), 0, 0, ctypes.byref(event)):
            raise HarnessError("XSendEvent to window %s failed" % window)
        x.XSync(dpy, 0)
    finally:
        x.XCloseDisplay(dpy)


# --------------------------------------------------------------------------
# Processes

def _die_with_parent(sig):
    """A pre-exec hook: if the test process is killed (a CTest timeout), the
    kernel sends `sig` to the child too."""
    def hook():
        try:
            ctypes.CDLL(None).prctl(_PR_SET_PDEATHSIG, sig)
        except Exception:
            pass
    return hook


def process_fields():
    """(pid, the fields of its /proc/PID/stat after the command name) for
    every process."""
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            fields = _stat_fields(entry)
            if fields is not None:
                yield int(entry), fields


def _parents():
    """Map pid -> parent pid for every process."""
    return {pid: int(fields[1]) for pid, fields in process_fields()}


def descendants(pid):
    """Every living process below `pid`."""
    parents = _parents()
    found, frontier = [], [pid]
    while frontier:
        p = frontier.pop()
        for child, parent in parents.items():
            if parent == p:
                found.append(child)
                frontier.append(child)
    return found


def _cmdline(pid):
    try:
        raw = Path("/proc", str(pid), "cmdline").read_bytes()
    except OSError:
        return []
    return [a.decode(errors="replace") for a in raw.split(b"\0")[:-1]]


def _stat_fields(pid):
    """The fields of /proc/PID/stat after the command name, or None."""
    try:
        stat = Path("/proc", str(pid), "stat").read_text()
    except OSError:
        return None
    # The command name may hold spaces; fields resume after its ")".
    return stat[stat.rindex(")") + 2:].split()


def alive(pid):
    """True while `pid` exists and is not a zombie."""
    fields = _stat_fields(pid)
    return fields is not None and fields[0] != "Z"


def _start_time(pid):
    """When the process started (clock ticks since boot): with the pid it
    names one process, even after the pid has been reused."""
    fields = _stat_fields(pid)
    return fields[19] if fields else None


class _WMHints(ctypes.Structure):
    _fields_ = [("flags", ctypes.c_long), ("input", ctypes.c_int),
                ("initial_state", ctypes.c_int), ("icon_pixmap", ctypes.c_ulong),
                ("icon_window", ctypes.c_ulong), ("icon_x", ctypes.c_int),
                ("icon_y", ctypes.c_int), ("icon_mask", ctypes.c_ulong),
                ("window_group", ctypes.c_ulong)]


_ICON_PIXMAP_HINT = 1 << 2
_ICON_MASK_HINT = 1 << 5
_ZPIXMAP = 2


def read_wm_icon(display, window):
    """Reads the icon pixmap and mask named by a window's WM_HINTS through
    Xlib: ({(x, y): (r, g, b)} of the pixels the mask lets through, (w, h))."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XGetWMHints.restype = ctypes.POINTER(_WMHints)
    x11.XGetImage.restype = ctypes.c_void_p
    dpy = ctypes.c_void_p(x11.XOpenDisplay(display.encode()))
    if not dpy:
        raise HarnessError("cannot open display %s" % display)
    try:
        hints = x11.XGetWMHints(dpy, ctypes.c_ulong(window))
        if not hints or not hints.contents.flags & _ICON_PIXMAP_HINT:
            raise HarnessError("window %d has no icon pixmap in WM_HINTS" % window)
        h = hints.contents
        pixmap, mask = h.icon_pixmap, h.icon_mask if h.flags & _ICON_MASK_HINT else 0
        # root (a Window), x, y, width, height, border, depth
        geometry = [ctypes.c_ulong()] + [ctypes.c_int() for _ in range(2)] + [
            ctypes.c_uint() for _ in range(4)]
        x11.XGetGeometry(dpy, ctypes.c_ulong(pixmap), *[ctypes.byref(v) for v in geometry])
        w, h = geometry[3].value, geometry[4].value

        def pixels(drawable):
            img = ctypes.c_void_p(x11.XGetImage(dpy, ctypes.c_ulong(drawable), 0, 0, w, h,
                                                ctypes.c_ulong(0xFFFFFFFF), _ZPIXMAP))
            values = {(x, y): x11.XGetPixel(img, x, y) & 0xFFFFFF
                      for y in range(h) for x in range(w)}
            x11.XDestroyImage(img)
            return values

        colour = pixels(pixmap)
        shown = pixels(mask) if mask else {at: 1 for at in colour}
        return {at: (v >> 16, (v >> 8) & 255, v & 255) for at, v in colour.items()
                if shown[at]}, (w, h)
    finally:
        x11.XCloseDisplay(dpy)


def read_xpm(path):
    """The pixels of an XPM file written as C source: ({(x, y): (r, g, b)}
    of the pixels that are not "None", (w, h))."""
    strings = []
    for line in Path(path).read_text().splitlines():
        line = line.strip()
        if line.startswith('"'):
            strings.append(line[1:line.rindex('"')])
    w, h, ncolours, cpp = (int(v) for v in strings[0].split()[:4])
    colours = {}
    for entry in strings[1:1 + ncolours]:
        code, value = entry[:cpp], entry[cpp:].split()[-1]
        colours[code] = None if value == "None" else tuple(
            int(value[i:i + 2], 16) for i in (1, 3, 5))
    icon = {}
    for y, row in enumerate(strings[1 + ncolours:1 + ncolours + h]):
        for x in range(w):
            c = colours[row[x * cpp:(x + 1) * cpp]]
            if c is not None:
                icon[(x, y)] = c
    return icon, (w, h)


class Message:
    """An xmessage box opened by allegro_message."""

    def __init__(self, pid, text, window):
        self.pid = pid
        self.text = text
        self.window = window

    def __repr__(self):
        return "Message(%r)" % self.text


_ALSA_CAPTURE = """\
pcm.!default {
   type plug
   slave { pcm "realwin_capture"; format S16_LE; rate 44100; channels 2 }
}
pcm.realwin_capture {
   type file
   slave.pcm "null"
   file "%s"
   format "wav"
}
"""


class Session:
    """One program in one private X server. Use it as a context manager:

        with Session("game", files={"map2.dat": level}) as s:
            s.hold("Right", frames=10)
            shot = s.capture()

    program     name of a program in the run folder ("game", "mapeditor"),
                or a path to an executable elsewhere
    files       extra files for the program's folder: name -> bytes, str,
                Path (copied) or Map (packed)
    remove      names of files to delete from the copied run folder
    allegro_cfg text of an "allegro.cfg" to put beside the executable
    audio       route ALSA's default device into a WAV file (else the
                program finds no sound card)
    window      window title to wait for (default: the program's name);
                None to start without waiting (programs that fail before
                opening their window)
    source      the run folder to copy (default: the build's)
    args        command-line arguments for the program
    env         extra environment variables for the program
    in_place    run `program` (a path) from where it is, copying nothing:
                it starts in the session's empty folder, away from its data
    settings    text of the player's settings file (kelwyrm.cfg); the
                program's settings folder is the session's own either way
    gamepad     give the program a stand-in gamepad (8 axes, 11 buttons),
                driven by pad_button() and pad_axis()
    """

    def __init__(self, program, files=None, remove=(), allegro_cfg=None, audio=True,
                 window="", source=None, screen="800x600x24", timeout=15, args=(), env=None,
                 in_place=False, settings=None, gamepad=False):
        self.program = program
        self.extra_env = dict(env or {})
        self.args = [str(a) for a in args]
        self.in_place = in_place
        self.files = dict(files or {})
        self.remove = list(remove)
        self.allegro_cfg = allegro_cfg
        self.audio = audio
        self.window_name = Path(program).name if window == "" else window
        self.source = Path(source) if source is not None else None
        self.screen = screen
        self.timeout = timeout
        self.root = None      # temporary folder: run/, logs, audio
        self.dir = None       # the program's folder and working directory
        self.display = None
        self.window = None
        self.proc = None
        self.xvfb = None
        self.started = {}     # pid -> start time of every process started or seen
        self.keep = bool(os.environ.get("REALWIN_KEEP"))
        self._logs = []
        self.settings = settings
        self.gamepad = gamepad
        self._pad = None      # the writing end of the stand-in gamepad's FIFO

    # ---- life cycle

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close(failed=True)
            raise
        return self

    def __exit__(self, exc_type, exc, tb):
        self.close(failed=exc_type is not None)
        return False

    def start(self):
        self.root = Path(tempfile.mkdtemp(prefix="realwin-"))
        self.dir = self.root / "run"
        self._prepare_folder()
        self._start_xvfb()
        self._start_program()
        if self.window_name:
            self.find_window()

    def _own(self, pid):
        if pid not in self.started:
            self.started[pid] = _start_time(pid)

    def _still_ours(self, pid):
        """True while `pid` is still the process this session recorded, not
        a stranger that got its number."""
        return alive(pid) and _start_time(pid) == self.started.get(pid)

    def close(self, failed=False):
        """Kills everything this session started and removes its folder
        (kept only when REALWIN_KEEP is set; a failed test's program output
        goes to stderr first)."""
        if self.proc is not None:
            for pid in descendants(self.proc.pid):
                self._own(pid)
        # Children before the program, the X server last.
        for pid in reversed(list(self.started)):
            if self.xvfb is not None and pid == self.xvfb.pid:
                continue
            if self._still_ours(pid):
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        if self.proc is not None:
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        if self.xvfb is not None:
            # Terminated, not killed: the server removes its socket and lock.
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        # Orphans (an xmessage whose program died) are reaped by init; give it
        # a moment so "no process left" holds when close() returns.
        deadline = time.time() + 5
        while any(self._still_ours(p) for p in self.started) and time.time() < deadline:
            time.sleep(0.05)
        for f in self._logs:
            f.close()
        if self._pad is not None:
            os.close(self._pad)
            self._pad = None
        if self.root is not None:
            if failed:
                self._report_logs()
            if self.keep:
                sys.stderr.write("realwin: files kept in %s\n" % self.root)
            else:
                shutil.rmtree(self.root, ignore_errors=True)

    def _report_logs(self):
        """What the program said, for a failed test whose folder goes away."""
        for name in ("stdout.txt", "stderr.txt"):
            path = self.root / name
            if path.exists() and path.stat().st_size:
                tail = path.read_bytes()[-2000:].decode("utf-8", "replace")
                sys.stderr.write("realwin: %s of %s:\n%s\n" % (name, self.program, tail))

    def _prepare_folder(self):
        if self.in_place:
            if self.allegro_cfg is not None or self.remove:
                raise HarnessError("a program run in place gets no allegro.cfg and loses no file")
            self.dir.mkdir()
            self.exe = Path(self.program).resolve()
            for name, content in self.files.items():
                self.put_file(name, content)
            return
        source = self.source if self.source is not None else run_dir()
        shutil.copytree(source, self.dir, symlinks=False)
        exe = Path(self.program)
        if exe.is_absolute() or "/" in self.program:
            shutil.copy2(exe, self.dir / exe.name)
        self.exe = self.dir / exe.name
        if not self.exe.exists():
            raise HarnessError("%s is not in %s" % (exe.name, source))
        for name in self.remove:
            path = self.dir / name
            if path.is_dir():
                shutil.rmtree(path)
            elif path.exists():
                path.unlink()
        for name, content in self.files.items():
            self.put_file(name, content)
        if self.allegro_cfg is not None:
            (self.dir / "allegro.cfg").write_text(self.allegro_cfg)

    def put_file(self, name, content):
        """Puts a file into the program's folder (also while it runs)."""
        path = self.dir / name
        path.parent.mkdir(parents=True, exist_ok=True)
        if isinstance(content, Map):
            content.save(path)
        elif isinstance(content, Path):
            shutil.copy2(content, path)
        elif isinstance(content, str):
            path.write_text(content)
        else:
            path.write_bytes(bytes(content))

    def _start_xvfb(self):
        # -displayfd: the server takes the first free display itself and
        # writes its number to the pipe once it accepts connections, so two
        # test processes never race for a number.
        # -noreset: by default the server resets when its last client leaves,
        # and a program connecting during that reset fails to start (Allegro
        # then fails allegro_init without a word); xdotool calls come and go
        # all the time.
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", self.screen, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(w,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=self._log("xvfb.log"),
            # SIGTERM lets the server remove its socket and lock file.
            preexec_fn=_die_with_parent(signal.SIGTERM))
        os.close(w)
        self._own(self.xvfb.pid)
        number = b""
        deadline = time.time() + self.timeout
        os.set_blocking(r, False)
        while not number.endswith(b"\n"):
            if time.time() > deadline or self.xvfb.poll() is not None:
                os.close(r)
                raise HarnessError("Xvfb did not start: %s" %
                                   (self.root / "xvfb.log").read_text(errors="replace"))
            try:
                chunk = os.read(r, 16)
            except BlockingIOError:
                time.sleep(0.02)
                continue
            if not chunk:
                time.sleep(0.02)
            number += chunk
        os.close(r)
        self.display = ":" + number.decode().strip()
        # One round trip proves the server serves before the program tries.
        while subprocess.run(["xdotool", "getdisplaygeometry"], env=self.env(),
                             capture_output=True, timeout=_COMMAND_TIMEOUT).returncode != 0:
            if time.time() > deadline:
                raise HarnessError("Xvfb on %s does not answer" % self.display)
            time.sleep(0.05)

    def _log(self, name):
        f = open(self.root / name, "wb")
        self._logs.append(f)
        return f

    def env(self):
        """The environment of everything run against this session's display."""
        env = dict(os.environ, DISPLAY=self.display)
        env.pop("ALSA_CONFIG_PATH", None)
        return env

    def _start_program(self):
        env = self.env()
        env.update(self.extra_env)
        if self.audio:
            conf = self.root / "alsa-capture.conf"
            conf.write_text(_ALSA_CAPTURE % (self.root / "audio.wav"))
            env["ALSA_CONFIG_PATH"] = "/usr/share/alsa/alsa.conf:%s" % conf
        # The player's own settings never reach a test.
        config = self.root / "config"
        (config / "kelwyrm").mkdir(parents=True, exist_ok=True)
        env["XDG_CONFIG_HOME"] = str(config)
        if self.settings is not None:
            self.settings_path.write_text(self.settings)
        if self.gamepad:
            fifo = self.root / "gamepad"
            os.mkfifo(fifo)
            # Read and write: the FIFO stays open whether or not the program
            # has opened its end yet.
            self._pad = os.open(fifo, os.O_RDWR | os.O_NONBLOCK)
            env["LD_PRELOAD"] = _fakejoy()
            env["FAKEJOY_FIFO"] = str(fifo)
        self._out = self._log("stdout.txt")
        self._err = self._log("stderr.txt")
        self.proc = subprocess.Popen([str(self.exe)] + self.args, cwd=self.dir, env=env,
                                     stdin=subprocess.DEVNULL, stdout=self._out,
                                     stderr=self._err, preexec_fn=_die_with_parent(signal.SIGKILL))
        self._own(self.proc.pid)

    @property
    def settings_path(self):
        """The settings file the program reads."""
        return self.root / "config" / "kelwyrm" / "kelwyrm.cfg"

    # ---- the stand-in gamepad (gamepad=True): struct js_event records

    def _pad_event(self, kind, number, value):
        os.write(self._pad, struct.pack("<IhBB", 0, value, kind, number))

    def pad_button(self, number, down=True):
        """Presses (or releases) the gamepad's button `number`."""
        self._pad_event(_JS_BUTTON, number, 1 if down else 0)

    def pad_axis(self, number, value):
        """Moves the gamepad's axis `number` to `value` (-32767 to 32767);
        axis 0 is the left stick's left-right, 6 the d-pad's."""
        self._pad_event(_JS_AXIS, number, value)

    def pad_hold(self, number, frames=2, settle=2):
        """Holds a gamepad button for `frames` passes."""
        self.pad_button(number, True)
        self.wait_frames(frames)
        self.pad_button(number, False)
        self.wait_frames(settle)

    # ---- the program

    @property
    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=10):
        """Waits for the program to end and gives its exit status (negative:
        killed by that signal). Raises HarnessError if it is still running."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("%s still running after %s s" % (self.exe.name, timeout))

    def stdout(self):
        self._out.flush()
        return (self.root / "stdout.txt").read_text(errors="replace")

    def stderr(self):
        self._err.flush()
        return (self.root / "stderr.txt").read_text(errors="replace")

    def path(self, name):
        """Path of a file in the program's folder."""
        return self.dir / name

    def wait_for_file(self, name, timeout=5):
        """Waits until the program has written a non-empty file; gives its path."""
        path = self.dir / name
        deadline = time.time() + timeout
        while time.time() < deadline:
            if path.exists() and path.stat().st_size > 0:
                return path
            time.sleep(0.05)
        raise HarnessError("%s was not written within %s s" % (name, timeout))

    def read_image(self, name="screenshot.bmp", timeout=5):
        """Reads a BMP the program wrote (waits for it to appear)."""
        path = self.wait_for_file(name, timeout)
        # The game rewrites the file on every frame the key is held: retry
        # a half-written one.
        for _ in range(20):
            try:
                return Image.load(path)
            except (struct.error, ValueError, IndexError, HarnessError):
                time.sleep(0.05)
        return Image.load(path)

    # ---- X

    def xdotool(self, *args, timeout=_COMMAND_TIMEOUT):
        """Runs xdotool against this display; gives its output."""
        r = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env(),
                           capture_output=True, text=True, timeout=timeout)
        if r.returncode != 0:
            raise HarnessError("xdotool %s failed: %s" % (" ".join(map(str, args)), r.stderr))
        return r.stdout

    def _search(self, *args):
        r = subprocess.run(["xdotool", "search"] + list(args), env=self.env(),
                           capture_output=True, text=True, timeout=_COMMAND_TIMEOUT)
        return r.stdout.split()

    def find_window(self, name=None, timeout=None):
        """Waits for the program's window (title exactly `name`), focuses it,
        lets the program settle and gives the window's id."""
        name = name or self.window_name
        deadline = time.time() + (timeout or self.timeout)
        while True:
            ids = self._search("--onlyvisible", "--name", "^%s$" % name)
            if ids:
                break
            if not self.running:
                raise HarnessError("%s exited (%s) before its window appeared; stderr:\n%s"
                                   % (self.exe.name, self.proc.returncode, self.stderr()))
            if time.time() > deadline:
                raise HarnessError("no window named %r" % name)
            time.sleep(0.1)
        self.window = ids[0]
        self.focus()
        # Input sent in the first passes after the window appears can be
        # lost while Allegro finishes setting up; the pointer goes to the
        # middle of the window, where Allegro puts its mouse at start.
        width, height = self.geometry()
        self.move(width // 2, height // 2, settle=STARTUP_FRAMES)
        return self.window

    def close_window(self, window=None):
        """Presses the window's close button: WM_DELETE_WINDOW, as a window
        manager sends it, to the program's window (or `window`)."""
        send_delete_window(self.display, window or self.window)

    def focus(self):
        """Gives the program's window the keyboard focus (no window manager
        does it here)."""
        self.xdotool("windowfocus", "--sync", self.window)

    def geometry(self):
        """(width, height) of the program's window."""
        out = self.xdotool("getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def wm_class(self):
        """The (instance, class) strings of the window's WM_CLASS."""
        out = subprocess.run(["xprop", "-id", str(self.window), "WM_CLASS"], env=self.env(),
                             capture_output=True, text=True, timeout=_COMMAND_TIMEOUT).stdout
        return tuple(part.strip().strip('"') for part in out.split("=", 1)[1].split(","))

    def window_icon(self):
        """The icon the window gives the window manager (the pixmap and mask
        of its WM_HINTS), read back from the X server: a dict (x, y) ->
        (r, g, b) of the pixels the mask shows, and the icon's size."""
        return read_wm_icon(self.display, int(self.window))

    # ---- keyboard (xdotool key names: Left, Right, space, Control_L, Print,
    # ---- Escape, F1, Return, Home, End, Prior, Next, a, 1 ...)

    def hold(self, keys, frames=1, settle=2):
        """Holds one key or several together for `frames` passes of the
        program's loop (it sees `frames` or one more), then waits `settle`
        passes so the program has acted on the release."""
        keys = [keys] if isinstance(keys, str) else list(keys)
        self.xdotool("keydown", *keys, "sleep", "%.3f" % (frames * FRAME_SECONDS),
                     "keyup", *keys, timeout=_COMMAND_TIMEOUT + frames * FRAME_SECONDS)
        self.wait_frames(settle)

    def tap(self, keys, settle=2):
        """A short press that is never missed: held for two passes."""
        self.hold(keys, frames=2, settle=settle)

    def key_down(self, *keys):
        self.xdotool("keydown", *keys)

    def key_up(self, *keys):
        self.xdotool("keyup", *keys)

    def wait_frames(self, frames):
        time.sleep(frames * FRAME_SECONDS)

    # ---- mouse (button 1 = left, 3 = right; Allegro's mouse_b bits 1 and 2)

    def move(self, x, y, settle=2):
        """Moves the pointer to (x, y) inside the program's window."""
        self.xdotool("mousemove", "--window", self.window, x, y)
        self.wait_frames(settle)

    def click(self, x, y, button=1, hold=0.1, settle=2):
        """Moves to (x, y), presses `button` for `hold` seconds, releases."""
        self.xdotool("mousemove", "--window", self.window, x, y,
                     "sleep", "%.3f" % FRAME_SECONDS,
                     "mousedown", button, "sleep", "%.3f" % hold, "mouseup", button)
        self.wait_frames(settle)

    def mouse_down(self, button=1):
        self.xdotool("mousedown", button)

    def mouse_up(self, button=1):
        self.xdotool("mouseup", button)

    def drag(self, points, button=1, frames_per_point=2, settle=2):
        """Presses `button` at the first point, moves through the others
        (staying `frames_per_point` passes at each) and releases at the last."""
        args = ["mousemove", "--window", self.window, points[0][0], points[0][1],
                "mousedown", button]
        pause = "%.3f" % (frames_per_point * FRAME_SECONDS)
        for x, y in points:
            args += ["mousemove", "--window", self.window, x, y, "sleep", pause]
        args += ["mouseup", button]
        self.xdotool(*args, timeout=_COMMAND_TIMEOUT + len(points) * frames_per_point * FRAME_SECONDS)
        self.wait_frames(settle)

    # ---- pictures

    def capture(self, save_as=None, root=False):
        """The window's picture as it is now (the whole screen with
        root=True); also written as PNG to `save_as`."""
        r = subprocess.run(["import", "-silent", "-window", "root" if root else self.window,
                            "-depth", "8", "ppm:-"],
                           env=self.env(), capture_output=True, timeout=_COMMAND_TIMEOUT)
        if r.returncode != 0:
            raise HarnessError("import failed: %s" % r.stderr.decode(errors="replace"))
        img = Image.from_ppm(r.stdout)
        if save_as:
            img.save_png(save_as)
        return img

    def capture_until(self, seen, timeout=10, every=2, root=False):
        """Captures every `every` passes until `seen(image)` is true; gives
        that image. Waiting for a picture instead of a fixed number of passes
        keeps a test steady on a busy machine."""
        deadline = time.time() + timeout
        while True:
            img = self.capture(root=root)
            if seen(img):
                return img
            if time.time() > deadline:
                raise HarnessError("the window did not show what was awaited within %s s"
                                   % timeout)
            self.wait_frames(every)

    # ---- message boxes

    def messages(self):
        """The xmessage boxes the program has open now."""
        found = []
        if self.proc is None:
            return found
        for pid in descendants(self.proc.pid):
            args = _cmdline(pid)
            if args and Path(args[0]).name == "xmessage" and alive(pid):
                self._own(pid)
                found.append(Message(pid, args[-1].rstrip("\n"), None))
        return found

    def find_message(self, timeout=10):
        """Waits for a message box and its window; gives the Message."""
        deadline = time.time() + timeout
        while True:
            boxes = self.messages()
            if boxes:
                ids = self._search("--class", "Xmessage")
                if ids:
                    boxes[0].window = ids[0]
                    return boxes[0]
            if time.time() > deadline:
                raise HarnessError("no message box within %s s" % timeout)
            time.sleep(0.1)

    def message_text(self, timeout=10):
        return self.find_message(timeout).text

    def dismiss_message(self, message=None, timeout=10):
        """Presses Return in the message box (its OK button) and waits until
        it has closed; gives its text."""
        message = message or self.find_message(timeout)
        self.xdotool("windowfocus", "--sync", message.window, "key", "Return")
        deadline = time.time() + timeout
        while alive(message.pid):
            if time.time() > deadline:
                raise HarnessError("message box %r did not close" % message.text)
            time.sleep(0.05)
        if self.window and self.running:
            try:
                self.focus()
            except HarnessError:
                pass  # the program may be closing its window right now
        return message.text

    def answer_messages(self):
        """Dismisses each message box the program opens in turn, until none
        comes for 2 s (10 s for the first); gives their texts."""
        texts = []
        while True:
            try:
                box = self.find_message(timeout=2 if texts else 10)
            except HarnessError:
                return texts
            texts.append(self.dismiss_message(box))

    # ---- sound

    @property
    def audio_path(self):
        return self.root / "audio.wav"

    def audio_mark(self):
        """A mark to measure only what is played after this moment."""
        return wav_data_size(self.audio_path)

    def audio_stats(self, since=0):
        """Frames, peak and RMS of what the program played (since a mark)."""
        return wav_stats(self.audio_path, since)

    def audio_silent(self, since=0):
        """True when nothing audible has been played (since a mark)."""
        return self.audio_stats(since).peak <= SILENCE_PEAK

