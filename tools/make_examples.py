#!/usr/bin/env python3
"""Writes the sample files in examples/: an IGC track, a new-format and an
old-format logger file, a parameter file that converts the new-format
channels, and a pixel map and a vector map of the airfield. Standard library only; the output is the same on every run.

    python3 tools/make_examples.py [output directory]
"""

import hashlib
import math
import os
import random
import struct
import sys

# The airfield: 48°07.038'N 11°34.567'E, 480 m above sea level.
FIELD_LAT = 48 + 7.038 / 60
FIELD_LON = 11 + 34.567 / 60
FIELD_ELEVATION = 480.0
METRES_PER_DEGREE = 111195.0

# Parameters of default.par for the new-format logger's sensors.
# Channel 0, barometric sensor: p = BARO_START - raw * BARO_COEFF (hPa), and
# BARO_OFFSET is the field's height in the program's atmosphere, so the
# converted height reads metres above the take-off point.
BARO_START = 1100.0
BARO_COEFF = 0.01
BARO_OFFSET = 500.0
# Conditions the program converts with: its default temperature of 25 °C.
TEMPERATURE = 25.0
# Channel 6, pitot pressure difference: d = raw - SPEED_OFFSET counts of
# SPEED_COEFF hPa each; v = sqrt(2 * d * SPEED_COEFF / 0.012555).
SPEED_OFFSET = 410.0
SPEED_COEFF = 0.0025
# Channel 7, motor rpm from the pulse period: two pulses per revolution; the
# period counter stops at 65535 while the motor stands.
RPM_PULSES = 2
RPM_CLOCK = 375093.77344336084
RPM_STOPPED = 65535


MAX_ACCELERATION = 3.0  # m/s per second


class Segment:
    """A stretch of flight: duration (s), air speed (m/s) at its end, turn rate
    (degrees per second, positive = right), climb rate (m/s). Headings are in
    degrees clockwise from north. `home` steers towards the take-off point."""

    def __init__(self, seconds, speed, turn=0.0, climb=0.0, home=False, phase=""):
        self.seconds, self.speed, self.turn, self.climb = seconds, speed, turn, climb
        self.home, self.phase = home, phase


def simulate(segments, heading, wind_east, wind_north, rng, climb_wobble):
    """One state per second: east, north, height above the field (metres),
    air speed, turn rate and the phase name."""
    east = north = height = 0.0
    speed = 0.0
    states = []
    t = 0
    for seg in segments:
        for _ in range(seg.seconds):
            speed += max(-MAX_ACCELERATION, min(MAX_ACCELERATION, seg.speed - speed))
            turn = seg.turn
            if seg.home:
                want = math.degrees(math.atan2(-east, -north)) % 360
                error = (want - heading + 540) % 360 - 180
                turn = max(-6.0, min(6.0, error * 0.3))
            heading = (heading + turn) % 360
            airborne = height > 0.5 or seg.climb > 0
            climb = seg.climb
            if airborne and seg.climb != 0 and climb_wobble:
                climb += climb_wobble * math.sin(t / 7.0) + rng.uniform(-0.2, 0.2)
            ve = speed * math.sin(math.radians(heading)) + (wind_east if airborne else 0)
            vn = speed * math.cos(math.radians(heading)) + (wind_north if airborne else 0)
            east += ve
            north += vn
            height = max(0.0, height + climb)
            states.append((east, north, height, speed, turn, seg.phase))
            t += 1
    return states


def to_lat_lon(east, north):
    lat = FIELD_LAT + north / METRES_PER_DEGREE
    lon = FIELD_LON + east / (METRES_PER_DEGREE * math.cos(math.radians(FIELD_LAT)))
    return lat, lon


def degrees_to_logger(value):
    """Decimal degrees to the integer DDMMmmm (DDDMMmmm), negative for S/W."""
    sign = -1 if value < 0 else 1
    value = abs(value)
    deg = int(value)
    thousandths = round((value - deg) * 60000)
    if thousandths == 60000:
        deg, thousandths = deg + 1, 0
    return sign * (deg * 100000 + thousandths)


def write_crlf(path, lines):
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("ascii"))


# --- IGC track of a glider: aerotow, thermal, glide home -------------------

def make_igc(path):
    rng = random.Random(1)
    segments = [
        Segment(10, 0.0, phase="ground"),
        Segment(12, 30.0, phase="roll"),
        Segment(28, 32.0, climb=2.5, phase="tow"),
        Segment(30, 32.0, turn=2.0, climb=2.8, phase="tow"),
        Segment(40, 32.0, climb=2.8, phase="tow"),
        Segment(95, 24.0, turn=-14.4, climb=1.8, phase="thermal"),
        Segment(85, 33.0, climb=-1.1, home=True, phase="glide"),
    ]
    states = simulate(segments, 250.0, 3.0, 0.5, rng, climb_wobble=0.6)
    qnh_offset = 25  # the pressure altitude reads this much above the GNSS height
    lines = [
        "AXTV001 TRELVANO BEISPIEL",
        "HFDTEDATE:150624,01",
        "HFPLTPILOTINCHARGE:Beispiel Pilot",
        "HFGTYGLIDERTYPE:Segelflugzeug",
        "HFGIDGLIDERID:D-0000",
        "HFDTMGPSDATUM:WGS84",
        "HFRFWFIRMWAREVERSION:1.0",
        "HFFTYFRTYPE:Beispiel-Logger",
        "HFALGALTGPS:GEO",
        "HFALPALTPRESSURE:ISA",
        "I013638FXA",
    ]
    start = 12 * 3600 + 30 * 60
    for t, (east, north, height, _, _, _) in enumerate(states):
        lat, lon = to_lat_lon(east + rng.gauss(0, 1.0), north + rng.gauss(0, 1.0))
        s = start + t
        clock = "%02d%02d%02d" % (s // 3600, s // 60 % 60, s % 60)
        lat_i, lon_i = degrees_to_logger(lat), degrees_to_logger(lon)
        pressure = round(FIELD_ELEVATION + height)
        gnss = round(FIELD_ELEVATION - qnh_offset + height + rng.gauss(0, 1.5))
        lines.append("B%s%07d%s%08d%sA%05d%05d%03d" % (
            clock, abs(lat_i), "N" if lat_i >= 0 else "S", abs(lon_i),
            "E" if lon_i >= 0 else "W", pressure, gnss, rng.randint(8, 25)))
    digest = hashlib.sha256("\n".join(lines).encode("ascii")).hexdigest().upper()
    lines += ["G" + digest[:32], "G" + digest[32:]]
    write_crlf(path, lines)


# --- New-format logger file of an electric model glider --------------------

def baro_raw(height, gps_relative):
    """Inverse of the program's height conversion: the raw count whose
    pressure converts to `height` metres above the take-off point while the
    flight point's altitude (the relative GPS height) is `gps_relative`."""
    t = (TEMPERATURE + 273 - 0.0065 * gps_relative) / 0.0065
    f = 1 - (height + BARO_OFFSET) / t
    pressure = 1013.25 * f ** (1 / 0.1902849)
    return round((BARO_START - pressure) / BARO_COEFF)


def speed_raw(airspeed):
    dk = airspeed * airspeed * 0.012555 / 2  # hPa
    return round(SPEED_OFFSET + dk / SPEED_COEFF)


def rpm_raw(rpm):
    if rpm <= 0:
        return RPM_STOPPED
    return min(RPM_STOPPED, round(RPM_CLOCK * 60 / (rpm * RPM_PULSES)))


def make_ng(path):
    rng = random.Random(2)
    segments = [
        Segment(5, 0.0, phase="ground"),
        Segment(60, 14.0, turn=0.0, climb=3.5, phase="motor"),
        Segment(125, 11.0, turn=-21.0, climb=1.2, phase="thermal"),
        Segment(35, 16.0, climb=-0.8, home=True, phase="glide"),
        Segment(20, 16.0, turn=4.0, climb=-0.8, phase="glide"),
        Segment(15, 28.0, climb=-5.0, phase="dive"),
        Segment(40, 17.0, climb=-0.6, home=True, phase="glide"),
    ]
    states = simulate(segments, 270.0, 2.0, -1.0, rng, climb_wobble=0.3)
    lines = ["4711;64;49;0;0;0;0;0",
             "ADC16;AD0;AD1;AD2;AD3;AD4;Speed;Drehzahl;RC1;RC2;RC3;Zusatz1;Zusatz2;Breite;Laenge;Hoehe"]
    gps_noise = 0.0
    gps0_dm = None
    for east, north, height, speed, turn, phase in states:
        lat, lon = to_lat_lon(east + rng.gauss(0, 0.8), north + rng.gauss(0, 0.8))
        gps_noise = max(-1.5, min(1.5, gps_noise * 0.8 + rng.gauss(0, 0.4)))
        gps_dm = round((FIELD_ELEVATION + height + gps_noise) * 10)
        if gps0_dm is None:
            gps0_dm = gps_dm
        gps_relative = (gps_dm - gps0_dm) * 0.1

        airspeed = speed + rng.uniform(-0.3, 0.3) if speed > 0 else 0.0
        motor = phase == "motor"
        rpm = 7200 + rng.uniform(-80, 80) if motor else 0
        throttle = 1880 if motor else 1100
        elevator = {"thermal": 1560, "dive": 1420}.get(phase, 1510)
        aileron = 1500 + round(turn * 6)
        channels = [baro_raw(height, gps_relative) + rng.randint(-1, 1),
                    0, 0, 0, 0, 0,
                    speed_raw(airspeed) + rng.randint(-3, 3),
                    rpm_raw(rpm),
                    throttle + rng.randint(-2, 2),
                    elevator + rng.randint(-6, 6),
                    aileron + rng.randint(-6, 6),
                    0, 0]
        lat_i, lon_i = degrees_to_logger(lat), degrees_to_logger(lon)
        lines.append(";".join(str(v) for v in channels + [lat_i, lon_i, gps_dm]))
    write_crlf(path, lines)


# --- Old-format logger file: position and altitude every 2 s ---------------

def make_old(path):
    rng = random.Random(3)
    segments = [
        Segment(6, 0.0, phase="ground"),
        Segment(70, 13.0, turn=1.5, climb=3.0, phase="motor"),
        Segment(160, 11.0, turn=20.0, climb=0.9, phase="thermal"),
        Segment(164, 15.0, climb=-0.9, home=True, phase="glide"),
    ]
    states = simulate(segments, 200.0, -1.5, 1.0, rng, climb_wobble=0.3)
    lines = []
    for east, north, height, _, _, _ in states[::2]:
        lat, lon = to_lat_lon(east + rng.gauss(0, 1.0), north + rng.gauss(0, 1.0))
        satellites = rng.randint(6, 9)
        altitude = round((FIELD_ELEVATION + height + rng.gauss(0, 0.8)) / 0.13)
        lines.append("%d;%d;%d;%d" % (degrees_to_logger(lat), degrees_to_logger(lon),
                                      satellites, altitude))
    write_crlf(path, lines)


# --- Parameter file: 13 rows of 48 bytes, little-endian --------------------

DEFAULT_NAMES = ["ADC16", "AD0", "AD1", "AD2", "AD3", "AD4", "Speed", "Frequenz",
                 "RC1", "RC2", "RC3", "Zusatz1", "Zusatz2"]


def param_row(name, offset=0.0, coeff=1.0, start=0.0, kind=0):
    raw = name.encode("latin-1")
    assert len(raw) <= 15
    return struct.pack("<ddB15sdi4s", offset, coeff, len(raw), raw, start, kind, bytes(4))


def make_par(path):
    rows = [param_row(n) for n in DEFAULT_NAMES]
    rows[0] = param_row("Baro", BARO_OFFSET, BARO_COEFF, BARO_START, 2)
    rows[6] = param_row("Fahrt", SPEED_OFFSET, SPEED_COEFF, 0.0, 3)
    rows[7] = param_row("Motor", 0.0, float(RPM_PULSES), 0.0, 4)
    image = b"".join(rows)
    assert len(image) == 624
    with open(path, "wb") as f:
        f.write(image)


# --- Maps around the take-off point of rundflug.igc -------------------------
#
# The program lays a pixel map on the 1000 m square around the origin point
# (X positive towards west, Y towards north, 108000 m per degree) and turns
# the vector map's latitudes and longitudes into the same frame around the
# flight's first point, so both are drawn here in that frame.

PROGRAM_METRES_PER_DEGREE = 108000.0
MAP_HALF_SIDE = 500.0     # metres from the origin to each edge of the pixel map
MAP_PIXELS = 250          # the picture's width and height: 4 m per pixel
RUNWAY_HEADING = 250.0    # the take-off direction of the glider, degrees from north
RUNWAY_CENTRE = 140.0     # metres from the take-off point along that direction


def first_fix(igc_path):
    """Latitude and longitude of the first B record, as the program reads them."""
    with open(igc_path, "rb") as f:
        for raw in f:
            line = raw.decode("ascii").strip()
            if line.startswith("B"):
                lat = int(line[7:9]) + int(line[9:14]) / 60000
                lon = int(line[15:18]) + int(line[18:23]) / 60000
                return (-lat if line[14] == "S" else lat), (-lon if line[23] == "W" else lon)
    raise ValueError("no fix in " + igc_path)


def along_runway(east, north):
    """Metres along the runway (towards RUNWAY_HEADING) and across it."""
    h = math.radians(RUNWAY_HEADING)
    return east * math.sin(h) + north * math.cos(h), east * math.cos(h) - north * math.sin(h)


def map_colour(east, north, field_colours):
    """Colour (r, g, b) of the ground at a point of the pixel map."""
    along, across = along_runway(east, north)
    along -= RUNWAY_CENTRE
    if abs(along) < 300 and abs(across) < 9:
        return (150, 150, 150)                              # asphalt runway
    if abs(along) < 360 and abs(across) < 35:
        return (120, 190, 90)                               # mown grass strip
    river = 320 + 45 * math.sin(north / 90.0)
    if abs(east - river) < 14:
        return (60, 110, 200)                               # river
    if abs(east - river) < 20:
        return (90, 140, 80)                                # its bank
    if abs((east + north) / math.sqrt(2) - 380) < 5:
        return (110, 100, 95)                               # road to the village
    if (east + 300) ** 2 / 1.8 + (north + 390) ** 2 < 110 ** 2:
        return (40, 90, 45)                                 # wood
    if east > 360 and north > 250 and (int(east) // 28 + int(north) // 28) % 3 == 0:
        return (170, 80, 60)                                # roofs of the village
    cell = (int((east + 1000) // 125), int((north + 1000) // 100))
    return field_colours[cell]                              # fields


def make_map_picture(path):
    """An 8-bit palette BMP of MAP_PIXELS², north at the top."""
    rng = random.Random(4)
    crops = [(150, 190, 80), (185, 200, 95), (205, 190, 110), (140, 170, 70),
             (170, 150, 95), (120, 165, 75), (215, 205, 130)]
    field_colours = {(i, j): rng.choice(crops) for i in range(17) for j in range(21)}
    palette, rows = [], []
    step = 2 * MAP_HALF_SIDE / MAP_PIXELS
    for py in range(MAP_PIXELS):
        row = bytearray()
        for px in range(MAP_PIXELS):
            east = -(MAP_HALF_SIDE - (px + 0.5) * step)
            north = MAP_HALF_SIDE - (py + 0.5) * step
            colour = map_colour(east, north, field_colours)
            if colour not in palette:
                palette.append(colour)
            row.append(palette.index(colour))
        row += bytes(-len(row) % 4)
        rows.append(bytes(row))
    assert len(palette) <= 256
    pixels = b"".join(reversed(rows))  # bottom-up
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, MAP_PIXELS, MAP_PIXELS, 1, 8, 0, len(pixels),
                       2835, 2835, len(palette), 0)
    with open(path, "wb") as f:
        f.write(header + info + table + pixels)


def bgr(r, g, b):
    return b << 16 | g << 8 | r


def polygon_records(points, colour, origin):
    """Records of one filled polygon through (east, north) metres around origin."""
    lat0, lon0 = origin
    records = []
    for k, (east, north) in enumerate(points):
        lat = lat0 + north / PROGRAM_METRES_PER_DEGREE
        lon = lon0 + east / (PROGRAM_METRES_PER_DEGREE * math.cos(math.radians(lat)))
        records.append(struct.pack("<dddii", lat, lon, 0.0, colour, 0 if k == 0 else 1))
    return records


def blob(east, north, radius_east, radius_north, rng, corners=36, wobble=0.15):
    return [(east + radius_east * (1 + rng.uniform(-wobble, wobble)) * math.cos(a),
             north + radius_north * (1 + rng.uniform(-wobble, wobble)) * math.sin(a))
            for a in (2 * math.pi * k / corners for k in range(corners))]


def rectangle(east, north, width, length, heading):
    """Corners of a width × length rectangle centred at (east, north), long side along heading."""
    h = math.radians(heading)
    ax, ay = math.sin(h) * length / 2, math.cos(h) * length / 2
    cx, cy = math.cos(h) * width / 2, -math.sin(h) * width / 2
    return [(east + ax + cx, north + ay + cy), (east + ax - cx, north + ay - cy),
            (east - ax - cx, north - ay - cy), (east - ax + cx, north - ay + cy)]


def make_vector_map(path, origin):
    """Polygons around the airfield: the lake and woods the flights pass over,
    the hangars beside the runway."""
    rng = random.Random(5)
    records = []
    records += polygon_records(blob(-1900, 350, 380, 230, rng, corners=48), bgr(70, 130, 210), origin)
    records += polygon_records(blob(-1200, 900, 500, 160, rng), bgr(35, 95, 50), origin)
    records += polygon_records(blob(-2600, -250, 260, 420, rng), bgr(35, 95, 50), origin)
    records += polygon_records(blob(700, -650, 300, 150, rng, corners=24), bgr(45, 105, 55), origin)
    h = math.radians(RUNWAY_HEADING)
    for k in range(3):
        # Hangars 60 m south of the runway's centre line, 40 m apart, near its eastern end.
        along, across = -60 + 40 * k, -60
        east = along * math.sin(h) + across * math.cos(h)
        north = along * math.cos(h) - across * math.sin(h)
        records += polygon_records(rectangle(east, north, 18, 30, RUNWAY_HEADING), bgr(190, 60, 50), origin)
    with open(path, "wb") as f:
        f.write(b"".join(records))


README = """\
# Beispieldateien

- `rundflug.igc`: IGC-Flug eines Segelflugzeugs (Schlepp, Thermikkreise, Gleitflug zurück), ein Fix je Sekunde.
- `ng-flug.csv`: Logger-Datei im neuen Format (NG-Typ), 1 s je Zeile: Elektrosegler mit Motorsteigflug; Kanal ADC16 barometrischer Druck, Speed Staudruck, Drehzahl Motor (Zähler steht auf 65535, wenn der Motor steht), RC1…RC3 Knüppelstellungen.
- `alt-flug.csv`: Logger-Datei im alten Format (Breite; Länge; Anzahl Satelliten; Höhe in 0,13 m), alle 2 s.
- `default.par`: Parameter-Datei, die `ng-flug.csv` umrechnet (ADC16 „Baro“ als Höhe, Speed „Fahrt“, Drehzahl „Motor“).
- `karte.bmp`: Pixel-Karte (250 × 250 Pixel, 8 Bit mit Palette) des Quadrats von 1000 m um den Startpunkt: Piste in Startrichtung 250°, Fluss, Wald, Dorf, Felder.
- `karte.map`: Vektor-Karte dazu: ein See und Wälder, über die die Flüge führen, und drei Hallen neben der Piste.

Erzeugt von `tools/make_examples.py`.
"""


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "examples")
    os.makedirs(out, exist_ok=True)
    make_igc(os.path.join(out, "rundflug.igc"))
    make_ng(os.path.join(out, "ng-flug.csv"))
    make_old(os.path.join(out, "alt-flug.csv"))
    make_par(os.path.join(out, "default.par"))
    make_map_picture(os.path.join(out, "karte.bmp"))
    make_vector_map(os.path.join(out, "karte.map"), first_fix(os.path.join(out, "rundflug.igc")))
    with open(os.path.join(out, "README.md"), "w", encoding="utf-8") as f:
        f.write(README)


if __name__ == "__main__":
    main()
