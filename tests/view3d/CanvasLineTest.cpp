// The direct line rasterizer: which pixels a line sets, thick lines, XOR,
// and clipping of lines that leave the picture.
#include "RenderTestSupport.h"
#include "canvas/Canvas.h"
#include "canvas/SteepRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace canvas_line_test {

using namespace trelvano;

namespace {

constexpr int32_t kInk = 0x00123456;

std::vector<QPoint> drawOne(int w, int h, QPoint from, QPoint to, int width = 1) {
  QImage img = blankImage(w, h);
  {
    Canvas c(img);
    c.setPenColor(kInk);
    c.setPenWidth(width);
    c.moveTo(from.x(), from.y());
    c.lineTo(to.x(), to.y());
  }
  return pixelsOf(img, kInk);
}

std::vector<QPoint> pts(std::initializer_list<QPoint> l) { return sortedRowOrder(std::vector<QPoint>(l)); }

// The pixel rule written out plainly, one pixel at a time: step k of D along
// the major axis, the minor offset floor((2k·Dm + D) / 2D), the second pixel
// of a wide line below (x-major) or right (y-major), everything outside skipped.
void referenceLine(QImage& img, QPoint a, QPoint b, int32_t bgr, int width, bool xorMode) {
  const int64_t dx = b.x() - a.x(), dy = b.y() - a.y();
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const int64_t D = xMajor ? std::llabs(dx) : std::llabs(dy), Dm = xMajor ? std::llabs(dy) : std::llabs(dx);
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  auto plot = [&](int64_t x, int64_t y) {
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return;
    const uint32_t old = img.pixel(int(x), int(y));
    img.setPixel(int(x), int(y), xorMode ? (old ^ (toRgb32(bgr) & 0xFFFFFFu)) : toRgb32(bgr));
  };
  for (int64_t k = 0; k < D; ++k) {
    const int64_t m = (2 * k * Dm + D) / (2 * D);
    const int64_t x = a.x() + (xMajor ? sx * k : sx * m), y = a.y() + (xMajor ? sy * m : sy * k);
    // The main pixel must be inside for its neighbour to be drawn.
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) continue;
    plot(x, y);
    if (width == 2) plot(xMajor ? x : x + 1, xMajor ? y + 1 : y);
  }
}

}  // namespace

TEST(CanvasLine, SetsEveryPixelExceptTheEndPixel) {
  // Horizontal, both directions.
  EXPECT_EQ(drawOne(20, 10, {2, 5}, {6, 5}), pts({{2, 5}, {3, 5}, {4, 5}, {5, 5}}));
  EXPECT_EQ(drawOne(20, 10, {6, 5}, {2, 5}), pts({{3, 5}, {4, 5}, {5, 5}, {6, 5}}));
  // Vertical.
  EXPECT_EQ(drawOne(20, 10, {3, 1}, {3, 4}), pts({{3, 1}, {3, 2}, {3, 3}}));
  EXPECT_EQ(drawOne(20, 10, {3, 4}, {3, 1}), pts({{3, 4}, {3, 3}, {3, 2}}));
  // Diagonals.
  EXPECT_EQ(drawOne(20, 10, {0, 0}, {4, 4}), pts({{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
  EXPECT_EQ(drawOne(20, 10, {10, 2}, {7, 5}), pts({{10, 2}, {9, 3}, {8, 4}}));
  // Shallow: y follows x/3 rounded.
  EXPECT_EQ(drawOne(20, 10, {0, 0}, {6, 2}), pts({{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}));
  // Steep: x follows y/3 rounded.
  EXPECT_EQ(drawOne(20, 10, {0, 0}, {2, 6}), pts({{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 5}}));
  // A line to its own start draws nothing.
  EXPECT_TRUE(drawOne(20, 10, {4, 4}, {4, 4}).empty());
}

TEST(CanvasLine, ConsecutiveSegmentsShareNoPixelAndReachTheirEnds) {
  QImage img = blankImage(40, 30);
  Canvas c(img);
  c.setPenColor(kInk);
  c.moveTo(1, 1);
  c.lineTo(30, 5);
  c.lineTo(12, 25);
  c.lineTo(1, 1);
  EXPECT_EQ(c.penPosition(), QPoint(1, 1));
  // Each vertex is set exactly once: by the segment that starts there.
  EXPECT_EQ(c.pixel(1, 1), kInk);
  EXPECT_EQ(c.pixel(30, 5), kInk);
  EXPECT_EQ(c.pixel(12, 25), kInk);
  c.flush();
  // 29 + 20 + 24 steps along the major axes.
  EXPECT_EQ(countOf(img, kInk), 29 + 20 + 24);
}

TEST(CanvasLine, WidthTwoAddsThePixelBelowOrRight) {
  EXPECT_EQ(drawOne(20, 10, {2, 5}, {5, 5}, 2), pts({{2, 5}, {3, 5}, {4, 5}, {2, 6}, {3, 6}, {4, 6}}));
  EXPECT_EQ(drawOne(20, 10, {7, 1}, {7, 4}, 2), pts({{7, 1}, {8, 1}, {7, 2}, {8, 2}, {7, 3}, {8, 3}}));
  // At the bottom row and the right column the second pixel falls away.
  EXPECT_EQ(drawOne(20, 10, {0, 9}, {3, 9}, 2), pts({{0, 9}, {1, 9}, {2, 9}}));
  EXPECT_EQ(drawOne(20, 10, {19, 0}, {19, 2}, 2), pts({{19, 0}, {19, 1}}));
}

TEST(CanvasLine, XorInvertsThePenBitsAndTwiceRestoresThePicture) {
  QImage img(64, 48, QImage::Format_RGB32);
  std::mt19937 rng(7);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, 0xFF000000u | (rng() & 0xFFFFFFu));
  const QImage before = img.copy();
  {
    Canvas c(img);
    c.setPenMode(PenMode::Xor);
    c.setPenColor(colours::kRed);
    c.moveTo(3, 40);
    c.lineTo(3, 40);  // nothing
    c.lineTo(10, 10);
    EXPECT_EQ(c.pixel(3, 40), fromRgb32(before.pixel(3, 40)) ^ colours::kRed);
    EXPECT_EQ(c.pixel(10, 10), fromRgb32(before.pixel(10, 10)));  // end pixel untouched
  }
  EXPECT_NE(img, before);
  for (int width : {1, 2}) {
    Canvas c(img);
    c.setPenMode(PenMode::Xor);
    c.setPenWidth(width);
    c.setPenColor(colours::kBlue);
    for (int pass = 0; pass < 2; ++pass) {
      c.moveTo(-20, 5);
      c.lineTo(60, 30);
      c.lineTo(5, 47);
      c.lineTo(63, 0);
      c.lineTo(20, 80);
    }
  }
  // Undo the first red line with a second one.
  {
    Canvas c(img);
    c.setPenMode(PenMode::Xor);
    c.setPenColor(colours::kRed);
    c.moveTo(3, 40);
    c.lineTo(10, 10);
  }
  EXPECT_EQ(img, before);
  // XOR keeps the pixels opaque.
  EXPECT_EQ(qAlpha(img.pixel(5, 5)), 255);
}

TEST(CanvasLine, RandomScenesMatchThePixelRule) {
  // Lines partly or far outside the picture, wide and XOR lines, and many
  // long, nearly vertical lines of one colour (the plumb lines of a flight,
  // which the canvas draws column by column) over and between other colours,
  // single pixels and filled rectangles: the picture must equal one drawn
  // pixel by pixel.
  constexpr int kW = 120, kH = 90;
  const int32_t palette[3] = {colours::kShadow, colours::kBlue, kInk};
  std::mt19937 rng(11);
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int scene = 0; scene < 60; ++scene) {
    QImage img = blankImage(kW, kH), ref = blankImage(kW, kH);
    Canvas c(img);
    for (int op = 0; op < 200; ++op) {
      const int kind = uni(0, 9);
      if (kind <= 5) {
        // Steep and long, mostly in the first colour: nearly vertical, or
        // with runs of a few rows per column.
        const int x = uni(-5, kW + 5), y = uni(-30, kH), len = uni(16, 120);
        const int spread = len / (uni(0, 1) ? 16 : 2);
        const QPoint a(x, y), b(x + uni(-spread, spread), y + (uni(0, 1) ? len : -len));
        const int32_t colour = palette[uni(0, 5) == 0 ? 1 : 0];
        c.setPenMode(PenMode::Copy);
        c.setPenWidth(1);
        c.setPenColor(colour);
        c.moveTo(a.x(), a.y());
        c.lineTo(b.x(), b.y());
        referenceLine(ref, a, b, colour, 1, false);
      } else if (kind <= 7) {
        const int reach = uni(0, 1) ? 20 : 250;
        const QPoint a(uni(-reach, kW + reach), uni(-reach, kH + reach));
        const QPoint b(uni(-reach, kW + reach), uni(-reach, kH + reach));
        const int32_t colour = palette[uni(0, 2)];
        const int width = uni(1, 2);
        const bool xorMode = uni(0, 3) == 0;
        c.setPenMode(xorMode ? PenMode::Xor : PenMode::Copy);
        c.setPenWidth(width);
        c.setPenColor(colour);
        c.moveTo(a.x(), a.y());
        c.lineTo(b.x(), b.y());
        referenceLine(ref, a, b, colour, width, xorMode);
      } else if (kind == 8) {
        const int x = uni(0, kW - 1), y = uni(0, kH - 1);
        c.setPixel(x, y, colours::kRed);
        ref.setPixel(x, y, toRgb32(colours::kRed));
      } else {
        const int x = uni(0, kW - 10), y = uni(0, kH - 10);
        c.setBrushColor(colours::kGreen);
        c.fillRect(x, y, x + 8, y + 8);
        for (int yy = y; yy < y + 8; ++yy)
          for (int xx = x; xx < x + 8; ++xx) ref.setPixel(xx, yy, toRgb32(colours::kGreen));
      }
      // Every few steps: later drawing would hide a wrong pixel, and the
      // steep lines in between stay pending until the flush.
      if (op % 7 == 6 || op == 199) {
        c.flush();
        ASSERT_EQ(img, ref) << "scene " << scene << ", step " << op;
      }
    }
  }
}

// Two canvases that each write one band of rows paint, together, the picture
// one canvas paints: lines of both widths, in copy and XOR mode, crossing the
// bands, far outside or along their edges, and polygons above, below and
// across them.
TEST(CanvasLine, TwoBandsPaintWhatOneCanvasPaints) {
  constexpr int kW = 90, kH = 70;
  struct Op {
    bool polygon;
    QPoint p[4];
    int width;
    bool xorMode;
    int32_t colour;
  };
  std::mt19937 rng(23);
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int splits[] = {1, kH / 3, kH / 2, kH - 1};
  std::vector<Op> ops;
  for (int k = 0; k < 4000; ++k) {
    Op op{uni(0, 3) == 0, {}, uni(1, 2), uni(0, 4) == 0, uni(0, 1) ? kInk : colours::kBlue};
    if (k % 2) {  // small, just above, on or below a band's edge
      const QPoint at(uni(0, kW), splits[uni(0, 3)] + uni(-3, 1));
      for (QPoint& q : op.p) q = at + QPoint(uni(-10, 10), uni(-2, 0));
    } else {
      const int reach = uni(0, 3) == 0 ? 200 : 10;
      const QPoint at(uni(-reach, kW + reach), uni(-reach, kH + reach));
      for (QPoint& q : op.p) q = at + QPoint(uni(-25, 25), uni(-40, 40));
    }
    ops.push_back(op);
  }
  auto paint = [&](QImage& img, int top, int bottom) {
    Canvas c(img);
    c.setWriteRows(top, bottom);
    for (const Op& op : ops) {
      c.setPenWidth(op.width);
      c.setPenMode(op.xorMode ? PenMode::Xor : PenMode::Copy);
      c.setPenColor(op.colour);
      c.setBrushColor(op.colour ^ 0x00FF00);
      if (op.polygon) {
        c.polygon(op.p, 4);
      } else {
        c.moveTo(op.p[0].x(), op.p[0].y());
        c.lineTo(op.p[1].x(), op.p[1].y());
      }
    }
  };
  QImage whole = blankImage(kW, kH);
  paint(whole, 0, kH);
  for (int split : splits) {
    QImage banded = blankImage(kW, kH);
    paint(banded, 0, split);
    paint(banded, split, kH);
    EXPECT_EQ(banded, whole) << "split at row " << split;
  }
}

TEST(CanvasLine, ShortLinesInsideMatchThePixelRule) {
  // Segments of a few pixels with both ends inside (flight segments, map-cell
  // outlines), wide ones also along the last row and column.
  constexpr int kW = 24, kH = 18;
  std::mt19937 rng(5);
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  QImage img = blankImage(kW, kH), ref = blankImage(kW, kH);
  Canvas c(img);
  for (int op = 0; op < 4000; ++op) {
    const QPoint a(uni(0, kW - 1), uni(0, kH - 1));
    const QPoint b(std::clamp(a.x() + uni(-15, 15), 0, kW - 1), std::clamp(a.y() + uni(-15, 15), 0, kH - 1));
    const int32_t colour = op % 3 ? kInk : colours::kBlue;
    const int width = uni(1, 2);
    c.setPenWidth(width);
    c.setPenColor(colour);
    c.moveTo(a.x(), a.y());
    c.lineTo(b.x(), b.y());
    referenceLine(ref, a, b, colour, width, false);
    ASSERT_EQ(img, ref) << "step " << op;
  }
}

TEST(CanvasLine, HugeCoordinatesAreCutQuickly) {
  // A line over four billion pixels crosses the picture in one row change.
  QImage img = blankImage(50, 20);
  Canvas c(img);
  c.setPenColor(kInk);
  c.moveTo(-2000000000, 5);
  c.lineTo(2000000000, 15);
  c.flush();
  EXPECT_EQ(countOf(img, kInk), 50);
  for (int x = 0; x < 50; ++x) EXPECT_EQ(pixelAt(img, x, 10), kInk) << x;
}

TEST(CanvasLine, NothingIsWrittenOutsideThePicture) {
  // The picture sits inside a larger buffer: guard rows above and below, and
  // three guard pixels at the end of every line.
  constexpr int kW = 31, kH = 19, kStride = kW + 3;
  constexpr uint32_t kGuard = 0xA5A5A5A5u;
  std::vector<uint32_t> buffer(static_cast<size_t>(kStride) * (kH + 2), kGuard);
  QImage img(reinterpret_cast<uchar*>(buffer.data() + kStride), kW, kH, kStride * 4, QImage::Format_RGB32);
  img.fill(toRgb32(colours::kBackground));
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> coord(-60, 90);
  std::uniform_int_distribution<int> huge(-2000000000, 2000000000);
  {
    Canvas c(img);
    c.setPenColor(colours::kWhite);
    for (int n = 0; n < 3000; ++n) {
      c.setPenWidth(1 + n % 2);
      c.setPenMode(n % 3 == 0 ? PenMode::Xor : PenMode::Copy);
      if (n % 50 == 0) c.moveTo(huge(rng), huge(rng));
      c.lineTo(n % 7 == 0 ? huge(rng) : coord(rng), coord(rng));
      // Lines along the outermost rows and columns and one pixel outside them.
      c.moveTo(-1, n % kH);
      c.lineTo(kW, n % kH);
      c.moveTo(n % kW, kH);
      c.lineTo(n % kW, -1);
    }
    c.setPixel(kW, 0, 0);
    c.setPixel(-1, 3, 0);
    c.setPixel(0, kH, 0);
    EXPECT_EQ(c.pixel(kW, 0), -1);
    EXPECT_EQ(c.pixel(0, -1), -1);
    c.setBrushColor(0);
    c.fillRect(-100, -100, 0, 500);
    c.fillRect(kW, -100, 1000, 1000);
    const QPoint across[3] = {{-50, kH / 2}, {kW + 50, -40}, {kW + 3, kH + 70}};
    const QPoint hugeQuad[4] = {{-2000000000, 3}, {2000000000, -2000000000}, {2000000000, 2000000000}, {5, kH + 1}};
    c.polygon(across, 3);
    c.polygon(hugeQuad, 4);
    c.setPenMode(PenMode::Xor);
    c.polygon(across, 3);
    c.drawFocusRect(-5, -5, kW + 5, kH + 5);
    c.drawFocusRect(-2000000000, -2000000000, 2000000000, 2000000000);
  }
  for (int row = 0; row < kH + 2; ++row)
    for (int col = 0; col < kStride; ++col) {
      const bool insidePicture = row >= 1 && row <= kH && col < kW;
      if (!insidePicture) {
        ASSERT_EQ(buffer[static_cast<size_t>(row) * kStride + col], kGuard) << row << "," << col;
      }
    }
}

TEST(SteepRuns, BothMarkingsSetTheSameBits) {
  // Steep lines of every slope, both directions, from and to the picture's
  // edges, with the error numerator a clipped line starts with: the fastest
  // marking (four columns at a time where the processor allows) must set
  // the bits of the plain loop and end in the same column. The mask has
  // just the slack it needs, so a stray word shows under the address checker.
  constexpr int kW = 97, kH = 300;
  constexpr ptrdiff_t kWords = kW * ((kH + 63) / 64 + 1) + 2 * kSteepMaskSlack;
  std::mt19937 rng(31);
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int n = 0; n < 20000; ++n) {
    const int yDir = uni(0, 1) ? 1 : -1, xDir = uni(0, 1) ? 1 : -1;
    const int rows = uni(2, kH);
    const int columns = std::min(uni(0, 3) ? rows / uni(1, 40) : rows - 1, kW - 1);
    const int x = xDir > 0 ? uni(0, kW - 1 - columns) : uni(columns, kW - 1);
    const int y = yDir > 0 ? uni(0, kH - rows) : uni(rows - 1, kH - 1);
    // A line of D rows and Dm columns, entered at step k of its D.
    const int64_t D = rows + uni(0, 3) * uni(0, 1000), Dm = std::min<int64_t>(columns, D - 1);
    const int64_t k = uni(0, 3) ? 0 : uni(0, static_cast<int>(D - 1));
    const int64_t r = (2 * k * Dm + D) % (2 * D);
    const SteepLine line{x, y, yDir, xDir, std::min<int64_t>(rows, D - k), r, 2 * Dm, 2 * D};
    std::vector<uint64_t> fast(kWords), plain(kWords);
    const int fastEnd = markSteepLine(fast.data() + kSteepMaskSlack, kW, line, RunMarking::Fastest);
    const int plainEnd = markSteepLine(plain.data() + kSteepMaskSlack, kW, line, RunMarking::Portable);
    ASSERT_EQ(fastEnd, plainEnd) << "line " << n;
    ASSERT_EQ(fast, plain) << "line " << n;
  }
}

}  // namespace canvas_line_test
