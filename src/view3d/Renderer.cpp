#include "view3d/Renderer.h"

#include "view3d/OtherFlights.h"

#include "view3d/AnalysisMarks.h"

#include "model/Numbers.h"
#include "model/RunError.h"
#include "canvas/Canvas.h"
#include "view3d/RedrawWorker.h"
#include "view3d/RenderPass.h"
#include "view3d/StrokeArray.h"
#include "view3d/TerrainSurface.h"
#include "view3d/Transform.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace trelvano {

namespace {

// Map cells and vector polygons with a corner farther than this outside the
// picture are skipped (pixels).
constexpr int kMapMargin = 1000;
constexpr int kMapColumns = 100;
constexpr int kMapRows = 100;
constexpr int kMaxPolygonVertices = 100;

bool withinMapMargin(const RenderPass& pass, QPoint p) {
  return p.x() >= -kMapMargin && p.x() <= pass.W + kMapMargin && p.y() >= -kMapMargin && p.y() <= pass.H + kMapMargin;
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

void ensureRgb32(QImage& image) {
  if (!image.isNull() && image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
}

// Gives `to` the size and format of `from`, reusing its pixels when they fit.
void matchPicture(const QImage& from, QImage& to) {
  if (to.size() != from.size() || to.format() != from.format()) to = QImage(from.size(), from.format());
}

// Copies rows [top, bottom) of `from` to the pixels `to` of a picture of the
// same size and format (taken with bits() beforehand: from a band's thread,
// scanLine() would touch the picture's shared bookkeeping).
void copyRows(const QImage& from, uchar* to, int top, int bottom) {
  if (from.isNull() || top >= bottom) return;
  const qsizetype line = from.bytesPerLine();
  std::memcpy(to + line * top, from.constScanLine(top), static_cast<size_t>(line * (bottom - top)));
}

// The rows of band `part` of `parts`: the upper band ends at `split`.
struct Band {
  int top, bottom;
};
Band bandOf(int part, int parts, int split, int height) {
  if (parts == 1) return {0, height};
  return part == 0 ? Band{0, split} : Band{split, height};
}

// The point arrays stroked in a redraw, in the order they are drawn.
enum StrokeLayer { kGrid, kArrow, kMapFrame, kPlumb, kShadow, kFlight, kStrokeLayers };

// Each band of the picture is drawn by its own thread with its own canvas
// and pass: every layer in order, but writing only the band's rows, so the
// picture is the one a single canvas would paint. The screen positions of
// the point arrays are computed first, half by each thread, so OutOfView
// and errors come out as one pass over the arrays would leave them. The text
// goes on last, from this thread, once both bands are done.
struct BandedRedraw {
  BandedRedraw(const FlightData& d, const Layers& l, const Camera& c, QImage& p)
      : data(d), layers(l), cam(c), picture(p) {}
  const FlightData& data;
  const Layers& layers;
  const Camera& cam;
  QImage& picture;
  int split = 0;
  Canvas* canvas[2] = {nullptr, nullptr};
  bool outOfView[2] = {false, false};
  bool paint = true;                               // false: no row to write, for OutOfView alone
  int measured = -1;                               // without painting: the one stroke layer that decides OutOfView
  const Underlay* from = nullptr;                  // copy these rows first and draw layers 9 and 10 only
  const trelvano::OtherFlights* others = nullptr;  // the other shown flights, projected
  Underlay* keep = nullptr;                        // keep the rows below the flight path here
  uchar* pictureBits = nullptr;
  uchar* keepBits = nullptr;
  StrokeArray strokes[kStrokeLayers];
  // Set when phase 1 transforms these arrays first (DDDCalc's, in its order).
  const Matrix4* matrix = nullptr;
  trelvano::HeightRule rule;
  TransformedArray* transforms = nullptr;
  int transformCount = 0;
  // The terrain surface, when one is shown: drawn after the grid, and the
  // plumb lines and the shadow over it only where it does not hide them.
  trelvano::TerrainSurface* surface = nullptr;
  trelvano::StrokeDepth plumbDepth, shadowDepth;

  // The stroke that projects entries of `array`, if any.
  StrokeArray* strokeOf(const PointArray* array) {
    for (StrokeArray& s : strokes)
      if (s.points == array && s.count() > 0) return &s;
    return nullptr;
  }

  // The arrays of the switched-on layers, with their screen positions in `screen`.
  void setStrokes(std::vector<ScreenPoint>& screen, std::vector<RowSpan>& blockRows) {
    if (!from) {
      if (layers.Gitter) strokes[kGrid].set(data.GridPoints, 0, data.GridLast);
      if (layers.NordPfeil) strokes[kArrow].set(data.ArrowPoints, 0, data.ArrowLast);
      if (layers.pixelMapShown() && data.MapDragMode) strokes[kMapFrame].set(data.MapFrame, 0, data.MapFrameLast);
      // Plumb lines of the shown section; entry 2·RangeStart + 1 is the lower
      // end of the first point's line, a move, so that line itself is left out.
      if (layers.Lot) {
        try {
          strokes[kPlumb].set(data.PlumbLines, checkedAdd(checkedMul(2, data.RangeStart), 1),
                              checkedAdd(checkedMul(2, data.RangeEnd), 1));
        } catch (...) {
          strokes[kPlumb].points = &data.PlumbLines;
          strokes[kPlumb].startError = std::current_exception();
        }
      }
      if (layers.Schatten) strokes[kShadow].set(data.ShadowPath, 0, data.LastPoint);
    }
    if (layers.Flugbahn) strokes[kFlight].set(data.FlightPath, data.RangeStart, data.RangeEnd);
    int64_t total = 0, blocks = 0;
    for (const StrokeArray& s : strokes) {
      total += s.count();
      blocks += s.blocks();
    }
    if (screen.size() < static_cast<size_t>(total)) screen.resize(static_cast<size_t>(total));
    if (blockRows.size() < static_cast<size_t>(blocks)) blockRows.resize(static_cast<size_t>(blocks));
    ScreenPoint* next = screen.data();
    RowSpan* nextBlock = blockRows.data();
    for (StrokeArray& s : strokes) {
      s.screen = next;
      s.blockRows = nextBlock;
      next += s.count();
      nextBlock += s.blocks();
    }
    if (surface) {
      std::vector<float>& depths = surface->strokeDepths();
      const int64_t needed = strokes[kPlumb].count() + strokes[kShadow].count();
      if (depths.size() < static_cast<size_t>(needed)) depths.resize(static_cast<size_t>(needed));
      strokes[kPlumb].depthOf = &plumbDepth;
      strokes[kPlumb].invW = depths.data();
      strokes[kShadow].depthOf = &shadowDepth;
      strokes[kShadow].invW = depths.data() + strokes[kPlumb].count();
      // Phase 1 transforms these arrays when it has the matrix (both layers
      // on means both arrays transformed), and leaves their depths on the way.
      strokes[kPlumb].depthsGiven = strokes[kShadow].depthsGiven = matrix != nullptr;
    }
  }

  // Phase 1: the screen positions, split by entries. With a matrix, each
  // core first transforms its half of every array, a piece at a time, and
  // projects the piece's stroked entries while their records are in the cache.
  struct Project {
    BandedRedraw& r;
    static constexpr int64_t kPiece = 2048;  // entries

    void operator()(int part, int parts) {
      bool unused = false;
      RenderPass pass(*r.canvas[part], unused);
      if (r.surface) r.surface->project(part, parts);
      bool projected[kStrokeLayers] = {};
      for (int k = 0; k < r.transformCount; ++k) {
        StrokeArray* s = r.strokeOf(r.transforms[k].points);
        if (s) projected[s - r.strokes] = true;
        transformAndProject(pass, r.transforms[k], s, part, parts);
      }
      for (int k = 0; k < kStrokeLayers; ++k)
        if (!projected[k] && r.strokes[k].count() > 0) r.strokes[k].project(pass, part, parts);
    }

    void transformAndProject(RenderPass& pass, const TransformedArray& a, StrokeArray* s, int part, int parts) {
      const int64_t count = std::max<int64_t>(int64_t(a.last) + 1, 0);
      // Part 1 starts where the stroke's second half does, so every entry is
      // projected by the core that transformed it.
      const int64_t split = std::clamp<int64_t>(s ? s->halfBegin(1, 2) : count / 2, 0, count);
      const int64_t tBegin = parts == 2 && part == 1 ? split : 0;
      const int64_t tEnd = parts == 2 && part == 0 ? split : count;
      int64_t pBegin = tBegin, pEnd = tBegin;  // empty
      // The depths of a stroke over the surface come out of the transform.
      DepthOut depth;
      if (s && s->depthsGiven) depth = {s->invW, s->first, s->last};
      if (s) {
        s->startHalf(part, parts);
        pBegin = s->halfBegin(part, parts);
        pEnd = s->halfBegin(part + 1, parts);
      }
      const int64_t from = pBegin < pEnd ? std::min(tBegin, pBegin) : tBegin;
      const int64_t to = pBegin < pEnd ? std::max(tEnd, pEnd) : tEnd;
      for (int64_t piece = from; piece < to; piece += kPiece) {
        const int64_t end = std::min(piece + kPiece, to);
        const int64_t t0 = std::max(piece, tBegin), t1 = std::min(end, tEnd);
        if (t0 < t1)
          TransformEntries(*a.points, static_cast<int32_t>(t0), static_cast<int32_t>(t1 - 1), *r.matrix, &r.rule,
                           a.kind, depth.invW ? &depth : nullptr);
        const int64_t p0 = std::max(piece, pBegin), p1 = std::min(end, pEnd);
        if (s && p0 < p1) s->projectEntries(pass, part, static_cast<int32_t>(p0), static_cast<int32_t>(p1));
      }
    }
  };

  // Without painting, OutOfView is what the last stroked array and the
  // "Flugweg" line leave (each stroke clears it first): only that array is
  // transformed and projected. Without any stroked array the whole pass runs.
  void keepOnlyTheLastStroke() {
    for (int k = kStrokeLayers - 1; k >= 0; --k) {
      if (!strokes[k].points) continue;
      measured = k;
      for (int other = 0; other < kStrokeLayers; ++other)
        if (other != k) strokes[other] = StrokeArray{};
      int kept = 0;
      for (int t = 0; t < transformCount; ++t)
        if (transforms[t].points == strokes[k].points) transforms[kept++] = transforms[t];
      transformCount = kept;
      return;
    }
  }

  // Phase 2: the layers, split by rows.
  void operator()(int part, int parts) {
    Canvas& c = *canvas[part];
    const Band band = paint ? bandOf(part, parts, split, picture.height()) : Band{0, 0};
    c.setWriteRows(band.top, band.bottom);
    bool& out = outOfView[part];
    if (measured >= 0) {
      RenderPass pass(c, out);
      strokes[measured].draw(pass, band.top, band.bottom);
      drawFlugweg(c, pass);
      return;
    }
    if (from) {
      copyRows(from->picture, pictureBits, band.top, band.bottom);
      out = from->outOfView;
    } else {
      drawBelowFlight(c, out, band);
      if (keep) {
        c.flush();
        copyRows(picture, keepBits, band.top, band.bottom);
        if (part == 0) keep->outOfView = out;
      }
    }
    RenderPass pass(c, out);
    // 9: the flight, thick while the camera is near its home distance.
    if (layers.Flugbahn) {
      c.setPenWidth(std::fabs(cam.CamY - 2000) < 3000 ? 2 : 1);
      strokes[kFlight].draw(pass, band.top, band.bottom);
    }
    c.setPenWidth(1);
    drawFlugweg(c, pass);
    c.flush();  // the band's last pixels, before the text goes on
  }

  // 10: the red line from the first shown point to the cursor.
  void drawFlugweg(Canvas& c, RenderPass& pass) {
    if (!layers.Flugweg) return;
    c.setPenColor(colours::kRed);
    pass.PenMoveTo(pass.ToScreen(data.FlightPath[data.RangeStart]));
    pass.ClippedLineTo(pass.ToScreen(data.FlightPath[data.CursorPoint]));
  }

  // Layers 1 … 8.
  void drawBelowFlight(Canvas& canvas, bool& out, Band band) {
    canvas.setPenWidth(1);
    // 1: background.
    canvas.setPenColor(colours::kWhite);
    canvas.setBrushColor(colours::kBackground);
    canvas.fillRect(0, 0, canvas.width(), canvas.height());
    RenderPass pass(canvas, out);

    // 2, 3: the maps.
    if (layers.pixelMapShown() && !data.MapDragMode) drawMapCells(pass, data.MapCells);
    if (layers.VectorKarte) drawVectorMap(pass, data.VectorMap, data.VectorMapLast);

    // 4 - 6: scene furniture; 7: plumb lines; 8: the shadow of the whole flight.
    if (!surface) {
      for (int layer = kGrid; layer <= kShadow; ++layer) strokes[layer].draw(pass, band.top, band.bottom);
      drawOthers(canvas, band);
      return;
    }
    for (int layer = kGrid; layer <= kMapFrame; ++layer) strokes[layer].draw(pass, band.top, band.bottom);
    // The terrain over the ground plane, the plumb lines and the shadow on it.
    canvas.flush();
    trelvano::DepthTarget target;
    target.bits = reinterpret_cast<uint32_t*>(pictureBits);
    target.depth = surface->depth();
    target.stride = static_cast<int>(picture.bytesPerLine() / 4);
    target.width = picture.width();
    target.height = picture.height();
    target.top = band.top;
    target.bottom = band.bottom;
    surface->draw(target);
    strokes[kPlumb].draw(pass, band.top, band.bottom, &target);
    strokes[kShadow].draw(pass, band.top, band.bottom, &target);
    drawOthers(canvas, band);
  }

  // 8a: the other shown flights with their shadows, below the active one.
  void drawOthers(Canvas& canvas, Band band) {
    if (!others) return;
    bool unused = false;  // OutOfView is the active flight's
    RenderPass pass(canvas, unused);
    others->drawTracks(pass, band.top, band.bottom);
  }
};

// Moves the worker's split towards the row where the last redraw's times say
// both bands take equally long, assuming its time per row stays the same in
// each band; half way, so one odd redraw cannot throw it far.
void rebalance(RedrawWorker& worker, int lastSplit, int height) {
  const double t0 = worker.partSeconds(0), t1 = worker.partSeconds(1);
  double share = worker.split;
  if (t0 > 0 && t1 > 0 && lastSplit > 0 && lastSplit < height) {
    const double perRow0 = t0 / lastSplit, perRow1 = t1 / (height - lastSplit);
    share = 0.5 * share + 0.5 * perRow1 / (perRow0 + perRow1);
  }
  worker.split = std::clamp(share, 0.1, 0.9);
}

void redrawInBands(BandedRedraw& job, RedrawWorker* worker, bool& outOfView) {
  const int h = job.picture.height();
  if (h < 2) worker = nullptr;
  job.split = worker ? std::clamp(static_cast<int>(std::lround(worker->split * h)), 1, h - 1) : h;
  // Made here: taking a picture's pixels is not thread-safe.
  job.pictureBits = job.picture.bits();
  if (job.keep) job.keepBits = job.keep->picture.bits();
  Canvas upper(job.picture), lower(job.picture);
  job.canvas[0] = &upper;
  job.canvas[1] = &lower;
  job.outOfView[0] = job.outOfView[1] = outOfView;
  job.rule = trelvano::heightRule(job.data, job.layers);
  std::unique_ptr<trelvano::TerrainSurface> ownSurface;
  if (!job.from && trelvano::surfaceShown(job.data, job.layers)) {
    if (!worker) ownSurface = std::make_unique<trelvano::TerrainSurface>();
    trelvano::TerrainSurface& surface = worker ? worker->terrain : *ownSurface;
    const Matrix4 view = job.matrix ? *job.matrix : buildViewMatrix(job.cam);
    surface.prepare(job.data, job.layers, job.cam, view, job.picture.width(), job.picture.height());
    if (surface.shown()) {
      job.surface = &surface;
      job.plumbDepth = {view, job.rule, trelvano::HeightKind::PlumbPairs};
      job.shadowDepth = {view, job.rule, trelvano::HeightKind::Ground};
    }
  }
  std::vector<ScreenPoint> local;
  std::vector<RowSpan> localBlocks;
  job.setStrokes(worker ? worker->screen : local, worker ? worker->blockRows : localBlocks);
  if (!job.paint) job.keepOnlyTheLastStroke();
  try {
    BandedRedraw::Project project{job};
    runParts(worker, project);
    runParts(worker, job);
  } catch (...) {
    outOfView = job.outOfView[0];
    throw;
  }
  outOfView = job.outOfView[0];
  if (!job.paint) return;
  if (worker) rebalance(*worker, job.split, h);
  Canvas canvas(job.picture);
  LabelBoard localLabels;
  LabelBoard& labels = worker ? worker->labels : localLabels;
  labels.clear(job.picture.size());
  // Nothing loaded has no start point to name.
  QString start;
  if (job.layers.Startkoordinaten && job.data.HasFlight)
    start = startCoordinatesText(job.data.StartLatRaw, job.data.StartLonRaw, job.data.StartAltitude);
  const QPoint startAt(10, canvas.height() - 20);
  if (!start.isEmpty()) labels.reserve(QRect(startAt, canvas.textSize(start)));
  // The declared task and the analysis' marks, over the flight.
  drawAnalysisMarks(canvas, job.data, job.layers, job.cam, labels);
  drawRouteMark(canvas, job.data.ScoreRoute, job.data, job.layers, job.cam);
  if (job.others) job.others->drawMarkers(canvas, labels);
  // 11: the start coordinates on a white background.
  canvas.setBrushColor(colours::kWhite);
  canvas.setPenColor(colours::kBlack);
  if (!start.isEmpty()) canvas.textOut(startAt.x(), startAt.y(), start);
}

}  // namespace

void DDDGraf(const FlightData& data, const Layers& layers, const Camera& cam, QImage& backBuffer, bool& outOfView,
             Underlay* keep, RedrawWorker* worker) {
  ensureRgb32(backBuffer);
  if (keep) matchPicture(backBuffer, keep->picture);
  BandedRedraw job(data, layers, cam, backBuffer);
  job.keep = keep;
  redrawInBands(job, worker, outOfView);
}

namespace {

void transformAndDraw(FlightData& data, const Camera& cam, const Layers& layers, Matrix4& viewMatrix,
                      QImage& backBuffer, bool& outOfView, Underlay* keep, RedrawWorker& worker, bool paint,
                      const trelvano::OtherFlights* others) {
  TransformedArray arrays[8];
  const int n = transformedArrays(data, layers, arrays);
  for (int k = 0; k < n; ++k)
    if (arrays[k].last >= kPointCapacity) {  // DDDCalc stops with the range error
      DDDCalc(data, cam, layers, viewMatrix, &worker);
      DDDGraf(data, layers, cam, backBuffer, outOfView, keep, &worker);
      return;
    }
  viewMatrix = buildViewMatrix(cam);
  ensureRgb32(backBuffer);
  if (keep) matchPicture(backBuffer, keep->picture);
  BandedRedraw job(data, layers, cam, backBuffer);
  job.keep = keep;
  job.matrix = &viewMatrix;
  job.transforms = arrays;
  job.transformCount = n;
  job.paint = paint;
  job.others = paint ? others : nullptr;
  redrawInBands(job, &worker, outOfView);
}

}  // namespace

void TransformAndDraw(FlightData& data, const Camera& cam, const Layers& layers, Matrix4& viewMatrix,
                      QImage& backBuffer, bool& outOfView, Underlay* keep, RedrawWorker& worker,
                      const trelvano::OtherFlights* others) {
  transformAndDraw(data, cam, layers, viewMatrix, backBuffer, outOfView, keep, worker, true, others);
}

void TransformAndMeasure(FlightData& data, const Camera& cam, const Layers& layers, Matrix4& viewMatrix,
                         QImage& backBuffer, bool& outOfView, RedrawWorker& worker) {
  transformAndDraw(data, cam, layers, viewMatrix, backBuffer, outOfView, nullptr, worker, false, nullptr);
}

void DDDGrafOnUnderlay(const FlightData& data, const Layers& layers, const Camera& cam, const Underlay& underlay,
                       QImage& backBuffer, bool& outOfView, RedrawWorker* worker,
                       const trelvano::OtherFlights* others) {
  matchPicture(underlay.picture, backBuffer);
  BandedRedraw job(data, layers, cam, backBuffer);
  job.from = &underlay;
  job.others = others;
  redrawInBands(job, worker, outOfView);
}

}  // namespace trelvano
