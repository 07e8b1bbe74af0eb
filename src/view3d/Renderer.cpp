#include "view3d/Renderer.h"

#include "model/Numbers.h"
#include "model/RunError.h"
#include "ui/Canvas.h"
#include "view3d/RenderPass.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Map cells and vector polygons with a corner farther than this outside the
// picture are skipped (pixels).
constexpr int kMapMargin = 1000;
constexpr int kMapColumns = 100;
constexpr int kMapRows = 100;
constexpr int kMaxPolygonVertices = 100;

bool withinMapMargin(const RenderPass& pass, QPoint p) {
  return p.x() >= -kMapMargin && p.x() <= pass.W + kMapMargin && p.y() >= -kMapMargin &&
         p.y() <= pass.H + kMapMargin;
}

// DDMMmmm (or DDDMMmmm) as degrees, minutes and whole seconds.
struct Dms {
  int64_t deg, min, sec;
};

Dms toDms(double raw) {
  const double a = std::fabs(raw);
  const int64_t whole = Trunc(a);
  Dms d{Trunc(a / 100000), (whole % 100000) / 1000, Round(double(whole % 1000) * 6 / 100)};
  // 0.992' and more round to 60''; carry them so the text never shows 60 seconds.
  if (d.sec == 60) {
    d.sec = 0;
    if (++d.min == 60) {
      d.min = 0;
      ++d.deg;
    }
  }
  return d;
}

QString dmsText(const Dms& d) {
  return QString::number(d.deg) + QStringLiteral("°") + QString::number(d.min) + QLatin1Char('\'') +
         QString::number(d.sec) + QStringLiteral("''");
}

// Every entry is a corner of up to four cells, so each is projected once; the
// screen points of two rows of entries are kept at a time.
void drawMapCells(RenderPass& pass, const PointArray& cells) {
  Canvas& canvas = pass.canvas;
  const FlightPoint* c = cells.data();
  struct Corner {
    QPoint at;
    bool near;  // within the margin
  };
  Corner rows[2][kMapColumns];
  Corner* upper = rows[0];
  Corner* lower = rows[1];
  auto project = [&pass](const FlightPoint* entries, Corner* out) {
    for (int k = 0; k < kMapColumns; ++k) {
      out[k].at = pass.ToScreen(entries[k]);
      out[k].near = withinMapMargin(pass, out[k].at);
    }
  };
  project(c, upper);
  QPoint corners[4];
  for (int r = 0; r < kMapRows - 1; ++r) {
    project(c + (r + 1) * kMapColumns, lower);
    // The last column has no right neighbour: it only closes the cells before it.
    for (int col = 0; col < kMapColumns - 1; ++col) {
      const int32_t colour = c[r * kMapColumns + col].Color;
      canvas.setBrushColor(colour);
      canvas.setPenColor(colour);
      if (!(upper[col].near && lower[col].near && lower[col + 1].near && upper[col + 1].near)) continue;
      corners[0] = upper[col].at;
      corners[1] = lower[col].at;
      corners[2] = lower[col + 1].at;
      corners[3] = upper[col + 1].at;
      canvas.polygon(corners, 4);
    }
    std::swap(upper, lower);
  }
  canvas.setBrushColor(colours::kWhite);
}

// Each stroke is cut into polygons of at most 100 vertices, filled in the
// colour of their last vertex; a polygon with a vertex beyond the margin is skipped.
void drawVectorMap(RenderPass& pass, const PointArray& map, int32_t last) {
  if (last < 0) return;
  checkIndex(last, kPointCapacity);
  Canvas& canvas = pass.canvas;
  const FlightPoint* v = map.data();
  QPoint polyBuffer[kMaxPolygonVertices + 1];
  int count = 0;
  bool tooFar = false;
  for (int32_t i = 0; i <= last; ++i) {
    polyBuffer[count] = pass.ToScreen(v[i]);
    if (!withinMapMargin(pass, polyBuffer[count])) tooFar = true;
    ++count;
    if (i == last || v[i + 1].Pen == kPenMove || count == kMaxPolygonVertices) {
      canvas.setBrushColor(v[i].Color);
      canvas.setPenColor(v[i].Color);
      if (!tooFar) canvas.polygon(polyBuffer, count);
      tooFar = false;
      count = 0;
    }
  }
}

}  // namespace

QString startCoordinatesText(double startLatRaw, double startLonRaw, double startAltitude) {
  return QStringLiteral("Startpunkt: Breite: ") + (startLatRaw > 0 ? QStringLiteral("N ") : QStringLiteral("S ")) +
         dmsText(toDms(startLatRaw)) + QStringLiteral("   Länge: ") +
         (startLonRaw > 0 ? QStringLiteral("E ") : QStringLiteral("W ")) + dmsText(toDms(startLonRaw)) +
         QStringLiteral("   Höhe: ") + QString::number(Round(startAltitude)) + QStringLiteral("m");
}

namespace {

// Layers 9 … 11: the flight path, the "Flugweg" line, the start coordinates.
void drawFlightAndAbove(RenderPass& pass, Canvas& canvas, const FlightData& data, const Layers& layers,
                        const Camera& cam) {
  // 9: the flight, thick while the camera is near its home distance.
  if (layers.Flugbahn) {
    canvas.setPenWidth(std::fabs(cam.CamY - 2000) < 3000 ? 2 : 1);
    pass.DrawPointArray(data.FlightPath, data.RangeStart, data.RangeEnd);
  }
  canvas.setPenWidth(1);

  // 10: the red line from the first shown point to the cursor.
  if (layers.Flugweg) {
    canvas.setPenColor(colours::kRed);
    pass.PenMoveTo(pass.ToScreen(data.FlightPath[data.RangeStart]));
    pass.ClippedLineTo(pass.ToScreen(data.FlightPath[data.CursorPoint]));
  }

  // 11: the start coordinates on a white background.
  canvas.setBrushColor(colours::kWhite);
  canvas.setPenColor(colours::kBlack);
  if (layers.Startkoordinaten)
    canvas.textOut(10, pass.H - 20,
                   startCoordinatesText(data.StartLatRaw, data.StartLonRaw, data.StartAltitude));
}

void ensureRgb32(QImage& image) {
  if (!image.isNull() && image.format() != QImage::Format_RGB32)
    image = image.convertToFormat(QImage::Format_RGB32);
}

// Copies `from` into `to`, reusing the pixels of `to` when the size fits.
void copyPicture(const QImage& from, QImage& to) {
  if (to.size() != from.size() || to.format() != from.format()) to = QImage(from.size(), from.format());
  if (!from.isNull()) std::memcpy(to.bits(), from.constBits(), static_cast<size_t>(from.sizeInBytes()));
}

}  // namespace

void DDDGraf(const FlightData& data, const Layers& layers, const Camera& cam, QImage& backBuffer,
             bool& outOfView, Underlay* keep) {
  ensureRgb32(backBuffer);
  Canvas canvas(backBuffer);
  canvas.setPenWidth(1);

  // 1: background.
  canvas.setPenColor(colours::kWhite);
  canvas.setBrushColor(colours::kBackground);
  canvas.fillRect(0, 0, canvas.width(), canvas.height());
  RenderPass pass(canvas, outOfView);

  // 2, 3: the maps.
  if (layers.Karte && !data.MapDragMode) drawMapCells(pass, data.MapCells);
  if (layers.VectorKarte) drawVectorMap(pass, data.VectorMap, data.VectorMapLast);

  // 4 - 6: scene furniture.
  if (layers.Gitter) pass.DrawPointArray(data.GridPoints, 0, data.GridLast);
  if (layers.NordPfeil) pass.DrawPointArray(data.ArrowPoints, 0, data.ArrowLast);
  if (layers.Karte && data.MapDragMode) pass.DrawPointArray(data.MapFrame, 0, data.MapFrameLast);

  // 7: plumb lines of the shown section; entry 2·RangeStart + 1 is the lower
  // end of the first point's line, a move, so that line itself is left out.
  if (layers.Lot)
    pass.DrawPointArray(data.PlumbLines, checkedAdd(checkedMul(2, data.RangeStart), 1),
                        checkedAdd(checkedMul(2, data.RangeEnd), 1));

  // 8: the shadow of the whole flight.
  if (layers.Schatten) pass.DrawPointArray(data.ShadowPath, 0, data.LastPoint);

  if (keep) {
    canvas.flush();
    copyPicture(backBuffer, keep->picture);
    keep->outOfView = outOfView;
  }
  drawFlightAndAbove(pass, canvas, data, layers, cam);
}

void DDDGrafOnUnderlay(const FlightData& data, const Layers& layers, const Camera& cam, const Underlay& underlay,
                       QImage& backBuffer, bool& outOfView) {
  copyPicture(underlay.picture, backBuffer);
  outOfView = underlay.outOfView;
  Canvas canvas(backBuffer);
  RenderPass pass(canvas, outOfView);
  drawFlightAndAbove(pass, canvas, data, layers, cam);
}
