#pragma once
// A widget that shows a QImage owned elsewhere (the 3D view's back buffer or
// the legend) and reports mouse presses, moves and releases in image pixels.

#include <QImage>
#include <QWidget>
#include <functional>

namespace trelvano {

class ImageView : public QWidget {
 public:
  struct MouseHandlers {
    std::function<void(Qt::MouseButton button, int x, int y)> down;
    std::function<void(Qt::MouseButtons held, int x, int y)> move;
    std::function<void(Qt::MouseButton button, int x, int y)> up;
  };

  explicit ImageView(QWidget* parent = nullptr);
  void setSource(const QImage* image) {
    source_ = image;
    update();
  }
  void setMouseHandlers(MouseHandlers handlers) { handlers_ = std::move(handlers); }
  // Called with the new size whenever the layout resizes the view.
  void setResizeHandler(std::function<void(QSize)> handler) { resized_ = std::move(handler); }
  // Called with whole wheel notches (positive: away from the user); a
  // high-resolution wheel's small steps add up to notches.
  void setWheelHandler(std::function<void(int notches)> handler) { wheel_ = std::move(handler); }
  // Called for key presses while the view has the focus; returns whether it took the key.
  void setKeyHandler(std::function<bool(int key)> handler) { key_ = std::move(handler); }
  // The size of the image shown.
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  const QImage* source_ = nullptr;
  MouseHandlers handlers_;
  std::function<void(QSize)> resized_;
  std::function<void(int)> wheel_;
  std::function<bool(int)> key_;
  int wheelEighths_ = 0;  // eighths of a degree not yet a whole notch
};

}  // namespace trelvano
