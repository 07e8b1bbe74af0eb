#include "canvas/Canvas.h"

#include "model/Colour.h"
#include "canvas/SteepRuns.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <climits>
#include <cstdlib>
#include <stdexcept>

namespace trelvano {

namespace {

constexpr uint32_t kColourBits = 0x00FFFFFFu;
// Steep lines of at least this many pixels are collected as runs of rows per
// column and written at the next settle. Below that the bookkeeping costs
// more than the pixels it saves.
constexpr int64_t kMinPendingLine = 16;
// Polygons with at most this many corners fill without the heap.
constexpr int kSmallPolygon = 8;

// Smallest integer >= a / b for b > 0.
template <class Int>
Int ceilDiv(Int a, Int b) {
  return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// (a · b + c) / d, in 64 bits when every product fits (|a|, |b|, |c| < 2^30,
// as for any line within a few times the picture), else in 128.
int64_t mulAddDiv(int64_t a, int64_t b, int64_t c, int64_t d) {
  constexpr int64_t kSmall = int64_t{1} << 30;
  if (std::llabs(a) < kSmall && std::llabs(b) < kSmall && std::llabs(c) < kSmall) {
    const int64_t n = a * b + c;
    // A 32-bit division where both fit: a fraction of the time of a 64-bit one.
    if (n >= 0 && n <= UINT32_MAX && d > 0 && d <= UINT32_MAX) return uint32_t(n) / uint32_t(d);
    return n / d;
  }
  return static_cast<int64_t>((__int128(a) * b + c) / d);
}

// One run of line pixels along the major axis. r is the error numerator of
// the first pixel; the minor coordinate steps when r reaches twoD. mc is the absolute
// minor coordinate, tracked only when a pixel of a wide line may fall outside
// [minorFirst, minorEnd): the second pixel off the last row or column, or the
// first one above the write band while its second pixel lies in it.
template <bool kXor, bool kWide, bool kCheckBeside>
void plotRun(uint32_t* p, ptrdiff_t majorStep, ptrdiff_t minorStep, ptrdiff_t besideStep, int64_t count, int64_t r,
             int64_t twoDm, int64_t twoD, int64_t mc, int minorDir, int minorFirst, int minorEnd, uint32_t colour) {
  const uint32_t xorBits = colour & kColourBits;
  for (int64_t k = 0; k < count; ++k) {
    if (!kCheckBeside || mc >= minorFirst) {
      if constexpr (kXor)
        *p ^= xorBits;
      else
        *p = colour;
    }
    if constexpr (kWide) {
      if (!kCheckBeside || mc + 1 < minorEnd) {
        if constexpr (kXor)
          p[besideStep] ^= xorBits;
        else
          p[besideStep] = colour;
      }
    }
    p += majorStep;
    r += twoDm;
    if (r >= twoD) {
      r -= twoD;
      p += minorStep;
      if constexpr (kCheckBeside) mc += minorDir;
    }
  }
}

Qt::PenStyle qtStyle(PenStyle s) {
  switch (s) {
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::DashDot: return Qt::DashDotLine;
    case PenStyle::Solid: break;
  }
  return Qt::SolidLine;
}

}  // namespace

Canvas::Canvas(QImage& image) : image_(image) {
  if (!image.isNull() && image.format() != QImage::Format_RGB32)
    throw std::invalid_argument("Canvas needs an RGB32 image");
  bits_ = reinterpret_cast<uint32_t*>(image_.bits());  // detaches a shared image once, here
  stride_ = static_cast<int>(image_.bytesPerLine() / 4);
  w_ = image_.width();
  h_ = image_.height();
  rowBottom_ = h_;
}

void Canvas::setWriteRows(int top, int bottom) {
  rowTop_ = std::clamp(top, 0, h_);
  rowBottom_ = std::clamp(bottom, rowTop_, h_);
}

Canvas::~Canvas() { flush(); }

void Canvas::setPenWidth(int width) {
  width = std::max(width, 1);
  if (width == penWidth_) return;
  penWidth_ = width;
  painterStale_ = true;
}

void Canvas::setPenStyle(PenStyle style) {
  if (style == penStyle_) return;
  penStyle_ = style;
  painterStale_ = true;
}

void Canvas::setPenMode(PenMode mode) {
  if (mode == penMode_) return;
  penMode_ = mode;
  painterStale_ = true;
}

void Canvas::setBrushColor(int32_t bgr) {
  if (bgr == brushBgr_) return;
  brushBgr_ = bgr;
  painterStale_ = true;
}

void Canvas::setFontColor(int32_t bgr) {
  if (bgr == fontBgr_) return;
  fontBgr_ = bgr;
  painterStale_ = true;
}

QPainter& Canvas::painter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, false);
    QFont font = QGuiApplication::font();
    font.setStyleStrategy(QFont::NoAntialias);  // plain pixels in the text colour
    painter_->setFont(font);
    // Opening the painter must not move the pixels under the rasterizer.
    bits_ = reinterpret_cast<uint32_t*>(image_.bits());
    painterStale_ = true;
  }
  return *painter_;
}

void Canvas::syncPainter(bool forText) {
  QPainter& p = painter();
  if (!painterStale_ && painterForText_ == forText) return;
  if (forText) {
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(toQColor(fontBgr_)));
    p.setBrush(Qt::NoBrush);
  } else {
    p.setCompositionMode(penMode_ == PenMode::Xor ? QPainter::RasterOp_SourceXorDestination
                                                  : QPainter::CompositionMode_SourceOver);
    // Cosmetic pen with flat caps: the end pixel of a line stays unset, as in the rasterizer.
    QPen pen(toQColor(penBgr_), penWidth_ == 1 ? 0 : penWidth_, qtStyle(penStyle_), Qt::FlatCap, Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(toQColor(brushBgr_));
  }
  painterStale_ = false;
  painterForText_ = forText;
}

void Canvas::flush() {
  settle();
  if (painter_) {
    painter_->end();
    painter_.reset();
  }
}

void Canvas::fillRect(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, rowTop_);
  right = std::min(right, w_);
  bottom = std::min(bottom, rowBottom_);
  if (left >= right || top >= bottom) return;
  settle();
  const uint32_t c = toRgb32(brushBgr_);
  for (int y = top; y < bottom; ++y) {
    uint32_t* row = bits_ + static_cast<ptrdiff_t>(y) * stride_;
    std::fill(row + left, row + right, c);
  }
}

void Canvas::lineTo(int x, int y) {
  if (penStyle_ == PenStyle::Solid && penWidth_ <= 2)
    rasterLine(penX_, penY_, x, y);
  else
    painterLine(penX_, penY_, x, y);
  penX_ = x;
  penY_ = y;
}

void Canvas::painterLine(int x0, int y0, int x1, int y1) {
  if ((x0 == x1 && y0 == y1) || image_.isNull()) return;
  settle();
  syncPainter(false);
  painter_->drawLine(x0, y0, x1, y1);
}

// Pixel k = 0 … D−1 of a line whose major axis advances by D: the major
// coordinate is start + k, the minor one start + floor((2k·Dm + D) / 2D), that
// is k·Dm/D rounded with halves away from the start. Lines that leave the
// image are cut to the steps whose pixel lies inside, computed in closed form,
// so a far-away end point costs nothing. Within a write band, a step is cut
// to the pixels that fall in the band.
void Canvas::rasterLine(int x0, int y0, int x1, int y1) {
  const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
  if (dx == 0 && dy == 0) return;
  // Every pixel row lies between the end rows (the second pixel of a wide line one below).
  if (std::max(y0, y1) < rowTop_ - 1 || std::min(y0, y1) >= rowBottom_) return;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const int64_t dMajor = xMajor ? dx : dy, dMinor = xMajor ? dy : dx;
  const int64_t D = std::llabs(dMajor), Dm = std::llabs(dMinor);
  const int majorDir = dMajor > 0 ? 1 : -1, minorDir = dMinor >= 0 ? 1 : -1;
  const int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
  const bool wide = penWidth_ == 2;
  // The steps drawn: major and minor coordinate in these ranges. A step of a
  // wide x-major line just above the band still puts its second pixel into
  // it; above the picture's first row it is no step of the line.
  const int majorLo = xMajor ? 0 : rowTop_, majorHi = xMajor ? w_ - 1 : rowBottom_ - 1;
  const int minorLo = xMajor ? std::max(0, rowTop_ - (wide ? 1 : 0)) : 0, minorHi = xMajor ? rowBottom_ - 1 : w_ - 1;
  // Pixels are written at minor coordinates in [minorFirst, minorEnd).
  const int minorFirst = xMajor ? rowTop_ : 0, minorEnd = xMajor ? rowBottom_ : w_;

  int64_t kFirst = 0, kLast = D - 1;
  const bool bothInside = static_cast<unsigned>(x0) < static_cast<unsigned>(w_) &&
                          static_cast<unsigned>(y0 - rowTop_) < static_cast<unsigned>(rowBottom_ - rowTop_) &&
                          static_cast<unsigned>(x1) < static_cast<unsigned>(w_) &&
                          static_cast<unsigned>(y1 - rowTop_) < static_cast<unsigned>(rowBottom_ - rowTop_);
  // Short plain lines inside the picture (flight segments, the outlines of the
  // map cells): nothing to cut and too short for the column spans.
  if (bothInside && D < kMinPendingLine && penWidth_ <= 2 && penMode_ == PenMode::Copy) {
    if (penRgb_ != pendingRgb_) settle();
    uint32_t* p = bits_ + static_cast<ptrdiff_t>(y0) * stride_ + x0;
    const ptrdiff_t majorStep = xMajor ? majorDir : ptrdiff_t(majorDir) * stride_;
    const ptrdiff_t minorStep = xMajor ? ptrdiff_t(minorDir) * stride_ : minorDir;
    const ptrdiff_t besideStep = xMajor ? stride_ : 1;  // below an x-major pixel, right of a y-major one
    if (penWidth_ == 1)
      plotRun<false, false, false>(p, majorStep, minorStep, 0, D, D, 2 * Dm, 2 * D, 0, 0, 0, 0, penRgb_);
    else if (std::max(minor0, minor0 + minorDir * Dm) + 1 < minorEnd)  // the second pixel stays inside
      plotRun<false, true, false>(p, majorStep, minorStep, besideStep, D, D, 2 * Dm, 2 * D, 0, 0, 0, 0, penRgb_);
    else
      plotRun<false, true, true>(p, majorStep, minorStep, besideStep, D, D, 2 * Dm, 2 * D, minor0, minorDir, minorFirst,
                                 minorEnd, penRgb_);
    return;
  }
  if (!bothInside) {
    if (w_ <= 0 || rowTop_ >= rowBottom_) return;
    // Steps whose major coordinate lies inside.
    if (majorDir > 0) {
      kFirst = std::max(kFirst, majorLo - major0);
      kLast = std::min(kLast, majorHi - major0);
    } else {
      kFirst = std::max(kFirst, major0 - majorHi);
      kLast = std::min(kLast, major0 - majorLo);
    }
    // Minor offsets m inside, then the steps whose offset lies in [mLo, mHi].
    // With both ends' minor coordinates inside, every step's is: no cut, and
    // no division (a line that only crosses into the other band).
    const int64_t minor1 = minor0 + minorDir * Dm;
    const bool minorInside = std::min(minor0, minor1) >= minorLo && std::max(minor0, minor1) <= minorHi;
    const int64_t mLo = minorDir > 0 ? minorLo - minor0 : minor0 - minorHi;
    const int64_t mHi = minorDir > 0 ? minorHi - minor0 : minor0 - minorLo;
    if (minorInside) {
      // kFirst and kLast stay as the major range cut them.
    } else if (Dm == 0) {
      if (mLo > 0 || mHi < 0) return;
    } else {
      __int128 lo, hi;
      constexpr int64_t kSmall = int64_t{1} << 30;
      if (D < kSmall && std::llabs(mLo) < kSmall && std::llabs(mHi) < kSmall) {
        lo = ceilDiv<int64_t>((2 * mLo - 1) * D, 2 * Dm);
        hi = ceilDiv<int64_t>((2 * mHi + 1) * D, 2 * Dm) - 1;
      } else {
        const __int128 twoDm = 2 * __int128(Dm);
        lo = ceilDiv<__int128>((2 * __int128(mLo) - 1) * D, twoDm);
        hi = ceilDiv<__int128>((2 * __int128(mHi) + 1) * D, twoDm) - 1;
      }
      if (lo > kLast || hi < kFirst) return;
      kFirst = std::max<int64_t>(kFirst, static_cast<int64_t>(lo));
      kLast = std::min<int64_t>(kLast, static_cast<int64_t>(hi));
    }
    if (kFirst > kLast) return;
  }

  const int64_t twoD = 2 * D;
  int64_t m = 0, r = D;  // minor offset and error numerator of step kFirst
  if (kFirst > 0) {
    m = mulAddDiv(2 * kFirst, Dm, D, twoD);
    // The remainder, below twoD, comes out right modulo 2^64.
    r = static_cast<int64_t>(uint64_t(2 * kFirst) * uint64_t(Dm) + uint64_t(D) - uint64_t(m) * uint64_t(twoD));
  }
  const int64_t major = major0 + majorDir * kFirst;
  const int64_t minor = minor0 + minorDir * m;
  const int64_t x = xMajor ? major : minor, y = xMajor ? minor : major;
  const int64_t count = kLast - kFirst + 1;
  const bool isXor = penMode_ == PenMode::Xor;

  if (!isXor && penWidth_ == 1 && !xMajor && count >= kMinPendingLine) {
    steepLine(SteepLine{static_cast<int>(x), static_cast<int>(y), majorDir, minorDir, count, r, 2 * Dm, twoD});
    return;
  }
  // Pending pixels of another colour go first; those of this colour may come at any time.
  if (isXor || penRgb_ != pendingRgb_) settle();

  uint32_t* p = bits_ + static_cast<ptrdiff_t>(y) * stride_ + x;
  const ptrdiff_t majorStep = xMajor ? majorDir : ptrdiff_t(majorDir) * stride_;
  const ptrdiff_t minorStep = xMajor ? ptrdiff_t(minorDir) * stride_ : minorDir;
  const ptrdiff_t besideStep = xMajor ? stride_ : 1;  // below an x-major pixel, right of a y-major one
  auto run = [&](auto plot) {
    plot(p, majorStep, minorStep, besideStep, count, r, 2 * Dm, twoD, minor, minorDir, minorFirst, minorEnd, penRgb_);
  };
  if (penWidth_ != 2) {
    if (isXor)
      run(plotRun<true, false, false>);
    else
      run(plotRun<false, false, false>);
    return;
  }
  // The pixels need a check only if the run reaches the last row or column,
  // or starts or ends just above the band.
  const int64_t minorLast = minor0 + minorDir * mulAddDiv(2 * kLast, Dm, D, twoD);
  if (std::max(minor, minorLast) + 1 >= minorEnd || std::min(minor, minorLast) < minorFirst) {
    if (isXor)
      run(plotRun<true, true, true>);
    else
      run(plotRun<false, true, true>);
  } else {
    if (isXor)
      run(plotRun<true, true, false>);
    else
      run(plotRun<false, true, false>);
  }
}

// Steep lines of one colour (the plumb lines) cover the same pixels again
// and again, so their pixels are only marked in a bit mask of the picture
// (small enough to stay in the cache) and every marked pixel is written
// once, at the next settle.
void Canvas::steepLine(const SteepLine& line) {
  if (penRgb_ != pendingRgb_) {
    settle();
    pendingRgb_ = penRgb_;
  }
  // One spare row of words: a run's second word may lie below the last row.
  const size_t words = static_cast<size_t>(w_) * static_cast<size_t>((h_ + 63) / 64 + 1) + 2 * kSteepMaskSlack;
  if (pending_.size() != words) pending_.assign(words, 0);

  const int lineTop = line.yDir > 0 ? line.y : static_cast<int>(line.y - (line.count - 1));
  pendingTop_ = std::min(pendingTop_, lineTop);
  pendingBottom_ = std::max(pendingBottom_, lineTop + static_cast<int>(line.count));
  const int lastX = markSteepLine(pendingMask(), w_, line);
  pendingLeft_ = std::min({pendingLeft_, line.x, lastX});
  pendingRight_ = std::max({pendingRight_, line.x, lastX});
}

// Writes the marked pixels, a band of 64 rows at a time, and clears the mask.
void Canvas::settle() const {
  if (pendingLeft_ > pendingRight_) return;
  const uint32_t colour = pendingRgb_;
  uint64_t* const mask = pendingMask();
  for (int w = pendingTop_ >> 6, wEnd = (pendingBottom_ - 1) >> 6; w <= wEnd; ++w) {
    uint64_t* word = mask + static_cast<size_t>(w) * static_cast<size_t>(w_);
    uint32_t* const rows = bits_ + static_cast<ptrdiff_t>(w) * 64 * stride_;
    for (int x = pendingLeft_; x <= pendingRight_; ++x) {
      uint64_t b = word[x];
      if (!b) continue;
      word[x] = 0;
      // A run of marked rows at a time: where plumb lines crowd, most words
      // are one run or two.
      do {
        const int top = __builtin_ctzll(b);
        const uint64_t fromTop = b >> top;
        const int length = ~fromTop == 0 ? 64 - top : __builtin_ctzll(~fromTop);
        uint32_t* p = rows + static_cast<ptrdiff_t>(top) * stride_ + x;
        for (int k = 0; k < length; ++k, p += stride_) *p = colour;
        b = top + length >= 64 ? 0 : b & (~uint64_t{0} << (top + length));
      } while (b);
    }
  }
  pendingLeft_ = INT_MAX;
  pendingRight_ = INT_MIN;
  pendingTop_ = INT_MAX;
  pendingBottom_ = INT_MIN;
}

void Canvas::polygon(const QPoint* points, int count) {
  if (count <= 0) return;
  // A polygon wholly above or below the write rows leaves no pixel there:
  // neither its fill nor its outline (a wide line's second pixel lies one
  // row below). The map draws thousands per band, most of them in the other.
  if (penStyle_ == PenStyle::Solid && penWidth_ <= 2) {
    int minY = points[0].y(), maxY = minY;
    for (int i = 1; i < count; ++i) {
      minY = std::min(minY, points[i].y());
      maxY = std::max(maxY, points[i].y());
    }
    if (maxY < rowTop_ - 1 || minY >= rowBottom_) return;
  }
  fillPolygon(points, count);
  // The outline: every edge with the pen, the closing one last. Like the
  // platform's polygon, it leaves the pen position where it was.
  const int keepX = penX_, keepY = penY_;
  moveTo(points[0].x(), points[0].y());
  for (int i = 1; i < count; ++i) lineTo(points[i].x(), points[i].y());
  lineTo(points[0].x(), points[0].y());
  moveTo(keepX, keepY);
}

// Even-odd scanline fill: a pixel is inside when its centre is, rows sampled
// at y + 0.5 against edges taken half-open in y. The pixel map draws 9801 of
// these per redraw, most only a few pixels large, so this stays out of QPainter.
void Canvas::fillPolygon(const QPoint* points, int count) {
  int minY = points[0].y(), maxY = minY;
  for (int i = 1; i < count; ++i) {
    minY = std::min(minY, points[i].y());
    maxY = std::max(maxY, points[i].y());
  }
  const int firstRow = std::max(minY, rowTop_);
  const int lastRow = static_cast<int>(std::min<int64_t>(int64_t(maxY) - 1, rowBottom_ - 1));
  if (firstRow > lastRow || w_ <= 0) return;
  settle();
  const uint32_t colour = toRgb32(brushBgr_);
  const bool isXor = penMode_ == PenMode::Xor;
  // A row crosses at most `count` edges. Small polygons (the map cells, four
  // corners each, thousands per redraw) keep their crossings on the stack.
  double local[kSmallPolygon];
  if (count > kSmallPolygon && crossings_.size() < static_cast<size_t>(count)) crossings_.resize(count);
  double* const crossings = count > kSmallPolygon ? crossings_.data() : local;
  for (int y = firstRow; y <= lastRow; ++y) {
    const double yc = y + 0.5;
    int n = 0;
    for (int i = 0, j = count - 1; i < count; j = i++) {  // the edge from corner j to corner i
      const QPoint a = points[j], b = points[i];
      if ((a.y() <= yc) == (b.y() <= yc)) continue;  // not crossing this row's centre line
      crossings[n++] = a.x() + (yc - a.y()) * (double(b.x()) - a.x()) / (double(b.y()) - a.y());
    }
    if (n > kSmallPolygon) {
      std::sort(crossings, crossings + n);
    } else {
      for (int k = 1; k < n; ++k)  // insertion sort: a handful of values
        for (int j = k; j > 0 && crossings[j] < crossings[j - 1]; --j) std::swap(crossings[j], crossings[j - 1]);
    }
    uint32_t* row = bits_ + static_cast<ptrdiff_t>(y) * stride_;
    for (int k = 0; k + 1 < n; k += 2) {
      // Pixels whose centre x + 0.5 lies in [from, to).
      const double from = std::clamp(std::ceil(crossings[k] - 0.5), 0.0, double(w_));
      const double to = std::clamp(std::ceil(crossings[k + 1] - 0.5), 0.0, double(w_));
      for (int x = static_cast<int>(from); x < to; ++x) {
        if (isXor)
          row[x] ^= colour & kColourBits;
        else
          row[x] = colour;
      }
    }
  }
}

void Canvas::textOut(int x, int y, const QString& text) {
  if (text.isEmpty() || image_.isNull()) return;
  settle();
  QPainter& p = painter();
  const QFontMetrics fm(p.font());
  // The opaque background is the text's cell: its advance times the font height.
  fillRect(x, y, x + fm.horizontalAdvance(text), y + fm.height());
  syncPainter(true);
  p.drawText(x, y + fm.ascent(), text);
}

QSize Canvas::textSize(const QString& text) {
  if (text.isEmpty() || image_.isNull()) return {};
  const QFontMetrics fm(painter().font());
  return {fm.horizontalAdvance(text), fm.height()};
}

void Canvas::setPixel(int x, int y, int32_t bgr) {
  if (x < 0 || y < rowTop_ || x >= w_ || y >= rowBottom_) return;
  settle();
  bits_[static_cast<ptrdiff_t>(y) * stride_ + x] = toRgb32(bgr);
}

int32_t Canvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return -1;
  settle();
  return fromRgb32(bits_[static_cast<ptrdiff_t>(y) * stride_ + x]);
}

void Canvas::drawFocusRect(int left, int top, int right, int bottom) {
  if (left >= right || top >= bottom) return;
  settle();
  // Each border pixel once, inverted where x + y is even (a fixed checkerboard,
  // so overlapping rectangles line up).
  auto invert = [this](int x, int y) {
    if (x < 0 || y < rowTop_ || x >= w_ || y >= rowBottom_ || ((x + y) & 1)) return;
    bits_[static_cast<ptrdiff_t>(y) * stride_ + x] ^= kColourBits;
  };
  for (int x = std::max(left, 0), xEnd = std::min(right, w_); x < xEnd; ++x) {
    invert(x, top);
    if (bottom - 1 > top) invert(x, bottom - 1);
  }
  for (int y = std::max(top + 1, 0), yEnd = std::min(bottom - 1, h_); y < yEnd; ++y) {
    invert(left, y);
    if (right - 1 > left) invert(right - 1, y);
  }
}

}  // namespace trelvano
