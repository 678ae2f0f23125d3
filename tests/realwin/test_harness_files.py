"""Map files and pictures as the harness writes and reads them, checked
against Allegro's own pack tool and against independent encodings."""

import struct
import tempfile
import unittest
from pathlib import Path

from harness import (MAP_RAW_BYTES, HarnessError, Image, Map, pack_file,
                     unpack_bytes, wav_stats)


class MapFiles(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="realwin-files-")
        self.dir = Path(self.tmp.name)

    def tearDown(self):
        self.tmp.cleanup()

    def test_raw_layout_is_layer_row_column(self):
        m = Map()
        m[0, 5, 2] = 65535
        m[1, 0, 0] = 65541          # kept as given: the programs cut it to 5
        m[3, 199, 49] = -1
        raw = m.to_raw()
        self.assertEqual(len(raw), MAP_RAW_BYTES)
        # Layer 0, column 5, row 2 is the 406th value.
        self.assertEqual(raw[1620:1624], b"\xff\xff\x00\x00")
        self.assertEqual(raw[200 * 50 * 4:200 * 50 * 4 + 4], struct.pack("<I", 65541))
        self.assertEqual(raw[-4:], b"\xff\xff\xff\xff")
        self.assertEqual(raw.count(0), MAP_RAW_BYTES - 2 - 2 - 4)
        back = Map.from_raw(raw)
        self.assertEqual((back[0, 5, 2], back[1, 0, 0], back[3, 199, 49]),
                         (65535, 65541, 0xFFFFFFFF))

    def test_saved_map_is_a_packfile_that_pack_u_restores(self):
        m = Map()
        m.fill(0, 12, rows=[6])
        m.fill(3, 49, cols=[199], rows=range(0, 50, 7))
        path = self.dir / "map2.dat"
        m.save(path)
        self.assertEqual(path.read_bytes()[:4], b"slh!")
        self.assertEqual(unpack_bytes(path), m.to_raw())
        self.assertEqual(Map.load(path), m)

    def test_bad_files_are_reported(self):
        plain = self.dir / "plain.dat"
        plain.write_bytes(b"\0" * MAP_RAW_BYTES)
        with self.assertRaises(HarnessError):
            Map.load(plain)              # not a packed file
        short = self.dir / "short.dat"
        raw_short = self.dir / "short.raw"
        raw_short.write_bytes(b"\0" * 100)
        pack_file(raw_short, short)
        with self.assertRaises(HarnessError):
            Map.load(short)              # too few bytes for a map


class Pictures(unittest.TestCase):
    def bmp(self, width, height, bpp, rows, palette=b""):
        """A bottom-up BMP built by hand; `rows` top to bottom, padded here."""
        row_bytes = (width * bpp + 31) // 32 * 4
        body = b"".join(r + b"\0" * (row_bytes - len(r)) for r in reversed(rows))
        offset = 14 + 40 + len(palette)
        header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(body),
                           2835, 2835, len(palette) // 4, 0)
        return header + info + palette + body

    def test_bmp_8_and_24_bit_and_ppm_agree(self):
        palette = bytes([0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0]) + b"\0" * 4 * 253
        eight = self.bmp(3, 2, 8, [bytes([0, 1, 2]), bytes([2, 1, 0])], palette)
        # BMP pixels are stored blue, green, red.
        black, red, blue = b"\0\0\0", b"\0\0\xff", b"\xff\0\0"
        twenty_four = self.bmp(3, 2, 24, [black + red + blue, blue + red + black])
        ppm = b"P6\n# made by hand\n3 2\n255\n" + bytes(
            [0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 255, 0, 0, 0, 0, 0])
        with tempfile.TemporaryDirectory() as tmp:
            images = []
            for name, data in (("a.bmp", eight), ("b.bmp", twenty_four), ("c.ppm", ppm)):
                (Path(tmp) / name).write_bytes(data)
                images.append(Image.load(Path(tmp) / name))
        self.assertEqual(images[0], images[1])
        self.assertEqual(images[0], images[2])
        img = images[0]
        self.assertEqual((img.pixel(1, 0), img.pixel(2, 0), img.pixel(0, 1)),
                         ((255, 0, 0), (0, 0, 255), (0, 0, 255)))
        self.assertEqual(img.bounding_box((255, 0, 0)), (1, 0, 1, 2))
        self.assertEqual(img.count((0, 0, 0), 0, 0, 2, 2), 1)

    def test_unfinished_wav_is_read_to_its_end(self):
        # The program is killed before ALSA writes the final sizes.
        header = (b"RIFF" + struct.pack("<I", 0) + b"WAVE" + b"fmt " +
                  struct.pack("<IHHIIHH", 16, 1, 2, 44100, 44100 * 4, 4, 16) +
                  b"data" + struct.pack("<I", 0))
        samples = struct.pack("<8h", 0, 0, 0, 0, 1000, -3000, 0, 0)
        with tempfile.TemporaryDirectory() as tmp:
            path = Path(tmp) / "audio.wav"
            path.write_bytes(header + samples)
            stats = wav_stats(path)
            later = wav_stats(path, since=8)
            quiet = wav_stats(path, since=12)
        self.assertEqual((stats.frames, stats.peak), (4, 3000))
        self.assertEqual((later.frames, later.peak), (2, 3000))
        self.assertEqual(quiet.peak, 0)


if __name__ == "__main__":
    unittest.main()
