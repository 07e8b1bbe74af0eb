#!/usr/bin/env python3
"""Writes the small rasters the terrain and map fuzz targets start from
(tests/fuzz/seeds/<target>/), all around the example flight
examples/rundflug.igc (48.11-48.13 N, 11.53-11.58 E), and the one-band
elevation GeoTIFF tests/data/dem/ardennes-int16.tif over the Luxembourg
Ardennes of the terrain tests. Every file is written byte by byte here
(TIFF, PNG, ZIP and SQLite from the standard library), so the seeds owe
nothing to the reader under test. The output is the same on every run.

    python3 tools/make_raster_seeds.py
"""

import io
import os
import sqlite3
import struct
import sys
import zipfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SEEDS = os.path.join(ROOT, "tests", "fuzz", "seeds")
PART = b"\n--8<--\n"  # between picture, world file and .prj in a world-file seed

WGS84_PRJ = (b'GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563]],'
             b'PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]]')
UTM32_PRJ = (b'PROJCS["WGS 84 / UTM zone 32N",GEOGCS["WGS 84",DATUM["WGS_1984",'
             b'SPHEROID["WGS 84",6378137,298.257223563]],PRIMEM["Greenwich",0],'
             b'UNIT["degree",0.0174532925199433]],PROJECTION["Transverse_Mercator"],'
             b'PARAMETER["latitude_of_origin",0],PARAMETER["central_meridian",9],'
             b'PARAMETER["scale_factor",0.9996],PARAMETER["false_easting",500000],'
             b'PARAMETER["false_northing",0],UNIT["metre",1]]')

# TIFF field types
SHORT, LONG, DOUBLE, ASCII = 3, 4, 12, 2
TYPE_SIZE = {SHORT: 2, LONG: 4, DOUBLE: 8, ASCII: 1}
TYPE_CODE = {SHORT: "H", LONG: "I", DOUBLE: "d"}


def tiff(width, height, bands, bits, sample_format, pixels, origin, pixel, epsg, nodata=None, photometric=None):
    """A little-endian, uncompressed, one-strip GeoTIFF. origin: (x, y) of
    the upper-left corner; pixel: (dx, dy) sizes; epsg: 4326 (degrees) or a
    projected system."""
    tags = [
        (256, LONG, [width]),
        (257, LONG, [height]),
        (258, SHORT, [bits] * bands),
        (259, SHORT, [1]),
        (262, SHORT, [photometric if photometric is not None else (2 if bands >= 3 else 1)]),
        (273, LONG, [0]),  # the strip's offset, filled in below
        (277, SHORT, [bands]),
        (278, LONG, [height]),
        (279, LONG, [len(pixels)]),
        (284, SHORT, [1]),
        (339, SHORT, [sample_format] * bands),
        (33550, DOUBLE, [pixel[0], pixel[1], 0.0]),
        (33922, DOUBLE, [0.0, 0.0, 0.0, origin[0], origin[1], 0.0]),
    ]
    if epsg == 4326:
        keys = [1, 1, 0, 3, 1024, 0, 1, 2, 1025, 0, 1, 1, 2048, 0, 1, 4326]
    else:
        keys = [1, 1, 0, 3, 1024, 0, 1, 1, 1025, 0, 1, 1, 3072, 0, 1, epsg]
    tags.append((34735, SHORT, keys))
    if nodata is not None:
        tags.append((42113, ASCII, (str(nodata) + "\0").encode()))
    ifd_size = 2 + 12 * len(tags) + 4
    extra_at = 8 + ifd_size
    extra = b""
    entries = []
    strip_offset = None
    # First pass for the extra data's size, so the strip can follow it.
    for tag, kind, values in tags:
        size = len(values) * TYPE_SIZE[kind]
        if size > 4:
            extra += b"\0" * (size + size % 2)
    strip_offset = extra_at + len(extra)
    extra = b""
    for tag, kind, values in tags:
        if tag == 273:
            values = [strip_offset]
        raw = bytes(values) if kind == ASCII else struct.pack("<%d%s" % (len(values), TYPE_CODE[kind]), *values)
        if len(raw) <= 4:
            field = raw.ljust(4, b"\0")
        else:
            field = struct.pack("<I", extra_at + len(extra))
            extra += raw + (b"\0" if len(raw) % 2 else b"")
        entries.append(struct.pack("<HHI", tag, kind, len(values)) + field)
    ifd = struct.pack("<H", len(tags)) + b"".join(entries) + struct.pack("<I", 0)
    return b"II*\0" + struct.pack("<I", 8) + ifd + extra + pixels


def png(width, height, rgb_at):
    """An 8-bit RGB PNG; rgb_at(x, y) gives each pixel."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    rows = b"".join(b"\0" + b"".join(bytes(rgb_at(x, y)) for x in range(width)) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def relief(x, y):
    return ((40 + 7 * x) % 256, (90 + 5 * y) % 256, (160 + 3 * (x + y)) % 256)


def heights(width, height, base, kind="<h"):
    return b"".join(struct.pack(kind, base + 3 * c + 2 * r) for r in range(height) for c in range(width))


def world_file(dx, dy, x, y):
    """The six lines of a world file: pixel sizes and the centre of the upper-left pixel."""
    return ("%r\n0.0\n0.0\n%r\n%r\n%r\n" % (dx, -dy, x + dx / 2, y - dy / 2)).encode()


def hgt_zip(*members):
    """A zip of whole 3-second tiles, each (name, height) one flat tile."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name, value in members:
            info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, struct.pack(">h", value) * (1201 * 1201), compresslevel=9)
    return out.getvalue()


def mbtiles(path, tile_format="png", zoom=10):
    """One 256-pixel tile over the example flight (x 544, y 355 at zoom 10:
    11.25-11.60 E, 47.99-48.22 N; rows counted from the south)."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.exists(path):
        os.remove(path)
    db = sqlite3.connect(path)
    db.execute("PRAGMA page_size = 512")
    db.execute("PRAGMA journal_mode = OFF")
    db.execute("CREATE TABLE metadata (name TEXT, value TEXT)")
    db.execute("CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB)")
    for k, v in [("name", "seed"), ("format", tile_format), ("minzoom", str(zoom)), ("maxzoom", str(zoom)),
                 ("bounds", "11.25,47.99,11.60,48.22")]:
        db.execute("INSERT INTO metadata VALUES (?, ?)", (k, v))
    tile = png(256, 256, lambda x, y: relief(x // 16, y // 16))
    db.execute("INSERT INTO tiles VALUES (?, ?, ?, ?)", (zoom, 544, (1 << zoom) - 1 - 355, tile))
    db.commit()
    db.close()


def write(target, name, data):
    folder = os.path.join(SEEDS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    # Elevation: one SRTM tile by its repeated contents (the target repeats the
    # bytes after the first to a whole 1201 x 1201 tile when its lowest bit is set).
    write("hgt", "flat-500", b"\1" + struct.pack(">h", 500))
    write("hgt", "slope-with-voids", b"\1" + b"".join(struct.pack(">h", v) for v in (480, 520, -32768, 505, 9000)))
    write("hgt", "short-tile", b"\0" + struct.pack(">h", 500) * 64)
    write("hgtzip", "N48E011.hgt.zip", hgt_zip(("N48E011.hgt", 520)))
    write("hgtzip", "two-tiles.hgt.zip", hgt_zip(("N48E010.hgt", 300), ("sub/n48e011.HGT", 510)))
    # One-band GeoTIFFs: 16-bit integers in degrees, 32-bit floats in UTM.
    write("elevation", "int16-degrees.tif",
          tiff(24, 16, 1, 16, 2, heights(24, 16, 500), (11.45, 48.20), (0.01, 0.01), 4326, nodata=-32768))
    utm = struct.pack("<%df" % (32 * 32), *[510.5 + c - r for r in range(32) for c in range(32)])
    write("elevation", "float32-utm.tif", tiff(32, 32, 1, 32, 3, utm, (680000.0, 5340000.0), (500.0, 500.0), 32632))
    # Georeferenced maps.
    rgb = b"".join(bytes(relief(x, y)) for y in range(16) for x in range(24))
    write("geotiff", "rgb-degrees.tif", tiff(24, 16, 3, 8, 1, rgb, (11.45, 48.20), (0.01, 0.01), 4326))
    rgb32 = b"".join(bytes(relief(x, y)) for y in range(32) for x in range(32))
    write("geotiff", "rgb-utm.tif", tiff(32, 32, 3, 8, 1, rgb32, (680000.0, 5340000.0), (500.0, 500.0), 32632))
    picture = png(24, 16, relief)
    write("worldfile", "degrees-with-prj", picture + PART + world_file(0.01, 0.01, 11.45, 48.20) + PART + WGS84_PRJ)
    write("worldfile", "degrees-without-prj", picture + PART + world_file(0.01, 0.01, 11.45, 48.20) + PART)
    write("worldfile", "utm-with-prj", png(32, 32, relief) + PART + world_file(500.0, 500.0, 680000.0, 5340000.0) + PART +
          UTM32_PRJ)
    mbtiles(os.path.join(SEEDS, "mbtiles", "one-tile.mbtiles"))

    # The one-band elevation GeoTIFF of the Ardennes tests: 0.005 degree posts.
    dem = os.path.join(ROOT, "tests", "data", "dem", "ardennes-int16.tif")
    with open(dem, "wb") as f:
        f.write(tiff(40, 30, 1, 16, 2, heights(40, 30, 300), (5.78, 49.80), (0.005, 0.005), 4326, nodata=-32768))


if __name__ == "__main__":
    sys.exit(main())
