#include "view3d/AnalysisMarks.h"

#include "import/FlightFrame.h"
#include "model/Numbers.h"
#include "view3d/Heights.h"
#include "view3d/LabelBoard.h"
#include "view3d/RenderPass.h"
#include "view3d/Transform.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace trelvano {

namespace {

struct Projector {
  Projection projection;
  FrameOrigin origin;
  RenderPass& pass;

  // The screen position of a place in the flight's local frame, or none behind the eye.
  std::optional<QPoint> screen(double x, double y, double z) const {
    FlightPoint at{};
    if (!(projection(at, x, y, z) > 0)) return std::nullopt;
    return pass.ToScreen(at.ProjX, at.ProjY);
  }
  std::optional<QPoint> place(double lat, double lon, double z) const {
    return screen(frameX(lat, lon, origin), frameY(lat, origin), z);
  }
};

QString climbText(double climb) {
  return QString::number(climb, 'f', 1).replace(QLatin1Char('.'), decimalSeparator()) + QStringLiteral(" m/s");
}

QString eventText(const FlightEvent& e) {
  const long long sec = std::llround(std::max(0.0, e.time));
  return e.code + QStringLiteral(" %1:%2:%3")
                      .arg(sec / 3600)
                      .arg(sec / 60 % 60, 2, 10, QLatin1Char('0'))
                      .arg(sec % 60, 2, 10, QLatin1Char('0'));
}

enum class MarkShape { Square, Triangle };

// A marker in the picture and the label that goes beside it.
struct Mark {
  QPoint at;
  MarkShape shape;
  int32_t fill;    // the marker's inside
  int32_t colour;  // its outline and its label's text
  QString text;
  double strength;  // which label goes first among its kind: the larger
};

QRect markerBox(const Mark& m) {
  return m.shape == MarkShape::Square ? QRect(m.at.x() - 3, m.at.y() - 3, 7, 7)
                                      : QRect(m.at.x() - 5, m.at.y() - 6, 11, 10);
}

void drawMarker(Canvas& canvas, const Mark& m) {
  canvas.setBrushColor(m.fill);
  canvas.setPenColor(m.colour);
  if (m.shape == MarkShape::Square) {
    canvas.fillRect(m.at.x() - 3, m.at.y() - 3, m.at.x() + 4, m.at.y() + 4);
  } else {
    const QPoint triangle[3] = {{m.at.x(), m.at.y() - 6}, {m.at.x() - 5, m.at.y() + 3}, {m.at.x() + 5, m.at.y() + 3}};
    canvas.polygon(triangle, 3);
  }
}

}  // namespace

void drawAnalysisMarks(Canvas& canvas, const FlightData& data, const Layers& layers, const Camera& cam,
                       LabelBoard& labels) {
  const bool phases = data.OverlayMode == 7 && data.Analysis.valid;  // 7: the overlay "Flugphasen"
  if ((data.Igc.task.empty() && !phases) || data.LastPoint < 0) return;
  const FrameOrigin origin = flightOrigin(data);
  if (!std::isfinite(origin.lon)) return;  // a flight at a pole has no frame to place marks in
  bool out = false;
  RenderPass pass(canvas, out);
  const Projector project{Projection(buildViewMatrix(cam)), origin, pass};
  const HeightRule heights = heightRule(data, layers);
  // Every marker is drawn and kept clear before any label is placed; the
  // labels then go by importance: the task's names, the events, the
  // thermals from the strongest down.
  std::vector<Mark> marks;
  canvas.setPenWidth(2);
  canvas.setPenColor(kTaskColour);
  // A leg is drawn in pieces of about kLegPiece metres, each end on the
  // ground, so that it follows the terrain where the terrain is shown.
  constexpr double kLegPiece = 250;
  constexpr int kMostPieces = 400;
  std::optional<QPointF> previous;  // the last turnpoint, in the frame
  for (const TaskPoint& t : data.Igc.task) {
    if (t.placeholder) continue;
    const QPointF at(frameX(t.lat, t.lon, origin), frameY(t.lat, origin));
    if (previous) {
      const QPointF step = at - *previous;
      const int pieces = std::clamp(int(std::hypot(step.x(), step.y()) / kLegPiece), 1, kMostPieces);
      std::optional<QPoint> from;
      for (int k = 0; k <= pieces; ++k) {
        const QPointF p = *previous + step * (double(k) / pieces);
        const std::optional<QPoint> s =
            project.screen(p.x(), p.y(), heights.drawnZ(HeightKind::Ground, 0, p.x(), p.y(), 0.0));
        if (s && from) {
          pass.PenMoveTo(*from);
          pass.ClippedLineTo(*s);
        }
        from = s;
      }
    }
    const std::optional<QPoint> s =
        project.screen(at.x(), at.y(), heights.drawnZ(HeightKind::Ground, 0, at.x(), at.y(), 0.0));
    if (s && pass.inside(s->x(), s->y()))
      marks.push_back({*s, MarkShape::Square, colours::kWhite, kTaskColour, t.name, 0});
    previous = at;
  }
  canvas.setPenWidth(1);
  if (phases) {
    for (const FlightEvent& e : data.Igc.events) {
      if (e.point < 0 || e.point > data.LastPoint) continue;
      const FlightPoint& p = data.FlightPath[e.point];
      const std::optional<QPoint> s = project.screen(p.X, p.Y, p.Z * heights.scale);
      if (s && pass.inside(s->x(), s->y()))
        marks.push_back({*s, MarkShape::Square, kEventMarkColour, kEventMarkColour, eventText(e), 0});
    }
    const size_t firstThermal = marks.size();
    for (const Thermal& t : data.Analysis.thermals) {
      const std::optional<QPoint> s = project.place(t.lat, t.lon, (t.altitude - origin.altitude) * heights.scale);
      if (s && pass.inside(s->x(), s->y()))
        marks.push_back({*s, MarkShape::Triangle, kThermalMarkColour, kThermalMarkColour, climbText(t.climb), t.climb});
    }
    std::stable_sort(marks.begin() + std::ptrdiff_t(firstThermal), marks.end(),
                     [](const Mark& a, const Mark& b) { return a.strength > b.strength; });
  }
  for (const Mark& m : marks) {
    drawMarker(canvas, m);
    labels.reserve(markerBox(m));
  }
  canvas.setBrushColor(colours::kWhite);
  for (const Mark& m : marks) {
    if (m.text.isEmpty()) continue;
    const std::optional<QRect> r = labels.place(markerBox(m), canvas.textSize(m.text));
    if (!r) continue;
    canvas.setFontColor(m.colour);
    canvas.textOut(r->left(), r->top(), m.text);
  }
  canvas.setFontColor(colours::kBlack);
}

}  // namespace trelvano
