#pragma once
// The drawing surface of the program: the few operations the renderer, the
// legend and the chart need, over a QImage of Format_RGB32. Solid lines of
// width 1 and 2 in copy or XOR mode go through a direct rasterizer (they are
// the bulk of every redraw); text, polygons and dotted or dash-dot lines go
// through QPainter.

#include <QImage>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <memory>

class QPainter;

enum class PenStyle { Solid, Dot, DashDot };
enum class PenMode { Copy, Xor };

class Canvas {
 public:
  explicit Canvas(QImage& image);  // image must be Format_RGB32
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int width() const { return w_; }
  int height() const { return h_; }

  void setPenColor(int32_t bgr);
  void setPenWidth(int width);
  void setPenStyle(PenStyle style);
  void setPenMode(PenMode mode);
  void setBrushColor(int32_t bgr);
  void setFontColor(int32_t bgr);  // text colour, black unless set
  int32_t penColor() const { return penBgr_; }
  int penWidth() const { return penWidth_; }
  int32_t brushColor() const { return brushBgr_; }

  // Fills [left, right) × [top, bottom) with the brush colour.
  void fillRect(int left, int top, int right, int bottom);
  // Pen position and lines; like the platform's line-to, the end pixel itself is not set.
  void moveTo(int x, int y);
  void lineTo(int x, int y);
  // Filled polygon in the brush colour, outlined with the pen.
  void polygon(const QPoint* points, int count);
  // Text with its top-left corner at (x, y) in the font colour, on an opaque
  // background of the brush colour, default font.
  void textOut(int x, int y, const QString& text);
  void setPixel(int x, int y, int32_t bgr);
  int32_t pixel(int x, int y) const;
  // XOR focus rectangle (the chart's selection).
  void drawFocusRect(int left, int top, int right, int bottom);

  // Finishes pending QPainter work; called by the destructor too.
  void flush();

 private:
  QPainter& painter();
  void rasterLine(int x0, int y0, int x1, int y1);

  QImage& image_;
  uint32_t* bits_;
  int stride_;  // pixels per line
  int w_, h_;
  int penX_ = 0, penY_ = 0;
  int32_t penBgr_ = 0;
  int32_t brushBgr_ = 0x00FFFFFF;
  int32_t fontBgr_ = 0;
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  PenMode penMode_ = PenMode::Copy;
  std::unique_ptr<QPainter> painter_;
};
