#!/usr/bin/env python3
"""Writes the sample files in examples/: an IGC track, a new-format and an
old-format logger file and a parameter file that converts the new-format
channels. Standard library only; the output is the same on every run.

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


README = """\
# Beispieldateien

- `rundflug.igc`: IGC-Flug eines Segelflugzeugs (Schlepp, Thermikkreise, Gleitflug zurück), ein Fix je Sekunde.
- `ng-flug.csv`: Logger-Datei im neuen Format (NG-Typ), 1 s je Zeile: Elektrosegler mit Motorsteigflug; Kanal ADC16 barometrischer Druck, Speed Staudruck, Drehzahl Motor (Zähler steht auf 65535, wenn der Motor steht), RC1…RC3 Knüppelstellungen.
- `alt-flug.csv`: Logger-Datei im alten Format (Breite; Länge; Anzahl Satelliten; Höhe in 0,13 m), alle 2 s.
- `default.par`: Parameter-Datei, die `ng-flug.csv` umrechnet (ADC16 „Baro“ als Höhe, Speed „Fahrt“, Drehzahl „Motor“).

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
    with open(os.path.join(out, "README.md"), "w", encoding="utf-8") as f:
        f.write(README)


if __name__ == "__main__":
    main()
