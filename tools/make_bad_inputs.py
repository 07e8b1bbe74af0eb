#!/usr/bin/env python3
"""Writes tests/bad-inputs/: files a user may feed the program by mistake or
that a broken logger writes, and `expected.tsv` with the reader each goes to
and its outcome ("loads", or the first line of the error box). The test
BadInputs replays every row on a program that has a flight, a parameter
table and maps loaded, and checks that a failure keeps all of them.
Standard library only; the output is the same on every run.

    python3 tools/make_bad_inputs.py [output directory]
"""

import io
import os
import random
import struct
import sys
import zlib
import zipfile

RANGE = "Fehler bei Bereichsprüfung"
NO_DATA = "Keine Flugdaten in der Datei"
OVERFLOW = "Integerüberlauf"
PAST_EOF = "Versuch hinter dem Dateiende zu lesen"
BAD_BITMAP = "Bitmap ist ungültig"
BAD_GPX = "Ungültige GPX-Datei"


def b_record(i, second=None):
    t = 36000 + (i if second is None else second)
    return "B%02d%02d%02d%07dN%08dEA%05d%05d" % (
        t // 3600 % 24, t // 60 % 60, t % 60, 4807038 + i % 900, 1134567 + i % 700, 500 + i % 300, 550 + i % 300)


def gpx(points, kind="trk"):
    """A GPX 1.1 file with the given trkpt (or rtept) elements."""
    inner = "\n".join(points)
    body = "<trk><trkseg>\n%s\n</trkseg></trk>" % inner if kind == "trk" else "<rte>\n%s\n</rte>" % inner
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<gpx version="1.1" creator="test" '
            'xmlns="http://www.topografix.com/GPX/1/1">\n%s\n</gpx>\n' % body).encode("utf-8")


def trkpt(i, lat=None, lon=None):
    return '<trkpt lat="%s" lon="%s"><ele>%d</ele><time>2023-06-01T10:%02d:%02dZ</time></trkpt>' % (
        "%.7f" % (47.1 + i * 1e-4) if lat is None else lat, "%.7f" % (11.5 + i * 1e-4) if lon is None else lon,
        500 + i % 300, i // 60 % 60, i % 60)


def crlf(lines):
    return ("\r\n".join(lines) + "\r\n").encode("latin-1")


def ng_line(i):
    channels = ";".join(str(100 + (i + k) % 900) for k in range(13))
    return "%s;%d;%d;%d" % (channels, 4807038 + i % 900, 1134567 + i % 700, 4800 + i % 500)


def ng_file(samples, code=4):
    return crlf(["1;64;%d;0;0;0" % code, "Kanal;Werte"] + [ng_line(i) for i in range(samples)])


def bmp_header(width, height, bits=24, data=b"", compression=0, palette=b""):
    """A BITMAPINFOHEADER file whose header says width x height."""
    row = (width * bits + 31) // 32 * 4
    size_image = row * abs(height)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size_image & 0xFFFFFFFF, 2835, 2835,
                       0, 0) + palette
    offset = 14 + len(info)
    head = b"BM" + struct.pack("<IHHI", (offset + size_image) & 0xFFFFFFFF, 0, 0, offset)
    return head + info + data


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_header(width, height):
    """A PNG whose header says width x height, with one short row of data."""
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            png_chunk(b"IDAT", zlib.compress(bytes(16))) + png_chunk(b"IEND", b""))


BAD_TERRAIN = "Ungültige Geländedatei"
BAD_MAP = "Ungültige Kartendatei"


def cases():
    rnd = random.Random(7)
    garbage = bytes(rnd.randrange(256) for _ in range(4096))
    good_igc = [b_record(i) for i in range(20)]

    # name, reader, expected outcome, bytes
    yield "empty.igc", "igc", NO_DATA, b""
    yield "empty.csv", "logger", NO_DATA, b""
    yield "empty.par", "par", PAST_EOF, b""
    yield "garbage.igc", "igc", NO_DATA, garbage
    # The logger reader passes over every character but digits, '-' and ';'.
    yield "garbage.csv", "logger", "loads", garbage
    yield "b-line-29.igc", "igc", RANGE, crlf(good_igc[:3] + [good_igc[3][:29]] + good_igc[4:])
    yield "b-line-30.igc", "igc", "loads", crlf(good_igc[:3] + [good_igc[3][:30]])
    yield "field-beyond-32-bits.csv", "logger", OVERFLOW, crlf(["4807038;1134567;1;99999999999"])
    yield "header-beyond-32-bits.csv", "logger", OVERFLOW, crlf(["1;64;4294967296;0;0;0", "x", ng_line(0)])
    yield "line-100k.igc", "igc", "loads", crlf(good_igc[:2] + [good_igc[2] + "X" * 100_000])
    yield "line-100k.csv", "logger", OVERFLOW, crlf(["4807038;1134567;1;" + "7" * 100_000])
    yield "only-crs.igc", "igc", NO_DATA, b"\r" * 5000
    yield "only-crs.csv", "logger", NO_DATA, b"\r" * 5000
    yield "ctrl-z-middle.igc", "igc", "loads", crlf(good_igc[:10]) + b"\x1a" + b"\xff\xfe garbage" + crlf(good_igc[10:])
    yield "ctrl-z-middle.csv", "logger", "loads", ng_file(5)[:-10] + b"\x1a" + b"\x00\x01 garbage"
    yield "text.csv", "logger", NO_DATA, crlf(["Hallo Welt;dies ist keine Aufzeichnung", "nur Text", "keine Zahl"])
    yield "placeholder-fixes.igc", "igc", NO_DATA, crlf(
        ["B1234210000000N00000000EV013710000000000", "B1234220000000S00000000WA013710000000000"])
    yield "nul-bytes.igc", "igc", NO_DATA, b"\x00" * 4096
    yield "nul-bytes.csv", "logger", NO_DATA, b"\x00" * 4096
    yield "nul-in-b-record.igc", "igc", None, crlf(good_igc[:2] + [good_igc[2][:9] + "\x00" + good_igc[2][10:]])
    yield "fixes-65537.igc", "igc", RANGE, crlf([b_record(i) for i in range(65537)])
    yield "samples-32769.csv", "logger", RANGE, ng_file(32769)
    yield "negative-period.csv", "logger", RANGE, ng_file(3, code=-51)
    yield "par-623.par", "par", PAST_EOF, bytes(range(256)) * 2 + bytes(111)
    yield "par-625.par", "par", "loads", bytes(624) + b"\x01"
    yield "garbage.par", "par", "loads", garbage[:624]
    yield "map-31.map", "vectormap", "loads", bytes(31)
    yield "empty.map", "vectormap", "loads", b""
    yield "garbage.bmp", "pixelmap", BAD_BITMAP, garbage
    yield "empty.bmp", "pixelmap", BAD_BITMAP, b""
    yield "lying-header.bmp", "pixelmap", BAD_BITMAP, bmp_header(400, 300, data=bytes(1000))
    # Run lengths that stop early: the rows never reached take the first palette colour.
    palette = b"".join(struct.pack("<BBBB", i, 255 - i, 7, 0) for i in range(256))
    yield "rle-cut-short.bmp", "pixelmap", "loads", bmp_header(64, 64, 8, bytes([4, 7, 4, 9]), 1, palette)
    too_large = "Die Bitmap ist zu groß: 100000 × 100000 Pixel (höchstens 256 Megapixel)"
    yield "huge-header.bmp", "pixelmap", too_large, bmp_header(100000, 100000)
    yield "huge-header.png", "pixelmap", too_large, png_header(100000, 100000)
    yield "map-too-many-records.map", "vectormap", RANGE, bytes(32 * 131073)

    good_gpx = [trkpt(i) for i in range(20)]
    yield "empty.gpx", "gpx", BAD_GPX, b""
    yield "garbage.gpx", "gpx", BAD_GPX, garbage
    yield "nul-bytes.gpx", "gpx", BAD_GPX, b"\x00" * 4096
    yield "igc-text.gpx", "gpx", BAD_GPX, crlf(good_igc)
    yield "cut-short.gpx", "gpx", BAD_GPX, gpx(good_gpx)[:-40]
    yield "lat-not-a-number.gpx", "gpx", BAD_GPX, gpx(good_gpx[:5] + [trkpt(5, lat="47,1")] + good_gpx[6:])
    yield "lat-out-of-range.gpx", "gpx", BAD_GPX, gpx(good_gpx[:5] + [trkpt(5, lat="-90.5")] + good_gpx[6:])
    yield "lon-missing.gpx", "gpx", BAD_GPX, gpx(good_gpx[:5] + ['<trkpt lat="47"></trkpt>'] + good_gpx[6:])
    yield "waypoints-only.gpx", "gpx", NO_DATA, gpx([]).replace(b"<trk>", b'<wpt lat="1" lon="2"/><trk>')
    yield "other-xml.gpx", "gpx", NO_DATA, b'<?xml version="1.0"?><kml><trkpt lat="1" lon="2"/></kml>'
    yield "points-65537.gpx", "gpx", RANGE, gpx(['<trkpt lat="47" lon="11"/>'] * 65537)
    yield "route-points-65537.gpx", "gpx", RANGE, gpx(['<rtept lat="47" lon="11"/>'] * 65537, kind="rte")
    # Entities that expand a thousandfold at each level stop at the reader's limit.
    laughs = "".join('<!ENTITY l%d "%s">' % (k, "&l%d;" % (k - 1) * 10 if k else "ha") for k in range(10))
    yield "entity-expansion.gpx", "gpx", BAD_GPX, ('<?xml version="1.0"?><!DOCTYPE gpx [%s]><gpx><trk><trkseg>'
                                                 '<trkpt lat="1" lon="2"><name>&l9;</name></trkpt></trkseg></trk>'
                                                 '</gpx>' % laughs).encode()
    # An external entity is never fetched.
    yield "external-entity.gpx", "gpx", "loads", ('<?xml version="1.0"?><!DOCTYPE gpx [<!ENTITY x SYSTEM '
                                                   '"file:///etc/passwd">]><gpx><trk><name>&x;</name><trkseg>'
                                                   '<trkpt lat="1" lon="2"/></trkseg></trk></gpx>').encode()
    # A long track, just above 256 KiB, whose fifth point from the end is bad.
    long_track = lambda n: gpx([trkpt(i) for i in range(n - 5)] + [trkpt(n - 5, lat="47,1")] +
                               [trkpt(i) for i in range(n - 4, n)])
    n = 5
    while len(long_track(n)) <= 256 * 1024:
        n += 1
    yield "long-track-bad-point-near-end.gpx", "gpx", BAD_GPX, long_track(n)
    yield "utf16.gpx", "gpx", "loads", gpx(good_gpx).decode("utf-8").replace(
        'encoding="UTF-8"', 'encoding="UTF-16"').encode("utf-16")
    # Elevation files of the wrong size or no elevation at all, and broken maps.
    yield "N48E011.hgt", "terrain", BAD_TERRAIN, b"\0" * 1000
    zipped = io.BytesIO()
    with zipfile.ZipFile(zipped, "w") as z:
        z.writestr(zipfile.ZipInfo("N48E012.hgt", date_time=(2024, 1, 1, 0, 0, 0)), b"\1" * 5000)
    yield "N48E012.hgt.zip", "terrain", BAD_TERRAIN, zipped.getvalue()
    yield "cut-N48E013.hgt.zip", "terrain", BAD_TERRAIN, zipped.getvalue()[:60]
    yield "hoehen.tif", "terrain", BAD_TERRAIN, b"II*\0" + b"\x08\0\0\0" + b"\xff" * 40
    yield "karte.mbtiles", "geomap", BAD_MAP, b"SQLite format 3\0" + b"\0" * 200
    yield "karte.tif", "geomap", BAD_MAP, b"MM\0*" + b"\0\0\0\x08" + b"\xff" * 40


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "tests", "bad-inputs")
    os.makedirs(out, exist_ok=True)
    rows = ["# file\treader\texpected (\"loads\", or the first line of the error box; \"-\": any error)"]
    for name, reader, expected, data in cases():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        rows.append("%s\t%s\t%s" % (name, reader, "-" if expected is None else expected))
    with open(os.path.join(out, "expected.tsv"), "w", encoding="utf-8") as f:
        f.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
