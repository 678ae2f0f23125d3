"""The shipped levels against the real Tiled: Tiled reads every cell of our
exported maps as the map file holds it (unpacked by Allegro's pack tool),
and maps that Tiled itself wrote compile back to the same bytes."""

import base64
import gzip
import json
import os
import struct
import subprocess
import tempfile
import unittest
import zlib
from pathlib import Path

LEVELC = os.environ["LEVELC"]
RUN_DIR = Path(os.environ["LEVEL_RUN_DIR"])
TILED_DIR = Path(os.environ["LEVEL_TILED_DIR"])
PACK = os.environ["LEVEL_PACK"]
LEVELS = ["map2", "map3", "map4", "map5"]
LAYERS = ["ground", "background", "enemies", "items"]
COLS, ROWS = 200, 50


def tiled(home, *args):
    """Runs Tiled headless, its settings, runtime files and single-instance
    lock file kept in `home`."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=str(home), TMPDIR=str(home))
    for name in ["CONFIG", "DATA", "CACHE", "RUNTIME"]:
        env["XDG_%s_%s" % (name, "DIR" if name == "RUNTIME" else "HOME")] = str(home)
    subprocess.run(["tiled", *map(str, args)], env=env, check=True, stderr=subprocess.DEVNULL)


def levelc(*args):
    return subprocess.run([LEVELC, *map(str, args)], capture_output=True, text=True)


def zstd(data):
    return subprocess.run(["zstd", "-c", "-q"], input=data, capture_output=True, check=True).stdout


class TiledRoundTrip(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="kelwyrm-tiled-")
        self.dir = Path(self.tmp.name)

    def tearDown(self):
        self.tmp.cleanup()

    def map_values(self, name):
        """Every layer's values in file order, as `pack u` unpacks them."""
        raw = self.dir / (name + ".raw")
        subprocess.run([PACK, "u", RUN_DIR / (name + ".dat"), raw], check=True,
                       stdout=subprocess.DEVNULL)
        values = struct.unpack("<%dI" % (4 * COLS * ROWS), raw.read_bytes())
        return [values[l * COLS * ROWS:(l + 1) * COLS * ROWS] for l in range(4)]

    def compiles_to_shipped(self, tmx, name):
        out = self.dir / (name + ".dat")
        result = levelc("compile", tmx, out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(out.read_bytes(), (RUN_DIR / (name + ".dat")).read_bytes())

    def test_tiled_reads_every_cell_as_the_map_file_holds_it(self):
        for name in LEVELS:
            with self.subTest(level=name):
                out = self.dir / (name + ".json")
                tiled(self.dir, "--export-map", "--embed-tilesets", "json", TILED_DIR / (name + ".tmx"), out)
                tmj = json.loads(out.read_text())
                sets = {t["name"]: t for t in tmj["tilesets"]}
                self.assertEqual((sets["tiles"]["tilecount"], sets["enemies"]["tilecount"]), (49, 2))
                for tileset, sheet in [("tiles", "tiles.png"), ("enemies", "enemies.png")]:
                    self.assertEqual((self.dir / sets[tileset]["image"]).resolve(), TILED_DIR / sheet)
                self.assertEqual([l["name"] for l in tmj["layers"]], LAYERS)
                for layer, values, data in zip(LAYERS, self.map_values(name), tmj["layers"]):
                    first = sets["enemies" if layer == "enemies" else "tiles"]["firstgid"]
                    want = [v and first + v - 1 for v in values]
                    self.assertEqual(data["data"], want, layer)

    def test_maps_written_by_tiled_compile_to_the_same_bytes(self):
        for name in LEVELS:
            with self.subTest(level=name):
                tmx = self.dir / (name + ".tmx")
                tiled(self.dir, "--export-map", "tmx", TILED_DIR / (name + ".tmx"), tmx)
                # Tiled moves the enemies' tileset from 1001 to right behind the tiles.
                self.assertIn('<tileset firstgid="50"', tmx.read_text())
                self.assertIn('encoding="csv"', tmx.read_text())
                self.compiles_to_shipped(tmx, name)

    def tiled_writes(self, compression, name="map3"):
        """Tiled's TMX of a level whose layers it keeps as base64 with
        `compression`: Tiled keeps the layer format of the map it reads."""
        json_map = self.dir / "in.json"
        tiled(self.dir, "--export-map", "json", TILED_DIR / (name + ".tmx"), json_map)
        tmj = json.loads(json_map.read_text())
        pack = {"": bytes, "zlib": zlib.compress, "gzip": gzip.compress, "zstd": zstd}[compression]
        for layer in tmj["layers"]:
            raw = struct.pack("<%dI" % len(layer["data"]), *layer["data"])
            layer.update(encoding="base64", data=base64.b64encode(pack(raw)).decode())
            if compression:
                layer["compression"] = compression
        json_map.write_text(json.dumps(tmj))
        tmx = self.dir / (compression + ".tmx")
        tiled(self.dir, "--export-map", "tmx", json_map, tmx)
        self.assertEqual(tmx.read_text().count('encoding="base64"'), 4)
        self.assertEqual(tmx.read_text().count('compression="%s"' % compression), 4 if compression else 0)
        return tmx

    def test_base64_layers_that_tiled_wrote_compile_and_zstd_is_refused(self):
        for compression in ["zlib", "gzip", ""]:
            with self.subTest(compression=compression):
                self.compiles_to_shipped(self.tiled_writes(compression), "map3")
        zstd = self.tiled_writes("zstd")
        result = levelc("compile", zstd, self.dir / "zstd.dat")
        self.assertNotEqual(result.returncode, 0)
        self.assertRegex(result.stderr, r"zstd\.tmx:6: zstd-compressed layer data is not read")
        self.assertFalse((self.dir / "zstd.dat").exists())


if __name__ == "__main__":
    unittest.main()
