#include "view3d/TerrainSurface.h"

#include "model/Numbers.h"
#include "model/Colour.h"
#include "view3d/Heights.h"
#include "view3d/RenderPass.h"
#include "view3d/Transform.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trelvano {

namespace {

// A node nearer to the eye plane than this w is left out, with its cells:
// the cells around the eye would cover the picture many times over.
constexpr double kNearestW = 0.02;
// The level of detail: the fewest nodes per cell side such that the cells
// in the picture are at least this large (square pixels; 8 keeps them 3 to
// 6 pixels wide) …
constexpr double kLeastCellPixels = 8;
// … while no more than this many cells lie in it; else the cells are made
// larger. A redraw of 1600 × 1000 pixels over a 512 × 512 grid with a map
// then takes about 2.3 times as long as without terrain.
constexpr double kMostCells = 30000;
// The coarsest level and the one used to size the cells up.
constexpr int kCoarsestStride = 64;
constexpr int kSampleNodes = 48;  // per side of the grid, at most
// A finest cell drawn wider or higher than this many pixels per texel of
// the map shows the texels; smaller ones show their mean.
constexpr float kTexelPixels = 2;
// A line point this far behind the surface, as a share of its distance from
// the eye, is still drawn: the shadow lies on the ground the surface
// approximates with flat cells.
constexpr float kDepthSlack = 0.02f;

// Light from the north-west, 45° high: towards west (+X), north (+Y) and up.
constexpr double kLightX = 0.5, kLightY = 0.5, kLightZ = 0.70710678118654752;
// Brightness of a cell facing away from the light, and the gain that makes a
// flat cell 1.
constexpr double kAmbient = 0.35;
constexpr double kDiffuse = (1 - kAmbient) / kLightZ;

struct TintStop {
  double at;
  double r, g, b;
};
// Lowland greens through yellows and browns to grey rock at the top.
constexpr TintStop kTints[] = {
    {0.00, 92, 140, 72},   {0.20, 140, 176, 96}, {0.40, 214, 208, 130},
    {0.60, 196, 160, 104}, {0.80, 150, 112, 80}, {1.00, 206, 204, 200},
};

uint32_t shaded(int32_t bgr, double light) {
  auto channel = [light](uint32_t c) { return static_cast<uint32_t>(std::clamp(std::lround(c * light), 0L, 255L)); };
  const auto c = static_cast<uint32_t>(bgr);
  return 0xFF000000u | channel(c & 0xFF) << 16 | channel((c >> 8) & 0xFF) << 8 | channel((c >> 16) & 0xFF);
}

struct Vertex {
  double x, y, z;  // pixels (centre of pixel i at i + 0.5) and 1 / w
};

// The smallest integer not below v, for |v| well within the int range.
inline int ceilToInt(double v) {
  const int i = static_cast<int>(v);  // towards zero: the answer for v <= 0
  return i + (i < v);
}

// Fills the pixels of triangle abc whose centres lie inside it (left and
// top edges in, right and bottom out, so neighbours share no pixel and leave
// no gap), in the target's rows: `shade` writes each run of a row, given the
// depth of its first pixel and the step from one pixel to the next.
template <class Shade>
void fillTriangle(Vertex a, Vertex b, Vertex c, const Shade& shade, const DepthTarget& t) {
  if (a.y > b.y) std::swap(a, b);
  if (b.y > c.y) std::swap(b, c);
  if (a.y > b.y) std::swap(a, b);
  const double h = c.y - a.y;
  if (!(h > 0)) return;
  const int y0 = std::max(t.top, ceilToInt(std::max(a.y, -1.0) - 0.5));
  const int y1 = std::min(t.bottom, ceilToInt(std::min(c.y, t.height + 1.0) - 0.5));
  if (y0 >= y1) return;
  const double area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
  if (area == 0) return;
  const double dzdx = ((b.z - a.z) * (c.y - a.y) - (c.z - a.z) * (b.y - a.y)) / area;
  const double dzdy = ((b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z)) / area;
  const double longSlope = (c.x - a.x) / h;
  const double right = t.width + 1.0;
  const auto step = static_cast<float>(dzdx);
  // Rows of the upper half (centres above b) along a-b, then of the lower along b-c.
  const int split = std::clamp(ceilToInt(b.y - 0.5), y0, y1);
  auto rows = [&](int from, int to, const Vertex& edgeStart, double edgeSlope) {
    for (int y = from; y < to; ++y) {
      const double yc = y + 0.5;
      double xa = a.x + (yc - a.y) * longSlope;
      double xb = edgeStart.x + (yc - edgeStart.y) * edgeSlope;
      if (xa > xb) std::swap(xa, xb);
      const int x0 = std::max(0, ceilToInt(std::clamp(xa, -1.0, right) - 0.5));
      const int x1 = std::min(t.width, ceilToInt(std::clamp(xb, -1.0, right) - 0.5));
      if (x0 >= x1) continue;
      const auto z = static_cast<float>(a.z + (x0 + 0.5 - a.x) * dzdx + (yc - a.y) * dzdy);
      shade(t.bits + static_cast<ptrdiff_t>(y) * t.stride + x0, t.depth + static_cast<ptrdiff_t>(y) * t.width + x0, x0,
            yc, x1 - x0, z, step);
    }
  };
  if (split > y0) rows(y0, split, a, (b.x - a.x) / (b.y - a.y));
  if (y1 > split) rows(split, y1, b, (c.x - b.x) / (c.y - b.y));
}

// One colour for the whole triangle.
struct FlatShade {
  uint32_t colour;
  void operator()(uint32_t* p, uint16_t* d, int, double, int n, float z, float step) const {
    // Each pixel's depth from the row's start, not summed up, so that the
    // compiler may fill several pixels at a time.
    for (int k = 0; k < n; ++k) p[k] = colour;
    for (int k = 0; k < n; ++k) d[k] = packedDepth(z + static_cast<float>(k) * step);
  }
};

// The texels of one cell, seen in perspective: u / w, v / w and 1 / w run
// linearly over the picture, so each pixel's texel is their quotient. The
// quotient is taken every kTexelStep pixels along a row and followed in
// fixed point between, which no eye tells from the exact one; where the
// cell's depth changes by less than a tenth over it, u and v themselves are
// followed (a fifth of a cell's texel off at most). A texel without a colour
// (0) leaves its pixel as it was.
struct TexelShade {
  struct Corner {
    double x, y, invW, u, v;  // pixels; 1 / w; texels
  };
  static constexpr int kTexelStep = 16;
  static constexpr double kFixed = 65536;  // fixed point: texels × 2^16
  static constexpr double kAffineDepths = 1.1;
  double u[3], v[3], w[3];  // planes: value at pixel (0, 0), per pixel across, per pixel down
  bool affine;              // u and v run linearly themselves
  const uint32_t* texels;
  int stride;
  int c0, c1, r0, r1;  // the cell's texels: columns c0 … c1, rows r0 … r1

  TexelShade(const Corner& a, const Corner& b, const Corner& c, const uint32_t* texture, int textureColumns, int cell0,
             int row0, int detail)
      : texels(texture), stride(textureColumns), c0(cell0), c1(cell0 + detail - 1), r0(row0), r1(row0 + detail - 1) {
    const double area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    auto plane = [&](double fa, double fb, double fc, double(&out)[3]) {
      out[1] = area != 0 ? ((fb - fa) * (c.y - a.y) - (fc - fa) * (b.y - a.y)) / area : 0;
      out[2] = area != 0 ? ((b.x - a.x) * (fc - fa) - (c.x - a.x) * (fb - fa)) / area : 0;
      out[0] = fa - a.x * out[1] - a.y * out[2];
    };
    affine = std::max({a.invW, b.invW, c.invW}) < kAffineDepths * std::min({a.invW, b.invW, c.invW});
    const double wa = affine ? 1 : a.invW, wb = affine ? 1 : b.invW, wc = affine ? 1 : c.invW;
    plane(a.u * wa, b.u * wb, c.u * wc, u);
    plane(a.v * wa, b.v * wb, c.v * wc, v);
    plane(wa, wb, wc, w);
  }

  void operator()(uint32_t* p, uint16_t* d, int x0, double yc, int n, float z, float step) const {
    const double x = x0 + 0.5;
    if (affine) {
      run(p, d, 0, n, static_cast<int64_t>(kFixed * std::clamp(u[0] + x * u[1] + yc * u[2], c0 - 1.0, c1 + 1.0)),
          static_cast<int64_t>(kFixed * std::clamp(v[0] + x * v[1] + yc * v[2], r0 - 1.0, r1 + 1.0)),
          static_cast<int64_t>(kFixed * u[1]), static_cast<int64_t>(kFixed * v[1]), z, step);
      return;
    }
    const double u0 = u[0] + x * u[1] + yc * u[2], v0 = v[0] + x * v[1] + yc * v[2], w0 = w[0] + x * w[1] + yc * w[2];
    // Texels × 2^16 at pixel k of the row: inside the triangle 1 / w is
    // positive, and the quotient within the cell but for a rounding.
    auto at = [&](int k, int64_t& tu, int64_t& tv) {
      const double iw = std::max(w0 + k * w[1], 1e-12);
      tu = static_cast<int64_t>(kFixed * std::clamp((u0 + k * u[1]) / iw, c0 - 1.0, c1 + 1.0));
      tv = static_cast<int64_t>(kFixed * std::clamp((v0 + k * v[1]) / iw, r0 - 1.0, r1 + 1.0));
    };
    int64_t tu, tv;
    at(0, tu, tv);
    for (int k = 0; k < n; k += kTexelStep) {
      const int m = std::min(kTexelStep, n - k);
      int64_t endU = tu, endV = tv;
      if (m > 1) at(k + m - 1, endU, endV);
      run(p, d, k, k + m, tu, tv, m > 1 ? (endU - tu) / (m - 1) : 0, m > 1 ? (endV - tv) / (m - 1) : 0, z, step);
      if (k + m < n) at(k + m, tu, tv);
    }
  }

  // Pixels from … to - 1 of the row, the texel position (fixed point) at `from` and its step.
  void run(uint32_t* p, uint16_t* d, int from, int to, int64_t tu, int64_t tv, int64_t du, int64_t dv, float z,
           float step) const {
    for (int i = from; i < to; ++i, tu += du, tv += dv) {
      const int column = std::clamp(static_cast<int>(tu >> 16), c0, c1);
      const int row = std::clamp(static_cast<int>(tv >> 16), r0, r1);
      const uint32_t texel = texels[static_cast<ptrdiff_t>(row) * stride + column];
      if (!texel) continue;
      p[i] = texel;
      d[i] = packedDepth(z + static_cast<float>(i) * step);
    }
  }
};

// The part of a segment the surface does not hide, in the pass's rows:
// seen from above, a line that leaves the ground is hidden from its foot up
// to some point and seen above it, so the part is found between its ends
// by halving; it is drawn as the canvas draws lines. A segment seen at both
// ends is drawn whole, one hidden at both ends not at all. With endDecides
// (a plumb line, foot last) a foot in sight shows the whole line: every
// point above a point in sight is in sight too.
void depthSegment(RenderPass& pass, const DepthTarget& t, int x0, int y0, float d0, int x1, int y1, float d1,
                  bool endDecides) {
  const double dx = double(x1) - x0, dy = double(y1) - y0;
  auto seenAt = [&t](int x, int y, float d) {
    return packedDepth(d * (1 + kDepthSlack)) >= t.depth[static_cast<size_t>(y) * t.width + x];
  };
  auto inBand = [&t](int x, int y) { return x >= 0 && x < t.width && y >= t.top && y < t.bottom; };
  auto at = [&](double u) {
    return QPoint(static_cast<int>(std::floor(x0 + u * dx + 0.5)), static_cast<int>(std::floor(y0 + u * dy + 0.5)));
  };
  auto seen = [&](double u) {
    const QPoint p = at(u);
    return seenAt(std::clamp(p.x(), 0, t.width - 1), std::clamp(p.y(), t.top, t.bottom - 1),
                  static_cast<float>(d0 + u * (double(d1) - d0)));
  };
  // The parameters of the segment within the band's rows and the picture's columns.
  double lo = 0, hi = 1;
  bool first, last;
  if (inBand(x0, y0) && inBand(x1, y1)) {  // most segments: no cut, no rounding
    last = seenAt(x1, y1, d1);
    first = (endDecides && last) || seenAt(x0, y0, d0);
  } else {
    auto limit = [&](double from, double step, double least, double most) {
      if (step == 0) {
        if (from < least || from > most) hi = -1;
        return;
      }
      double a = (least - from) / step, b = (most - from) / step;
      if (a > b) std::swap(a, b);
      lo = std::max(lo, a);
      hi = std::min(hi, b);
    };
    limit(x0, dx, 0, t.width - 1);
    limit(y0, dy, t.top, t.bottom - 1);
    if (lo > hi) return;
    last = seen(hi);
    first = (endDecides && last) || seen(lo);
  }
  if (first && last) {
    pass.PenMoveTo(x0, y0);
    pass.ClippedLineTo(x1, y1);
    return;
  }
  if (!first && !last) return;
  // Halve the steps between the last point seen and the first hidden one
  // until they are less than a pixel apart.
  double in = first ? lo : hi, out = first ? hi : lo;
  const double pixels = std::max(std::fabs(dx), std::fabs(dy)) * (hi - lo);
  for (double span = pixels; span > 0.5; span *= 0.5) {
    const double mid = 0.5 * (in + out);
    (seen(mid) ? in : out) = mid;
  }
  const QPoint cut = at(in);
  if (first) {
    pass.PenMoveTo(x0, y0);
    pass.ClippedLineTo(cut.x(), cut.y());
  } else {
    pass.PenMoveTo(cut.x(), cut.y());
    pass.ClippedLineTo(x1, y1);
  }
}

}  // namespace

int32_t heightTint(double fraction) {
  const double f = std::clamp(std::isnan(fraction) ? 0.0 : fraction, 0.0, 1.0);
  int k = 1;
  while (k < static_cast<int>(std::size(kTints)) - 1 && f > kTints[k].at) ++k;
  const TintStop& lo = kTints[k - 1];
  const TintStop& hi = kTints[k];
  const double u = (f - lo.at) / (hi.at - lo.at);
  auto mix = [u](double a, double b) { return static_cast<int32_t>(std::lround(a + (b - a) * u)); };
  return mix(lo.r, hi.r) | mix(lo.g, hi.g) << 8 | mix(lo.b, hi.b) << 16;
}

// What the cells' colours depend on: which grids (their serial numbers),
// and the heights they are drawn at.
struct TerrainSurface::Key {
  const float* heights = nullptr;  // null: the map lies flat
  const int32_t* colours = nullptr;
  uint64_t terrainSerial = 0, mapSerial = 0;
  double startAltitude = 0, scale = 1;
  float low = 0, high = 0;  // the tints' range, metres

  bool same(const Key& o) const {
    return heights == o.heights && colours == o.colours && terrainSerial == o.terrainSerial &&
           mapSerial == o.mapSerial && startAltitude == o.startAltitude && scale == o.scale;
  }
};

// The surface at one level of detail: every stride-th node of the grid
// (and its last), the cells between them with their colours, and the
// nodes' screen positions in this redraw.
struct TerrainSurface::Level {
  int stride = 1;
  std::vector<int> columnNode, rowNode;  // grid indexes of the level's nodes
  std::vector<double> x, y;              // local frame of its columns and rows
  std::vector<float> z;                  // drawn Z of its nodes; NaN: none
  std::vector<uint32_t> colour;          // of its cells, RGB32; 0: left out
  // The finest level under a map finer than its cells: the map's texels,
  // each lit as its cell (RGB32; 0: nothing there), `detail` per cell side.
  std::vector<uint32_t> texture;
  int detail = 0;  // 0: no texture
  struct Screen {
    float x, y, invW;  // invW 0: not drawn
  };
  std::vector<Screen> screen;
  int columns() const { return static_cast<int>(columnNode.size()); }
  int rows() const { return static_cast<int>(rowNode.size()); }
};

TerrainSurface::TerrainSurface() : key_(std::make_unique<Key>()) {}
TerrainSurface::~TerrainSurface() = default;

int TerrainSurface::stride() const { return rings_.empty() ? 0 : rings_.front().level->stride; }
int TerrainSurface::nearStride() const { return rings_.empty() ? 0 : rings_.back().level->stride; }

namespace {

std::vector<int> levelNodes(int count, int stride) {
  std::vector<int> nodes;
  for (int i = 0; i < count; i += stride) nodes.push_back(i);
  if (nodes.back() != count - 1) nodes.push_back(count - 1);
  return nodes;
}

}  // namespace

TerrainSurface::Level& TerrainSurface::level(int stride) {
  int slot = 0;
  while ((1 << slot) < stride) ++slot;
  if (levels_.size() > static_cast<size_t>(slot) && levels_[slot]) return *levels_[slot];
  // A coarser level's colours are the mean of the finest level's cells it
  // covers, so that the finest is made first.
  const Level* finest = stride > 1 ? &level(1) : nullptr;
  if (levels_.size() <= static_cast<size_t>(slot)) levels_.resize(slot + 1);
  auto made = std::make_unique<Level>();
  Level& l = *made;
  const FlightData& d = *data_;
  const bool heights = key_->heights != nullptr;
  const GroundGrid& grid = heights ? static_cast<const GroundGrid&>(d.Terrain) : d.GeoMap;
  l.stride = stride;
  l.columnNode = levelNodes(grid.columns, stride);
  l.rowNode = levelNodes(grid.rows, stride);
  const int nc = l.columns(), nr = l.rows();
  for (int c : l.columnNode) l.x.push_back(grid.nodeX(c));
  for (int r : l.rowNode) l.y.push_back(grid.nodeY(r));
  l.z.assign(static_cast<size_t>(nc) * nr, 0.0f);
  std::vector<float> above(l.z.size(), 0.0f);  // metres above sea level, for the tints
  if (heights) {
    // Each node keeps the grid's height there, so that ridges keep their
    // height at every level and the levels meet where their nodes do. A node
    // without one takes the mean of the grid's nodes with one within half a
    // cell of the level around it, so that a coarse level does not lose the
    // cells at the edge of a hole.
    const int half = stride / 2;
    const TerrainGrid& g = d.Terrain;
    for (int j = 0; j < nr; ++j)
      for (int i = 0; i < nc; ++i) {
        float h = g.height[g.index(l.columnNode[i], l.rowNode[j])];
        if (!hasHeight(h) && half > 0) {
          const int cLo = std::max(l.columnNode[i] - half, 0), cHi = std::min(l.columnNode[i] + half, g.columns - 1);
          const int rLo = std::max(l.rowNode[j] - half, 0), rHi = std::min(l.rowNode[j] + half, g.rows - 1);
          double sum = 0;
          int count = 0;
          for (int r = rLo; r <= rHi; ++r)
            for (int c = cLo; c <= cHi; ++c) {
              const float near = g.height[g.index(c, r)];
              if (hasHeight(near)) sum += near, ++count;
            }
          if (count) h = static_cast<float>(sum / count);
        }
        above[j * nc + i] = h;
        l.z[j * nc + i] = static_cast<float>((h - key_->startAltitude) * key_->scale);
      }
  }
  const MapDrape& map = d.GeoMap;
  const bool draped = key_->colours != nullptr;
  const double span = key_->high > key_->low ? key_->high - key_->low : 0;
  l.colour.assign(static_cast<size_t>(std::max(nc - 1, 0)) * std::max(nr - 1, 0), 0u);
  // The map lies over the cells of this very grid (it is warped onto the
  // terrain's): its texels are the cells' own. Else each cell takes the
  // texel at its centre.
  const bool onGrid = draped && stride == 1 && map.columns == grid.columns && map.rows == grid.rows &&
                      map.x0 == grid.x0 && map.y0 == grid.y0 && map.step == grid.step &&
                      map.texelColumns == (grid.columns - 1) * map.detail &&
                      map.texelRows == (grid.rows - 1) * map.detail;
  if (onGrid && map.detail > 1) {
    l.detail = map.detail;
    l.texture.assign(map.texel.size(), 0u);
  }
  auto mapAt = [&map](double x, double y) -> int32_t {
    const double tc = std::floor((map.x0 - x) / map.step * map.detail);
    const double tr = std::floor((y - map.y0) / map.step * map.detail);
    if (!(tc >= 0 && tr >= 0 && tc < map.texelColumns && tr < map.texelRows)) return -1;
    return map.texel[size_t(tr) * map.texelColumns + size_t(tc)];
  };
  for (int j = 0; j + 1 < nr; ++j)
    for (int i = 0; i + 1 < nc; ++i) {
      const size_t n00 = size_t(j) * nc + i, n10 = n00 + 1, n01 = n00 + nc, n11 = n01 + 1;
      const float z00 = l.z[n00], z10 = l.z[n10], z01 = l.z[n01], z11 = l.z[n11];
      if (!hasHeight(z00) || !hasHeight(z10) || !hasHeight(z01) || !hasHeight(z11)) continue;
      uint32_t& colour = l.colour[size_t(j) * (nc - 1) + i];
      if (finest) {
        // The mean of the finest cells under this one that are drawn: the
        // map's colours and the tints of all of them, lit as each is, so
        // that no single one stands for the rest (stripes at a distance).
        const int fineColumns = finest->columns() - 1;
        int sum[3] = {0, 0, 0}, count = 0;
        for (int r = l.rowNode[j]; r < l.rowNode[j + 1]; ++r)
          for (int c = l.columnNode[i]; c < l.columnNode[i + 1]; ++c) {
            const uint32_t f = finest->colour[size_t(r) * fineColumns + c];
            if (!f) continue;
            sum[0] += f & 0xFF, sum[1] += (f >> 8) & 0xFF, sum[2] += (f >> 16) & 0xFF;
            ++count;
          }
        if (count)
          colour = 0xFF000000u | uint32_t((sum[2] + count / 2) / count) << 16 |
                   uint32_t((sum[1] + count / 2) / count) << 8 | uint32_t((sum[0] + count / 2) / count);
        continue;
      }
      const double dzdx = 0.5 * ((double(z10) + z11) - (double(z00) + z01)) / (l.x[i + 1] - l.x[i]);
      const double dzdy = 0.5 * ((double(z01) + z11) - (double(z00) + z10)) / (l.y[j + 1] - l.y[j]);
      const double facing = (-dzdx * kLightX - dzdy * kLightY + kLightZ) / std::sqrt(dzdx * dzdx + dzdy * dzdy + 1);
      const double light = kAmbient + kDiffuse * std::max(facing, 0.0);
      int32_t tint = -1;  // where the map does not cover
      if (heights) {
        const double mean = 0.25 * (double(above[n00]) + above[n10] + above[n01] + above[n11]);
        tint = heightTint(span > 0 ? (mean - key_->low) / span : 0.5);
      }
      int32_t base = tint;
      if (draped) {
        // The mean of the map's texels over the cell (the tint where it does
        // not cover), so that no one texel stands for the cell; each texel
        // also kept, lit as the cell, for the cells drawn large.
        int sum[3] = {0, 0, 0}, count = 0;
        auto add = [&](int32_t m) {
          sum[0] += m & 0xFF, sum[1] += (m >> 8) & 0xFF, sum[2] += (m >> 16) & 0xFF;
          ++count;
        };
        if (onGrid) {
          const int d = map.detail;
          for (int b = 0; b < d; ++b)
            for (int a = 0; a < d; ++a) {
              const size_t t = size_t(j * d + b) * map.texelColumns + size_t(i * d + a);
              const int32_t m = map.texel[t] >= 0 ? map.texel[t] : tint;
              if (m >= 0) add(m);
              if (!l.texture.empty()) l.texture[t] = m >= 0 ? shaded(m, light) : 0u;
            }
        } else if (const int32_t m = mapAt(0.5 * (l.x[i] + l.x[i + 1]), 0.5 * (l.y[j] + l.y[j + 1])); m >= 0) {
          add(m);
        }
        base = count ? (sum[0] + count / 2) / count | (sum[1] + count / 2) / count << 8 |
                           (sum[2] + count / 2) / count << 16
                     : tint;
      }
      if (base < 0) continue;  // a flat map shows only where it covers
      colour = shaded(base, light);
    }
  l.screen.resize(l.z.size());
  levels_[slot] = std::move(made);
  return l;
}

void TerrainSurface::prepare(const FlightData& data, const Layers& layers, const Camera& cam, const Matrix4& view,
                             int width, int height) {
  rings_.clear();
  data_ = &data;
  const bool terrain = layers.Gelaende && !data.Terrain.empty() &&
                       data.Terrain.height.size() >= size_t(data.Terrain.columns) * data.Terrain.rows &&
                       data.Terrain.step > 0;
  const MapDrape& drape = data.GeoMap;
  const bool map = layers.Gelaende && layers.Karte && !drape.empty() && drape.step > 0 && drape.detail > 0 &&
                   drape.texel.size() >= size_t(drape.texelColumns) * size_t(drape.texelRows) &&
                   drape.texelColumns >= (drape.columns - 1) * drape.detail &&
                   drape.texelRows >= (drape.rows - 1) * drape.detail;
  if (!(terrain || map) || width < 1 || height < 1) return;

  Key key;
  key.heights = terrain ? data.Terrain.height.data() : nullptr;
  key.colours = map ? data.GeoMap.texel.data() : nullptr;
  if (terrain) key.terrainSerial = data.Terrain.serial;
  if (map) key.mapSerial = data.GeoMap.serial;
  key.startAltitude = data.StartAltitude;
  key.scale = data.Exaggeration;
  if (!key.same(*key_)) {
    levels_.clear();
    if (terrain) {
      key.low = data.Terrain.minHeight;
      key.high = data.Terrain.maxHeight;
    }
    *key_ = key;
  }

  view_ = view;
  width_ = width;
  height_ = height;
  if (depth_.size() != size_t(width) * height) depth_.assign(size_t(width) * height, 0);

  const EyePoint eye = eyePoint(cam);
  const GroundGrid& grid = terrain ? static_cast<const GroundGrid&>(data.Terrain) : data.GeoMap;
  eyeColumn_ = (grid.x0 - eye.x) / grid.step;
  eyeRow_ = (eye.y - grid.y0) / grid.step;

  chooseLevels(width, height);
}

void TerrainSurface::projectNodes(Level& l, int rowFrom, int rowTo, int columnFrom, int columnTo) {
  const auto& m = view_.m;
  const double S = RenderPass::S;
  const double W = width_, H = height_;
  const double offX = static_cast<double>(Round(0.1 * width_)), offY = static_cast<double>(Round(0.1 * height_));
  const int nc = l.columns();
  for (int j = rowFrom; j < rowTo; ++j) {
    const double y = l.y[j];
    for (int i = columnFrom; i < columnTo; ++i) {
      const size_t n = size_t(j) * nc + i;
      const double x = l.x[i], z = l.z[n];
      const double w = x * m[0][3] + y * m[1][3] + z * m[2][3] + m[3][3];
      Level::Screen& s = l.screen[n];
      if (!(w >= kNearestW)) {  // NaN heights too
        s = {0, 0, 0};
        continue;
      }
      const double xs = x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0];
      const double zs = x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2];
      // As RenderPass::ToScreen, without its rounding; pixel i spans i … i + 1.
      s.x = static_cast<float>(W - (xs / w + W) / S - offX + 0.5);
      s.y = static_cast<float>(H - (zs / w + H) / S - offY + 0.5);
      s.invW = static_cast<float>(1.0 / w);
    }
  }
}

namespace {

// The level's cells [first, end) along one axis whose nodes lie within lo … hi.
void cellsWithin(const std::vector<int>& nodes, int lo, int hi, int& first, int& end) {
  first = static_cast<int>(std::lower_bound(nodes.begin(), nodes.end(), lo) - nodes.begin());
  end = static_cast<int>(std::upper_bound(nodes.begin(), nodes.end(), hi) - nodes.begin()) - 1;
  end = std::max(end, first);
}

}  // namespace

void TerrainSurface::project(int part, int parts) {
  for (size_t k = 0; k < rings_.size(); ++k) {
    Level& l = *rings_[k].level;
    // The first ring's level whole, the others only within their squares, their nodes included.
    int i0 = 0, i1 = l.columns() - 1, j0 = 0, j1 = l.rows() - 1;
    if (k > 0) {
      const Square& q = rings_[k].square;
      cellsWithin(l.columnNode, q.c0, q.c1, i0, i1);
      cellsWithin(l.rowNode, q.r0, q.r1, j0, j1);
    }
    const int rows = j1 + 1 - j0;
    projectNodes(l, j0 + static_cast<int>(int64_t(rows) * part / parts),
                 j0 + static_cast<int>(int64_t(rows) * (part + 1) / parts), i0, i1 + 1);
  }
}

void TerrainSurface::chooseLevels(int width, int height) {
  const GroundGrid& grid = key_->heights ? static_cast<const GroundGrid&>(data_->Terrain) : data_->GeoMap;
  int sample = 1;
  while (sample < kCoarsestStride && std::max(grid.columns, grid.rows) / sample > kSampleNodes) sample *= 2;
  Level& l = level(sample);
  const Square whole{0, grid.columns - 1, 0, grid.rows - 1};
  rings_.assign(1, Ring{&l, whole});
  projectNodes(l, 0, l.rows(), 0, l.columns());
  // Cell by cell of the sample: the pixels of one grid cell there, its
  // distance from the eye (grid nodes along the farther axis) and the
  // grid cells it holds, for the cells in the picture.
  struct Sample {
    double pixels, distance, gridCells;
    double column, row;  // its centre, in grid nodes
  };
  std::vector<Sample> samples;
  const int nc = l.columns(), nr = l.rows();
  for (int j = 0; j + 1 < nr; ++j)
    for (int i = 0; i + 1 < nc; ++i) {
      if (!l.colour[size_t(j) * (nc - 1) + i]) continue;
      const Level::Screen* c[4] = {&l.screen[size_t(j) * nc + i], &l.screen[size_t(j) * nc + i + 1],
                                   &l.screen[size_t(j + 1) * nc + i + 1], &l.screen[size_t(j + 1) * nc + i]};
      if (!(c[0]->invW > 0 && c[1]->invW > 0 && c[2]->invW > 0 && c[3]->invW > 0)) continue;
      float left = c[0]->x, right = left, top = c[0]->y, bottom = top;
      double twiceArea = 0;
      for (int k = 0; k < 4; ++k) {
        left = std::min(left, c[k]->x), right = std::max(right, c[k]->x);
        top = std::min(top, c[k]->y), bottom = std::max(bottom, c[k]->y);
        twiceArea += double(c[k]->x) * c[(k + 1) % 4]->y - double(c[(k + 1) % 4]->x) * c[k]->y;
      }
      if (right < 0 || left > width || bottom < 0 || top > height) continue;
      const double gridCells = double(l.columnNode[i + 1] - l.columnNode[i]) * (l.rowNode[j + 1] - l.rowNode[j]);
      const double column = 0.5 * (l.columnNode[i] + l.columnNode[i + 1]),
                   row = 0.5 * (l.rowNode[j] + l.rowNode[j + 1]);
      const double distance = std::max(std::fabs(column - eyeColumn_), std::fabs(row - eyeRow_));
      samples.push_back({0.5 * std::fabs(twiceArea) / gridCells, distance, gridCells, column, row});
    }
  if (samples.empty()) return;
  // The part of the grid in the picture, a sample cell more on each side:
  // the finer rings need no nodes beyond it (behind the eye, say), and
  // what lies beyond it hides nothing in the picture.
  double seenC0 = grid.columns, seenC1 = 0, seenR0 = grid.rows, seenR1 = 0;
  for (const Sample& x : samples) {
    seenC0 = std::min(seenC0, x.column - sample), seenC1 = std::max(seenC1, x.column + sample);
    seenR0 = std::min(seenR0, x.row - sample), seenR1 = std::max(seenR1, x.row + sample);
  }
  // Each sample wishes the fewest grid nodes per cell side that make its
  // cells `target` square pixels large. The first ring, over the whole
  // grid, has the level nine in ten samples wish at most (the farthest
  // tenth get finer cells than they need rather than a ring each); then
  // ever finer ones: the level of s nodes per cell side within the square
  // around the eye that holds every sample wishing s or fewer, cut to the
  // part in the picture. The squares' edges lie on the nodes of the ring
  // around them. While that would draw more cells than the budget, the
  // cells are made larger.
  struct Planned {
    int stride;
    Square square;
  };
  std::vector<Planned> plan;
  std::vector<int> wishes(samples.size());
  for (double target = kLeastCellPixels;; target *= 2) {
    for (size_t k = 0; k < samples.size(); ++k) {
      int wish = 1;
      while (wish < kCoarsestStride && samples[k].pixels * wish * wish < target) wish *= 2;
      wishes[k] = wish;
    }
    auto reach = [&](int wish) {
      double r = 0;
      for (size_t k = 0; k < samples.size(); ++k)
        if (wishes[k] <= wish) r = std::max(r, samples[k].distance + sample);
      return r;
    };
    std::vector<int> sorted = wishes;
    std::sort(sorted.begin(), sorted.end());
    const int finest = sorted.front();
    plan.assign(1, Planned{sorted[sorted.size() * 9 / 10], whole});
    for (int s = plan[0].stride / 2; s >= finest; s /= 2) {
      const int outer = plan.back().stride;
      const Square& around = plan.back().square;
      const double r = reach(s);
      auto lowEdge = [outer](double at) { return static_cast<int>(std::floor(at / outer)) * outer; };
      auto highEdge = [outer](double at) { return static_cast<int>(std::ceil(at / outer)) * outer; };
      Square q;
      q.c0 = std::clamp(lowEdge(std::max(eyeColumn_ - r, seenC0)), around.c0, around.c1);
      q.c1 = std::clamp(highEdge(std::min(eyeColumn_ + r, seenC1)), around.c0, around.c1);
      q.r0 = std::clamp(lowEdge(std::max(eyeRow_ - r, seenR0)), around.r0, around.r1);
      q.r1 = std::clamp(highEdge(std::min(eyeRow_ + r, seenR1)), around.r0, around.r1);
      if (!(r > 0) || q.c0 >= q.c1 || q.r0 >= q.r1) break;
      if (q.c0 == around.c0 && q.c1 == around.c1 && q.r0 == around.r0 && q.r1 == around.r1)
        plan.back().stride = s;  // the same square: the finer level alone
      else
        plan.push_back({s, q});
    }
    // The cells drawn: each sample's grid cells at the finest level whose square holds its centre.
    double cells = 0;
    for (const Sample& x : samples) {
      int stride = plan[0].stride;
      for (size_t k = 1; k < plan.size(); ++k) {
        const Square& q = plan[k].square;
        if (x.column >= q.c0 && x.column <= q.c1 && x.row >= q.r0 && x.row <= q.r1) stride = plan[k].stride;
      }
      cells += x.gridCells / (double(stride) * stride);
    }
    if (cells <= kMostCells || finest >= kCoarsestStride) break;
  }
  rings_.clear();
  for (const Planned& p : plan) rings_.push_back({&level(p.stride), p.square});
}

void TerrainSurface::draw(const DepthTarget& t) const {
  for (int y = t.top; y < t.bottom; ++y)
    std::fill_n(t.depth + static_cast<ptrdiff_t>(y) * t.width, t.width, uint16_t{0});
  // Each ring but for the inside of the next one's square (its cells along
  // that square's edge stay, under the finer ones, so that no gap opens
  // where the finer cells' edges meet the coarser ones), then the next ring
  // in it. The squares are centred on the eye, so nothing outside one hides
  // anything inside (where they are cut, what lies beyond is not in the
  // picture).
  for (size_t k = 0; k < rings_.size(); ++k) {
    const Level& l = *rings_[k].level;
    Square inner;
    if (k + 1 < rings_.size()) {
      const Square& q = rings_[k + 1].square;
      inner = {q.c0 + l.stride, q.c1 - l.stride, q.r0 + l.stride, q.r1 - l.stride};
    }
    drawCells(l, t, k > 0 ? &rings_[k].square : nullptr, k + 1 < rings_.size() ? &inner : nullptr);
  }
}

void TerrainSurface::drawCells(const Level& l, const DepthTarget& t, const Square* within, const Square* skip) const {
  const int nc = l.columns(), nr = l.rows();
  const int cellColumns = nc - 1, cellRows = nr - 1;
  if (cellColumns < 1 || cellRows < 1) return;
  int iLo = 0, iHi = cellColumns, jLo = 0, jHi = cellRows;
  if (within) {
    cellsWithin(l.columnNode, within->c0, within->c1, iLo, iHi);
    cellsWithin(l.rowNode, within->r0, within->r1, jLo, jHi);
  }
  int skipI0 = 0, skipI1 = 0, skipJ0 = 0, skipJ1 = 0;  // cells left out: [skipI0, skipI1) × [skipJ0, skipJ1)
  if (skip && skip->c0 < skip->c1 && skip->r0 < skip->r1) {
    cellsWithin(l.columnNode, skip->c0, skip->c1, skipI0, skipI1);
    cellsWithin(l.rowNode, skip->r0, skip->r1, skipJ0, skipJ1);
  }
  const float top = static_cast<float>(t.top), bottom = static_cast<float>(t.bottom);
  const float right = static_cast<float>(t.width);

  // The eye's cell at this level: -1 before the first, cellColumns past the last.
  auto eyeCell = [](const std::vector<int>& nodes, double at) {
    if (!(at >= nodes.front())) return -1;  // NaN too
    return static_cast<int>(std::upper_bound(nodes.begin(), nodes.end(), at) - nodes.begin()) - 1;
  };
  const int ei = std::min(eyeCell(l.columnNode, eyeColumn_), cellColumns);
  const int ej = std::min(eyeCell(l.rowNode, eyeRow_), cellRows);

  auto cell = [&](int i, int j) {
    if (i >= skipI0 && i < skipI1 && j >= skipJ0 && j < skipJ1) return;
    const uint32_t colour = l.colour[size_t(j) * cellColumns + i];
    if (!colour) return;
    const size_t n00 = size_t(j) * nc + i;
    const Level::Screen& s00 = l.screen[n00];
    const Level::Screen& s10 = l.screen[n00 + 1];
    const Level::Screen& s01 = l.screen[n00 + nc];
    const Level::Screen& s11 = l.screen[n00 + nc + 1];
    if (!(s00.invW > 0 && s10.invW > 0 && s01.invW > 0 && s11.invW > 0)) return;
    const float xMin = std::min({s00.x, s10.x, s01.x, s11.x}), xMax = std::max({s00.x, s10.x, s01.x, s11.x});
    const float yMin = std::min({s00.y, s10.y, s01.y, s11.y}), yMax = std::max({s00.y, s10.y, s01.y, s11.y});
    if (yMax < top || yMin > bottom || xMax < 0 || xMin > right) return;
    const Vertex v00{s00.x, s00.y, s00.invW}, v10{s10.x, s10.y, s10.invW};
    const Vertex v01{s01.x, s01.y, s01.invW}, v11{s11.x, s11.y, s11.invW};
    // The two halves of the cell meet on its diagonal 00 - 11: the one
    // whose third corner lies farther from the eye first.
    const double c0 = l.columnNode[i] - eyeColumn_, c1 = l.columnNode[i + 1] - eyeColumn_;
    const double r0 = l.rowNode[j] - eyeRow_, r1 = l.rowNode[j + 1] - eyeRow_;
    const bool farHalfFirst = c1 * c1 + r0 * r0 >= c0 * c0 + r1 * r1;
    auto fillCell = [&](const auto& lower, const auto& upper) {
      if (farHalfFirst) {
        fillTriangle(v00, v10, v11, lower, t);
        fillTriangle(v00, v11, v01, upper, t);
      } else {
        fillTriangle(v00, v11, v01, upper, t);
        fillTriangle(v00, v10, v11, lower, t);
      }
    };
    if (l.detail > 1) {
      // Drawn large, a cell shows the map's own texels rather than their mean.
      if (std::max(xMax - xMin, yMax - yMin) > kTexelPixels * l.detail) {
        const int d = l.detail, tc = i * d, tr = j * d;
        const int columns = (nc - 1) * d;
        using Corner = TexelShade::Corner;
        const Corner k00{s00.x, s00.y, s00.invW, double(tc), double(tr)};
        const Corner k10{s10.x, s10.y, s10.invW, double(tc + d), double(tr)};
        const Corner k01{s01.x, s01.y, s01.invW, double(tc), double(tr + d)};
        const Corner k11{s11.x, s11.y, s11.invW, double(tc + d), double(tr + d)};
        const uint32_t* texels = l.texture.data();
        const TexelShade lower(k00, k10, k11, texels, columns, tc, tr, d),
            upper(k00, k11, k01, texels, columns, tc, tr, d);
        fillCell(lower, upper);
        return;
      }
    }
    const FlatShade flat{colour};
    fillCell(flat, flat);
  };

  // A cell can hide only cells beyond it as seen from above the eye: those
  // whose row and column both lie farther from the eye's. So each quarter
  // of the grid around the eye goes from its far corner in, row by row;
  // then the row and the column of cells the eye stands over, from their
  // ends in; the eye's own cell last. Cells of one quarter never hide those
  // of another.
  struct Run {
    int lo, hi;  // indexes lo … hi - 1
    bool up;     // from lo up, else from hi - 1 down
  };
  const Run rowsBefore{jLo, std::clamp(ej, jLo, jHi), true};
  const Run rowsAfter{std::clamp(ej + 1, jLo, jHi), jHi, false};
  const Run columnsBefore{iLo, std::clamp(ei, iLo, iHi), true};
  const Run columnsAfter{std::clamp(ei + 1, iLo, iHi), iHi, false};
  auto quarter = [&](const Run& rows, const Run& columns) {
    for (int a = rows.lo; a < rows.hi; ++a) {
      const int j = rows.up ? a : rows.hi - 1 - (a - rows.lo);
      for (int b = columns.lo; b < columns.hi; ++b) cell(columns.up ? b : columns.hi - 1 - (b - columns.lo), j);
    }
  };
  quarter(rowsBefore, columnsBefore);
  quarter(rowsBefore, columnsAfter);
  quarter(rowsAfter, columnsBefore);
  quarter(rowsAfter, columnsAfter);
  const bool eyeRowInside = ej >= jLo && ej < jHi, eyeColumnInside = ei >= iLo && ei < iHi;
  if (eyeRowInside) {
    quarter({ej, ej + 1, true}, columnsBefore);
    quarter({ej, ej + 1, true}, columnsAfter);
  }
  if (eyeColumnInside) {
    quarter(rowsBefore, {ei, ei + 1, true});
    quarter(rowsAfter, {ei, ei + 1, true});
  }
  if (eyeRowInside && eyeColumnInside) cell(ei, ej);
}

void drawDepthStrokes(RenderPass& pass, const DepthTarget& target, const ScreenPoint* entries, const float* invW,
                      int32_t count, bool plumbLines) {
  bool hidden = false;
  int lastX = 0, lastY = 0;
  float lastDepth = 0;
  // The depths a stroke reads lie all over the picture: ask for them a few
  // entries ahead, so that their loads overlap.
  constexpr int32_t kAhead = 12;
  for (int32_t i = 0; i < count; ++i) {
    if (i + kAhead < count) {
      const ScreenPoint& next = entries[i + kAhead];
      if (next.x >= 0 && next.x < target.width && next.y >= target.top && next.y < target.bottom)
        __builtin_prefetch(target.depth + static_cast<size_t>(next.y) * target.width + next.x);
    }
    const ScreenPoint& s = entries[i];
    if (s.pen != kPenLine || i == 0) {
      hidden = s.pen > kPenLine;
    } else if (hidden) {
      hidden = false;
    } else if (std::max(lastY, s.y) >= target.top && std::min(lastY, s.y) < target.bottom) {
      pass.canvas.setPenColor(s.color);
      depthSegment(pass, target, lastX, lastY, lastDepth, s.x, s.y, invW[i], plumbLines);
    }
    lastX = s.x;
    lastY = s.y;
    lastDepth = invW[i];
  }
}

}  // namespace trelvano
