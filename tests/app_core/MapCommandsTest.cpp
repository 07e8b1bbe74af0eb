// "Pixel-Karte laden" and "Vektor-Karte laden" as the menu runs them, with
// pixel checks of the picture looked at from straight above.
#include "app/core/MainController.h"
#include "common/VectorMapBytes.h"
#include "common/ScriptedDialogs.h"
#include "common/TestPaths.h"
#include "model/RunError.h"
#include "canvas/Canvas.h"
#include "view3d/RenderPass.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace map_commands_test {

using namespace trelvano;

namespace {

int pixelsOf(const QImage& picture, int32_t colour) {
  int n = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) n += fromRgb32(picture.pixel(x, y)) == colour;
  return n;
}

QString example(const char* name) { return sourcePath(QStringLiteral("examples/") + QLatin1String(name)); }

struct Program {
  ScriptedDialogs dialogs;
  MainController core{dialogs};
  QTemporaryDir dir;

  // Looking straight down on the origin from the home distance, the maps alone.
  void lookDown() {
    core.view.cam = Camera{};
    core.view.cam.CamE = 90;
    Layers& l = core.view.layers;
    l.Gitter = l.NordPfeil = l.Startkoordinaten = false;
    core.view.Grafikupdate();
  }
  // The drawn colour at the middle of the projected points.
  int32_t colourAmid(std::initializer_list<const FlightPoint*> points) {
    Canvas canvas(core.view.BackBuffer);
    bool outOfView = false;
    RenderPass pass(canvas, outOfView);
    int x = 0, y = 0;
    for (const FlightPoint* p : points) {
      x += pass.ToScreen(*p).x();
      y += pass.ToScreen(*p).y();
    }
    const int n = static_cast<int>(points.size());
    return canvas.pixel(x / n, y / n);
  }
  int32_t cellColourShown(int i) {
    const PointArray& c = core.data.MapCells;
    return colourAmid({&c[i], &c[i + 100], &c[i + 101], &c[i + 1]});
  }
  QString file(const char* name, const QByteArray& bytes) {
    return writeBytes(dir.filePath(QLatin1String(name)), bytes);
  }
  std::optional<RunError> errorOf(void (MainController::*command)(), const QString& path) {
    dialogs.answers = {path};
    try {
      (core.*command)();
    } catch (const RunError& e) {
      return e;
    }
    ADD_FAILURE() << "no error";
    return std::nullopt;
  }
};

}  // namespace

TEST(PixelMapCommand, LaysThePictureOnTheSquareAroundTheOrigin) {
  Program p;
  p.core.data.MouseDragBlocked = false;
  p.dialogs.answers = {example("karte.bmp")};
  p.core.openPixelMap();
  ASSERT_EQ(p.dialogs.calls.size(), 1u);
  EXPECT_TRUE(p.dialogs.calls[0].filter.startsWith(QStringLiteral("*.bmp;;")));
  EXPECT_EQ(p.dialogs.calls[0].title, QStringLiteral("Karten-Bitmap laden"));
  EXPECT_EQ(p.dialogs.calls[0].initialName, QStringLiteral("*.bmp"));
  EXPECT_TRUE(p.core.view.layers.KarteVisible);
  EXPECT_TRUE(p.core.view.layers.Karte);
  EXPECT_TRUE(p.core.data.MouseDragBlocked);

  // Every cell in the picture shows its colour, the fast sampling of the picture's 2.5 pixels per cell.
  p.lookDown();
  const QImage map(example("karte.bmp"));
  int checked = 0;
  for (int r = 0; r < 99; ++r)
    for (int c = 0; c < 99; ++c) {
      const int i = r * 100 + c;
      const QPoint centre(static_cast<int>(Round(2.5 * (c + 0.5))), static_cast<int>(Round(2.5 * (r + 0.5))));
      ASSERT_EQ(p.core.data.MapCells[i].Color, fromRgb32(map.pixel(centre))) << r << "," << c;
      const int32_t shown = p.cellColourShown(i);
      if (shown < 0) continue;  // outside the picture
      ASSERT_EQ(shown, p.core.data.MapCells[i].Color) << r << "," << c;
      ++checked;
    }
  EXPECT_GT(checked, 5000);
}

TEST(PixelMapCommand, TheOutlineStandsInForTheCellsWhileDraggingWithTheOptionOn) {
  Program p;
  p.core.openPixelMap(example("karte.bmp"));
  p.lookDown();
  const int32_t centre = p.cellColourShown(5050);
  for (bool hide : {true, false}) {
    p.core.data.HideMapWhileDragging = hide;
    p.core.view.pressMouse(100, 100);
    p.core.view.dragMouse(true, false, 100, 101);
    EXPECT_EQ(p.core.data.MapDragMode, hide);
    EXPECT_EQ(p.cellColourShown(5050), hide ? colours::kBackground : centre) << hide;
    EXPECT_EQ(pixelsOf(p.core.view.BackBuffer, colours::kRed) > 600, hide)
        << hide;  // the red outline, 400 pixels a side
    p.core.view.releaseMouse();
    EXPECT_EQ(p.cellColourShown(5050), centre) << hide;
  }
}

TEST(PixelMapCommand, CancelledUnopenedAndFailedLoadsChangeNothing) {
  Program p;
  p.core.openPixelMap();  // cancelled
  EXPECT_FALSE(p.core.view.layers.KarteVisible);
  EXPECT_EQ(p.core.openPixelMap(p.dir.filePath(QStringLiteral("missing.bmp"))), LoadStatus::Unopened);
  EXPECT_EQ(p.core.openPixelMap(p.dir.path()), LoadStatus::Unopened);

  p.core.openPixelMap(example("karte.bmp"));
  p.core.view.toggleLayer(&Layers::Karte);  // switched off by the user
  p.core.data.MouseDragBlocked = false;
  const std::vector<FlightPoint> cells(p.core.data.MapCells.data(), p.core.data.MapCells.data() + 10000);
  const auto e = p.errorOf(&MainController::openPixelMap, p.file("kaputt.bmp", "BM kein Bild"));
  ASSERT_TRUE(e);
  EXPECT_EQ(e->boxText().toStdString(), "Bitmap ist ungültig\nDatei kaputt.bmp");
  EXPECT_TRUE(p.core.view.layers.KarteVisible);
  EXPECT_FALSE(p.core.view.layers.Karte);
  EXPECT_FALSE(p.core.data.MouseDragBlocked);
  EXPECT_EQ(std::memcmp(cells.data(), p.core.data.MapCells.data(), cells.size() * sizeof(FlightPoint)), 0);
}

TEST(VectorMapCommand, StrokesAreFilledInPolygonsOfAtMostHundredPoints) {
  // Three squares 60 m wide around flight point 0 (at 0° 0'): 250 records, all continuing (Pen 1).
  const double m = 1 / 108000.0;  // degrees per metre at the equator
  auto squares = [&](int32_t pen) {
    std::vector<VectorRecord> rs;
    for (int k = 0; k < 250; ++k) {
      const int polygon = k / 100, corner = (k % 100) * 4 / (polygon == 2 ? 50 : 100);
      const double east = -150 + 150 * polygon + (corner == 1 || corner == 2 ? 30 : -30);
      const double north = corner >= 2 ? 30 : -30;
      rs.push_back({north * m, east * m, 0, 0x00808080, pen});
    }
    rs[99].color = colours::kRed;
    rs[199].color = colours::kGreen;
    rs[249].color = colours::kBlue;
    return vectorMapBytes(rs);
  };
  Program p;
  p.lookDown();
  const QImage empty = p.core.view.BackBuffer.copy();

  p.core.openVectorMap(p.file("quadrate.map", squares(1)));
  ASSERT_EQ(p.core.data.VectorMapLast, 249);
  const FlightPoint* v = p.core.data.VectorMap.data();
  EXPECT_EQ(p.colourAmid({&v[0], &v[50]}), colours::kRed);  // west: records 0 … 99
  EXPECT_EQ(p.colourAmid({&v[100], &v[150]}), colours::kGreen);
  EXPECT_EQ(p.colourAmid({&v[200], &v[225]}), colours::kBlue);  // east: the last 50

  // All Pen 0: one-point polygons, nothing drawn. An empty file: the layer on, nothing drawn.
  for (const QByteArray& nothing : {squares(0), QByteArray()}) {
    p.core.openVectorMap(p.file("leer.map", nothing));
    EXPECT_TRUE(p.core.view.layers.VectorKarte);
    EXPECT_EQ(p.core.view.BackBuffer, empty);
  }
  EXPECT_EQ(p.core.data.VectorMapLast, -1);
}

TEST(VectorMapCommand, AFailedLoadOrReadKeepsTheMapAndItsLayerState) {
  Program p;
  p.dialogs.answers = {example("karte.map")};
  p.core.openVectorMap();
  ASSERT_EQ(p.dialogs.calls.size(), 1u);
  EXPECT_EQ(p.dialogs.calls[0].filter, QStringLiteral("*.map"));
  EXPECT_EQ(p.dialogs.calls[0].title, QStringLiteral("Vektor-Karte laden"));
  EXPECT_EQ(p.dialogs.calls[0].initialName, QStringLiteral("*.map"));
  EXPECT_TRUE(p.core.view.layers.VectorKarteVisible);
  p.core.view.toggleLayer(&Layers::VectorKarte);  // switched off by the user
  const FlightPoint first = p.core.data.VectorMap[0];
  const auto e =
      p.errorOf(&MainController::openVectorMap, p.file("gross.map", QByteArray((kPointCapacity + 1) * 32, '\0')));
  ASSERT_TRUE(e);
  EXPECT_EQ(e->boxText().toStdString(), "Fehler bei Bereichsprüfung\nDatei gross.map");
  // Reading this process's memory from address 0 opens fine and then fails.
  const auto io = p.errorOf(&MainController::openVectorMap, QStringLiteral("/proc/self/mem"));
  ASSERT_TRUE(io);
  EXPECT_EQ(io->text().toStdString(), "E/A-Fehler 5");
  EXPECT_EQ(p.core.data.VectorMapLast, 155);
  EXPECT_FALSE(p.core.view.layers.VectorKarte);
  EXPECT_EQ(std::memcmp(&first, &p.core.data.VectorMap[0], sizeof first), 0);
}

TEST(MapsByName, PicturesAndMapFilesOpenWithTheirMapCommands) {
  Program p;
  const QString upper = p.file("KARTE.PNG", readBytes(example("karte.bmp")));  // a bitmap behind another suffix
  EXPECT_EQ(p.core.openByName(upper), LoadStatus::Loaded);
  EXPECT_TRUE(p.core.view.layers.Karte);
  EXPECT_EQ(p.core.openByName(example("karte.map")), LoadStatus::Loaded);
  EXPECT_EQ(p.core.data.VectorMapLast, 155);
  EXPECT_EQ(p.core.openByName(example("rundflug.igc")), LoadStatus::Loaded);
  EXPECT_TRUE(p.core.view.layers.Karte && p.core.view.layers.VectorKarte);  // a flight leaves the maps
}

}  // namespace map_commands_test
