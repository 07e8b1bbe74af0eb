// Whole redraws of the benchmark flights from 64 camera views, held to
// reference pictures by checksum. The table in tests/data/redraw-checksums.txt
// was written once by the single-threaded renderer of commit 2eb0cf7, running
// this test with TRELVANO_WRITE_REDRAW_CHECKSUMS=<file>; any change of a pixel
// or of OutOfView shows up as a changed line. Under the address sanitizer,
// which draws ten times slower, a quarter of the views is drawn.
#include "../../bench/SyntheticFlight.h"
#include "common/TestPaths.h"
#include "view3d/View3D.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTextStream>
#include <cstdint>
#include <map>
#include <string>

namespace redraw_checksum_test {

using namespace trelvano;

namespace {

#ifdef __SANITIZE_ADDRESS__
constexpr int kViewStep = 4;
#else
constexpr int kViewStep = 1;
#endif

uint64_t fnv1a(const QImage& img) {
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < img.height(); ++y) {
    const uchar* row = img.constScanLine(y);
    for (int i = 0; i < img.width() * 4; ++i) h = (h ^ row[i]) * 1099511628211ull;
  }
  return h;
}

// The camera of view i: eight azimuths × eight distances, elevations mixed in.
// Distances: home, zoomed out three times, near, the wheel's nearest, the eye
// at the plane of the start (half the flight behind it), a short eye distance.
void placeView(View3D& view, int i) {
  static constexpr double kAzimuth[] = {0, 33.5, 90, 147, 180, 222.25, 270, 318};
  static constexpr double kElevation[] = {20, 0, 45, 90, 5, 70, -15, 89.5};
  Camera& c = view.cam;
  view.resetCamera();
  c.CamA = kAzimuth[i % 8];
  c.CamE = kElevation[(i * 3 + i / 8) % 8];
  c.CamX = (i % 5 - 2) * 150.0;
  switch (i / 8) {
    case 0: break;
    case 1: c.CamY = -5000; break;
    case 2: c.CamY = -20000; break;
    case 3: c.CamY = -55000; break;
    case 4: c.CamY = 1500; break;
    case 5: view.zoomByWheel(40); break;
    case 6: c.CamY = c.CamD; break;
    default: c.CamD = 500, c.CamY = 400, c.CamZ = -200; break;
  }
  view.layers.Flugweg = i % 4 == 3;
  view.Grafikupdate();
}

struct Flight {
  const char* name;
  FlightDataPtr data;
  bool map;
};

class RedrawChecksums : public ::testing::Test {
 protected:
  std::map<std::string, std::string> seen;  // name -> "checksum outOfView"

  void drawFullSize();
  void compareWithTable();

  void draw(const std::string& name, FlightData& d, bool map, int w, int h, int view) {
    View3D v(d, w, h);
    v.layers.Karte = v.layers.KarteVisible = map;
    if (view >= 0) {
      placeView(v, view);
    } else {  // the benchmark's own views: home, then zoomed out until the flight fits
      v.resetCamera();
      if (view == -2) v.Autozoom();
    }
    seen[name] = QString::number(fnv1a(v.BackBuffer), 16).toStdString() + (v.OutOfView ? " 1" : " 0");
  }
};

TEST_F(RedrawChecksums, MatchTheReferencePictures) {
  Flight flights[] = {{"model", makeSyntheticFlight(kModelGlider, 8192), false},
                      {"high", makeSyntheticFlight(kHighFlight, 8192), false},
                      {"map", makeSyntheticFlight(kModelGlider, 8192), true}};
  addCheckerMap(*flights[2].data);
  for (Flight& f : flights)
    for (int i = 0; i < 64; i += kViewStep) {
      draw(std::string(f.name) + "-650x400-" + std::to_string(i), *f.data, f.map, 650, 400, i);
      if (!f.map) draw(std::string(f.name) + "-1600x1000-" + std::to_string(i), *f.data, false, 1600, 1000, i);
    }
  if (kViewStep == 1) drawFullSize();
  compareWithTable();
}

// The full-size flights at the benchmark's views and sizes.
void RedrawChecksums::drawFullSize() {
  Flight full[] = {{"full-model", makeSyntheticFlight(kModelGlider), false},
                   {"full-high", makeSyntheticFlight(kHighFlight), false}};
  for (Flight& f : full)
    for (const auto& [w, h] : {std::pair{650, 400}, std::pair{1600, 1000}})
      for (int view : {-1, -2})
        draw(std::string(f.name) + "-" + std::to_string(w) + "x" + std::to_string(h) + (view == -2 ? "-out" : "-home"),
             *f.data, false, w, h, view);
  addCheckerMap(*full[0].data);
  draw("full-map-1600x1000", *full[0].data, true, 1600, 1000, -1);
}

void RedrawChecksums::compareWithTable() {
  QString table;
  for (const auto& [name, sum] : seen) table += QString::fromStdString(name + " " + sum + "\n");
  if (const QByteArray out = qgetenv("TRELVANO_WRITE_REDRAW_CHECKSUMS"); !out.isEmpty()) {
    writeBytes(QString::fromLocal8Bit(out), table.toUtf8());
    GTEST_SKIP() << "reference table written";
  }
  std::map<std::string, std::string> want;
  for (const QString& line : QString::fromUtf8(readBytes(dataPath("redraw-checksums.txt"))).split('\n'))
    if (const qsizetype space = line.indexOf(' '); space > 0)
      want[line.left(space).toStdString()] = line.mid(space + 1).toStdString();
  if (kViewStep == 1) {
    EXPECT_EQ(seen.size(), want.size());
  }
  for (const auto& [name, sum] : seen) EXPECT_EQ(sum, want[name]) << name;
}

}  // namespace

}  // namespace redraw_checksum_test
