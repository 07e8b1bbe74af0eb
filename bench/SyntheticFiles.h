#pragma once
// Files of the largest flights the tables hold, as recorders and GPS units
// write them, for the load and open benchmarks.

#include "SyntheticFlight.h"
#include "import/Coordinates.h"
#include "import/LocalFrame.h"

#include <QByteArray>

#include <cstdio>

namespace trelvano {

constexpr int kIgcFixes = 65536;
constexpr int kLoggerSamples = 32768;

// A recorder's file: header lines, then one B record a second with FXA and SIU
// extensions (39 characters), CR LF.
inline QByteArray syntheticIgc() {
  QByteArray text = "AXXX001 synthetic\r\nHFDTE150423\r\nHFPLTPILOT:Test\r\nI023638FXA3940SIU\r\n";
  char line[64];
  for (int i = 0; i < kIgcFixes; ++i) {
    const int t = 30000 + i;
    const int lat = 4700000 + (i * 7) % 60000;
    const int lon = 1100000 + (i * 11) % 90000;
    std::snprintf(line, sizeof line, "B%02d%02d%02d%07dN%08dEA%05d%05d%03d%02d\r\n", t / 3600 % 24, t / 60 % 60, t % 60,
                  lat, lon, 400 + i % 1500, 450 + i % 1500, 12, 9);
    text += line;
  }
  return text;
}

// The flight of syntheticIgc as a GPS unit writes it: a trkpt per fix with
// degrees, ele and time.
inline QByteArray syntheticGpx() {
  QByteArray text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>synthetic</name><trkseg>\n";
  char line[160];
  for (int i = 0; i < kIgcFixes; ++i) {
    const int t = 30000 + i;
    const double lat = loggerDegrees(4700000 + (i * 7) % 60000);
    const double lon = loggerDegrees(1100000 + (i * 11) % 90000);
    std::snprintf(line, sizeof line,
                  "<trkpt lat=\"%.9f\" lon=\"%.9f\"><ele>%d</ele><time>2023-04-%02dT%02d:%02d:%02dZ</time></trkpt>\n",
                  lat, lon, 400 + i % 1500, 15 + t / 86400, t / 3600 % 24, t / 60 % 60, t % 60);
    text += line;
  }
  return text + "</trkseg></trk>\n</gpx>\n";
}

// A new-format logger file with GPS columns: 13 channels, latitude, longitude, GPS altitude.
inline QByteArray syntheticLogger() {
  QByteArray text = "1;64;4;0;0;0\r\nheader\r\n";
  char line[160];
  for (int i = 0; i < kLoggerSamples; ++i) {
    std::snprintf(line, sizeof line, "%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d\r\n", 32000 + i % 500,
                  512 + i % 300, 600, 700 + i % 50, 800, 900, 1000 + i % 80, 2200 + i % 900, 1500, 1520 + i % 40, 1480,
                  0, 0, 4700000 + (i * 7) % 60000, 1100000 + (i * 11) % 90000, 5000 + i % 3000);
    text += line;
  }
  return text;
}

// The model glider flight of the redraw benchmarks as a GPS unit writes it:
// 60000 points a second apart, within a few kilometres of the start.
inline QByteArray gliderGpx() {
  constexpr int kPoints = 60000;
  const FlightDataPtr flight = makeSyntheticFlight(kModelGlider, kPoints);
  QByteArray text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>glider</name><trkseg>\n";
  char line[160];
  for (int i = 0; i < kPoints; ++i) {
    const FlightPoint& p = flight->FlightPath[i];
    const double lat = 47.1 + p.Y / kMetresPerDegree;
    const double lon = 11.5 - p.X / (kMetresPerDegree * latitudeCosine(lat));
    const int t = 36000 + i;
    std::snprintf(line, sizeof line,
                  "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele><time>2023-06-%02dT%02d:%02d:%02dZ</time></trkpt>\n",
                  lat, lon, 500 + p.Z, 1 + t / 86400, t / 3600 % 24, t / 60 % 60, t % 60);
    text += line;
  }
  return text + "</trkseg></trk>\n</gpx>\n";
}

}  // namespace trelvano
