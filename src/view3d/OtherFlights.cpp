#include "view3d/OtherFlights.h"

#include "canvas/Canvas.h"
#include "model/FlightPoint.h"
#include "view3d/LabelBoard.h"
#include "view3d/RenderPass.h"
#include "view3d/Transform.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {
// A waiting flight's marker: its colour half way to the background's white.
int32_t dimmed(int32_t bgr) {
  int32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) out |= ((((bgr >> shift) & 0xFF) + 0xFF) / 2) << shift;
  return out;
}

QRect markerBox(QPoint at) { return QRect(at.x() - 4, at.y() - 4, 9, 9); }
}  // namespace

void OtherFlights::project(const SceneFlights& scene, const FrameOrigin& origin, const HeightRule& rule,
                           const Matrix4& view, RenderPass& pass) {
  scene_ = &scene;
  view_ = view;
  origin_ = origin;
  rule_ = rule;
  tracks_.resize(scene.tracks.size());
  size_t total = 0;
  for (size_t t = 0; t < scene.tracks.size(); ++t) {
    const Flight& f = *scene.tracks[t].flight;
    Track& track = tracks_[t];
    const bool terrain = rule.ground != nullptr;
    const bool same = track.flight == &f && track.origin.lat == origin.lat && track.origin.lon == origin.lon &&
                      track.origin.altitude == origin.altitude && track.scale == rule.scale &&
                      track.terrain == terrain && track.points.size() == f.fixes.size();
    if (!same) {
      track.flight = &f;
      track.origin = origin;
      track.scale = rule.scale;
      track.terrain = terrain;
      track.points.resize(f.fixes.size());
      for (size_t i = 0; i < f.fixes.size(); ++i) {
        const Fix& p = f.fixes[i];
        const double x = frameX(p.Lat, p.Lon, origin), y = frameY(p.Lat, origin);
        track.points[i] = {x, y, (p.Altitude - origin.altitude) * rule.scale,
                           rule.drawnZ(HeightKind::Ground, 0, x, y, 0)};
      }
    }
    total += track.points.size();
  }
  screen_.resize(2 * total);
  spans_.clear();
  const Projection projection(view);
  FlightPoint at{};
  size_t next = 0;
  for (int shadow = 1; shadow >= 0; --shadow) {
    for (size_t t = 0; t < tracks_.size(); ++t) {
      const Track& track = tracks_[t];
      spans_.push_back({next, track.points.size(), shadow ? colours::kShadow : scene.tracks[t].colour});
      for (const Local& p : track.points) {
        const bool shown = projection(at, p.x, p.y, shadow ? p.groundZ : p.z) > 0;
        const QPoint px = shown ? pass.ToScreen(at.ProjX, at.ProjY) : QPoint();
        screen_[next++] = {px.x(), px.y(), shown};
      }
    }
  }
  projected_ = next;
}

void OtherFlights::drawTracks(RenderPass& pass, int top, int bottom) const {
  for (const Span& s : spans_) {
    pass.canvas.setPenColor(s.colour);
    bool from = false;
    QPoint last;
    for (size_t i = s.first; i < s.first + s.count; ++i) {
      const Projected& p = screen_[i];
      if (!p.shown) {
        from = false;
        continue;
      }
      const QPoint at(p.x, p.y);
      // A segment wholly above or below the band leaves its rows alone.
      if (from && !(std::max(at.y(), last.y()) < top || std::min(at.y(), last.y()) >= bottom)) {
        pass.PenMoveTo(last);
        pass.ClippedLineTo(at);
      }
      last = at;
      from = true;
    }
  }
}

void OtherFlights::drawMarkers(Canvas& canvas, LabelBoard& labels) const {
  if (!scene_ || scene_->markers.empty()) return;
  bool out = false;
  RenderPass pass(canvas, out);
  const Projection projection(view_);
  FlightPoint at{};
  std::vector<std::pair<QPoint, const SceneMarker*>> shown;
  for (const SceneMarker& m : scene_->markers) {
    const double x = frameX(m.lat, m.lon, origin_), y = frameY(m.lat, origin_);
    if (!(projection(at, x, y, (m.altitude - origin_.altitude) * rule_.scale) > 0)) continue;
    const QPoint p = pass.ToScreen(at.ProjX, at.ProjY);
    if (!pass.inside(p.x(), p.y())) continue;
    shown.push_back({p, &m});
  }
  for (const auto& [p, m] : shown) {
    const int32_t colour = m->waiting ? dimmed(m->colour) : m->colour;
    canvas.setBrushColor(colour);
    canvas.setPenColor(m->waiting ? dimmed(colours::kBlack) : colours::kBlack);
    const QRect box = markerBox(p);
    canvas.fillRect(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
    labels.reserve(box);
  }
  canvas.setBrushColor(colours::kWhite);
  for (const auto& [p, m] : shown) {
    if (m->name.isEmpty()) continue;
    const std::optional<QRect> r = labels.place(markerBox(p), canvas.textSize(m->name));
    if (!r) continue;
    canvas.setFontColor(m->waiting ? dimmed(m->colour) : m->colour);
    canvas.textOut(r->left(), r->top(), m->name);
  }
  canvas.setFontColor(colours::kBlack);
}

}  // namespace trelvano
