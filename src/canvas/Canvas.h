#pragma once
// The drawing surface of the program: the few operations the renderer, the
// legend and the chart need, over a QImage of Format_RGB32. Solid lines of
// width 1 and 2 in copy or XOR mode, polygon fills, rectangles and pixels are
// written straight into the image (they are the bulk of every redraw); text,
// wider lines and dotted or dash-dot lines go through QPainter, which is
// opened on first use and stays open until flush() or destruction. Both write
// the same pixels immediately, so they may be mixed freely. The image must not
// be copied, resized or painted on by anyone else while a canvas draws on it.

#include "model/Colour.h"
#include "canvas/SteepRuns.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace trelvano {

enum class PenStyle { Solid, Dot, DashDot };
enum class PenMode { Copy, Xor };  // Xor: pixel := pixel xor pen colour

class Canvas {
 public:
  explicit Canvas(QImage& image);  // image must be Format_RGB32 or null (nothing is drawn)
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int width() const { return w_; }
  int height() const { return h_; }

  // Limits the rasterizer's writes (lines of width 1 and 2, polygon fills,
  // rectangles, pixels) to rows [top, bottom): every pixel it writes there is
  // the one the whole canvas would write, and nothing else is written. Sizes
  // and clipping stay those of the whole picture, so two canvases on halves
  // of one image may draw the same scene from two threads at once. Text and
  // QPainter lines ignore the band: draw them with a canvas over all rows.
  void setWriteRows(int top, int bottom);

  void setPenColor(int32_t bgr) {  // inline: the renderer sets it for every point
    if (bgr == penBgr_) return;
    penBgr_ = bgr;
    penRgb_ = toRgb32(bgr);
    painterStale_ = true;
  }
  void setPenWidth(int width);  // pixels; values below 1 draw as 1
  void setPenStyle(PenStyle style);
  void setPenMode(PenMode mode);
  void setBrushColor(int32_t bgr);
  void setFontColor(int32_t bgr);  // text colour, black unless set
  int32_t penColor() const { return penBgr_; }
  int penWidth() const { return penWidth_; }
  int32_t brushColor() const { return brushBgr_; }
  QPoint penPosition() const { return QPoint(penX_, penY_); }

  // Fills [left, right) × [top, bottom) with the brush colour (clipped to the image).
  void fillRect(int left, int top, int right, int bottom);
  // Pen position and lines; like the platform's line-to, the end pixel itself
  // is not set, so a polyline drawn twice in XOR mode leaves no trace. Any
  // coordinates are safe: nothing is written outside the image.
  void moveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
  }
  void lineTo(int x, int y);
  // Filled polygon in the brush colour (even-odd rule), outlined with the pen.
  void polygon(const QPoint* points, int count);
  // Text with its top-left corner at (x, y) in the font colour, on an opaque
  // background of the brush colour, default font.
  void textOut(int x, int y, const QString& text);
  // The cell textOut fills for `text` (its advance times the font height).
  QSize textSize(const QString& text);
  void setPixel(int x, int y, int32_t bgr);  // ignored outside the image
  int32_t pixel(int x, int y) const;         // $00BBGGRR; -1 outside the image
  // XOR focus rectangle (the chart's selection): every other pixel of the
  // border of [left, right) × [top, bottom) inverted; drawing it twice
  // restores the picture.
  void drawFocusRect(int left, int top, int right, int bottom);

  // Writes the pixels still pending and finishes QPainter work; called by
  // the destructor too. Read the image only after it.
  void flush();

 private:
  QPainter& painter();
  // Brings the open painter's pen, brush and composition in line with ours;
  // forText selects the text state (font colour, copy mode).
  void syncPainter(bool forText);
  void rasterLine(int x0, int y0, int x1, int y1);
  void steepLine(const SteepLine& line);
  void fillPolygon(const QPoint* points, int count);  // the inside, in the brush colour
  void settle() const;  // writes the pending pixels: before anything else is drawn or read
  void painterLine(int x0, int y0, int x1, int y1);

  QImage& image_;
  uint32_t* bits_;
  int stride_;  // pixels per line
  int w_, h_;
  int rowTop_ = 0, rowBottom_ = 0;  // writes go to rows [rowTop_, rowBottom_); the whole picture unless set
  int penX_ = 0, penY_ = 0;
  int32_t penBgr_ = 0;
  uint32_t penRgb_ = 0xFF000000u;  // penBgr_ as an image pixel
  int32_t brushBgr_ = 0x00FFFFFF;
  int32_t fontBgr_ = 0;
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  PenMode penMode_ = PenMode::Copy;
  std::unique_ptr<QPainter> painter_;
  bool painterStale_ = true;     // pen or brush changed since the last syncPainter
  bool painterForText_ = false;  // the painter is in the text state

  // Pixels of steep lines not yet written, all of colour pendingRgb_: bit
  // y % 64 of word (y / 64) · w_ + x of pendingMask() marks pixel (x, y).
  // Sized on first use; the bounds enclose every marked pixel (empty: left > right).
  mutable std::vector<uint64_t> pending_;
  // The marking may touch a few words on either side of the picture's.
  uint64_t* pendingMask() const { return pending_.data() + kSteepMaskSlack; }
  uint32_t pendingRgb_ = 0;
  mutable int pendingLeft_ = INT_MAX, pendingRight_ = INT_MIN, pendingTop_ = INT_MAX, pendingBottom_ = INT_MIN;
  std::vector<double> crossings_;  // x where a polygon's edges cross one row
};

}  // namespace trelvano
