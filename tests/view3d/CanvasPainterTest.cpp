// Canvas operations that go through the painter: text, polygons, styled
// lines, and their interplay with the rasterizer's direct writes.
#include "RenderTestSupport.h"
#include "canvas/Canvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace canvas_painter_test {

using namespace trelvano;

namespace {
constexpr int32_t kInk = 0x00123456;
constexpr int32_t kPaper = 0x00ABCDEF;
}  // namespace

TEST(CanvasFill, FillsTheHalfOpenRectangleClippedToThePicture) {
  QImage img = blankImage(20, 10);
  {
    Canvas c(img);
    c.setBrushColor(kInk);
    c.fillRect(2, 3, 5, 4);
    c.fillRect(18, 8, 40, 40);
    c.fillRect(5, 5, 5, 9);  // empty
  }
  EXPECT_EQ(pixelsOf(img, kInk), sortedRowOrder({{2, 3}, {3, 3}, {4, 3}, {18, 8}, {19, 8}, {18, 9}, {19, 9}}));
}

TEST(CanvasText, DrawsInTheFontColourOnAnOpaqueBrushBackground) {
  QImage img = blankImage(300, 60);
  const QString text = QStringLiteral("Höhe: 512m");
  {
    Canvas c(img);
    c.setBrushColor(colours::kWhite);
    c.textOut(10, 20, text);
  }
  const QFontMetrics fm(QGuiApplication::font());
  const QRect cell(10, 20, fm.horizontalAdvance(text), fm.height());
  int black = 0, white = 0, other = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const int32_t p = pixelAt(img, x, y);
      if (!cell.contains(x, y)) {
        ASSERT_EQ(p, colours::kBackground) << x << "," << y;
      } else if (p == colours::kBlack) {
        ++black;
      } else if (p == colours::kWhite) {
        ++white;
      } else {
        ++other;
      }
    }
  EXPECT_GT(black, 20);
  EXPECT_GT(white, black);
  EXPECT_EQ(other, 0) << "the text is drawn without smoothing, in black on white";
}

TEST(CanvasText, UsesTheFontColour) {
  QImage img = blankImage(100, 40);
  {
    Canvas c(img);
    c.setBrushColor(kPaper);
    c.setFontColor(colours::kRed);
    c.textOut(0, 0, QStringLiteral("XX"));
  }
  EXPECT_GT(countOf(img, colours::kRed), 5);
  EXPECT_EQ(countOf(img, colours::kBlack), 0);
}

TEST(CanvasPolygon, FillsWithTheBrushByTheEvenOddRuleAndOutlinesWithThePen) {
  QImage img = blankImage(60, 60);
  // A five-pointed star drawn in one stroke: its centre is crossed twice and stays empty.
  const QPoint star[5] = {{30, 2}, {47, 55}, {3, 22}, {57, 22}, {13, 55}};
  // An L-shaped, concave outline.
  const QPoint ell[6] = {{2, 2}, {12, 2}, {12, 20}, {25, 20}, {25, 27}, {2, 27}};
  {
    Canvas c(img);
    c.setPenColor(kInk);
    c.setBrushColor(kPaper);
    c.polygon(star, 5);
  }
  EXPECT_EQ(pixelAt(img, 30, 33), colours::kBackground);  // the centre
  EXPECT_EQ(pixelAt(img, 30, 10), kPaper);                // the top point
  EXPECT_EQ(pixelAt(img, 10, 24), kPaper);                // the left point
  img = blankImage(60, 60);
  {
    Canvas c(img);
    c.setPenColor(kInk);
    c.setBrushColor(kPaper);
    c.moveTo(40, 40);
    c.polygon(ell, 6);
    EXPECT_EQ(c.penPosition(), QPoint(40, 40));
  }
  EXPECT_EQ(pixelAt(img, 6, 10), kPaper);
  EXPECT_EQ(pixelAt(img, 20, 24), kPaper);
  EXPECT_EQ(pixelAt(img, 20, 10), colours::kBackground);  // the notch
  EXPECT_EQ(pixelAt(img, 12, 10), kInk);
  EXPECT_EQ(pixelAt(img, 25, 27), kInk);  // every corner is part of the outline
}

TEST(CanvasPolygon, FarOutsideCornersAreClipped) {
  QImage img = blankImage(30, 20);
  const QPoint huge[4] = {{-2000000000, -5}, {2000000000, -5}, {2000000000, 2000000000}, {-2000000000, 2000000000}};
  {
    Canvas c(img);
    c.setBrushColor(kPaper);
    c.setPenColor(kInk);
    c.polygon(huge, 4);
  }
  EXPECT_EQ(countOf(img, kPaper) + countOf(img, kInk), 30 * 20);
}

TEST(CanvasPolygon, DegeneratePolygonsDoNotFail) {
  QImage img = blankImage(40, 40);
  const QPoint pts[2] = {{3, 3}, {20, 3}};
  Canvas c(img);
  c.setPenColor(kInk);
  c.polygon(pts, 0);
  c.polygon(pts, 1);
  c.polygon(pts, 2);
  c.flush();
  EXPECT_GT(countOf(img, kInk), 0);
}

TEST(CanvasStyledLine, DottedLinesLeaveGapsAndNoEndPixel) {
  for (PenStyle style : {PenStyle::Dot, PenStyle::DashDot}) {
    QImage img = blankImage(60, 10);
    {
      Canvas c(img);
      c.setPenColor(kInk);
      c.setPenStyle(style);
      c.moveTo(0, 4);
      c.lineTo(50, 4);
    }
    const int set = countOf(img, kInk);
    EXPECT_GT(set, 10);
    EXPECT_LT(set, 50);
    EXPECT_EQ(pixelAt(img, 50, 4), colours::kBackground);
    for (QPoint p : pixelsOf(img, kInk)) EXPECT_EQ(p.y(), 4);
  }
}

TEST(CanvasStyledLine, XorDottedLineTwiceRestoresThePicture) {
  QImage img = blankImage(60, 30);
  const QImage before = img.copy();
  {
    Canvas c(img);
    c.setPenColor(colours::kBlue);
    c.setPenStyle(PenStyle::Dot);
    c.setPenMode(PenMode::Xor);
    c.moveTo(2, 2);
    c.lineTo(50, 20);
    c.flush();
    EXPECT_NE(img, before);
    c.moveTo(2, 2);
    c.lineTo(50, 20);
  }
  EXPECT_EQ(img, before);
}

TEST(CanvasFocusRect, InvertsEveryOtherBorderPixelAndTwiceRestores) {
  QImage img = blankImage(30, 20);
  const QImage before = img.copy();
  Canvas c(img);
  c.drawFocusRect(4, 4, 14, 10);
  const int32_t inverted = colours::kBackground ^ 0x00FFFFFF;
  EXPECT_EQ(c.pixel(4, 4), inverted);
  EXPECT_EQ(c.pixel(5, 4), colours::kBackground);
  EXPECT_EQ(c.pixel(13, 9), inverted);
  EXPECT_EQ(c.pixel(14, 10), colours::kBackground);  // right and bottom are exclusive
  EXPECT_EQ(c.pixel(8, 6), colours::kBackground);    // inside untouched
  c.drawFocusRect(4, 4, 14, 10);
  c.flush();
  EXPECT_EQ(img, before);
}

TEST(CanvasMixed, RasterAndPainterWritesLandInTheOrderTheyAreMade) {
  QImage img = blankImage(200, 60);
  const QPoint box[4] = {{0, 0}, {100, 0}, {100, 50}, {0, 50}};
  {
    Canvas c(img);
    c.setPenColor(kInk);
    c.moveTo(0, 10);
    c.lineTo(199, 10);  // raster, under the box
    c.setBrushColor(kPaper);
    c.polygon(box, 4);  // painter covers it
    EXPECT_EQ(c.pixel(50, 10), kPaper);
    c.setPenColor(colours::kRed);
    c.moveTo(0, 20);
    c.lineTo(199, 20);  // raster over the box
    c.setBrushColor(colours::kWhite);
    c.textOut(20, 15, QStringLiteral("Abc"));  // painter over that line
    c.setPenColor(colours::kGreen);
    c.moveTo(22, 0);
    c.lineTo(22, 59);  // raster over the text
    c.setPixel(150, 40, colours::kBlue);
  }
  EXPECT_EQ(pixelAt(img, 150, 10), kInk);
  EXPECT_EQ(pixelAt(img, 50, 10), kPaper);
  EXPECT_EQ(pixelAt(img, 60, 20), colours::kRed);
  EXPECT_NE(pixelAt(img, 21, 20), colours::kRed) << "the text's background covers the red line";
  EXPECT_EQ(pixelAt(img, 22, 20), colours::kGreen);
  EXPECT_EQ(pixelAt(img, 150, 40), colours::kBlue);
}

TEST(CanvasPixels, ReadAndWriteInModelColours) {
  QImage img = blankImage(5, 5);
  Canvas c(img);
  c.setPixel(2, 3, 0x00010203);
  EXPECT_EQ(c.pixel(2, 3), 0x00010203);
  EXPECT_EQ(img.pixel(2, 3), 0xFF030201u);
  EXPECT_EQ(c.pixel(5, 0), -1);
  EXPECT_EQ(c.pixel(0, -1), -1);
}

}  // namespace canvas_painter_test
