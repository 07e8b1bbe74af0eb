#include "ui/ImageView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>

namespace trelvano {

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

QSize ImageView::sizeHint() const { return source_ ? source_->size() : QSize(); }

void ImageView::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (resized_) resized_(size());
}

void ImageView::wheelEvent(QWheelEvent* e) {
  if (!wheel_) return QWidget::wheelEvent(e);
  constexpr int kNotch = 120;  // eighths of a degree per notch of a common wheel
  wheelEighths_ += e->angleDelta().y();
  const int notches = wheelEighths_ / kNotch;
  wheelEighths_ -= notches * kNotch;
  if (notches != 0) wheel_(notches);
  e->accept();
}

void ImageView::keyPressEvent(QKeyEvent* e) {
  if (key_ && key_(e->key())) return e->accept();
  QWidget::keyPressEvent(e);
}

void ImageView::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  // Only the part asked for: a replay tick repaints two columns of a chart.
  if (source_) p.drawImage(e->rect(), *source_, e->rect());
}

void ImageView::mousePressEvent(QMouseEvent* e) {
  if (handlers_.down) handlers_.down(e->button(), int(e->position().x()), int(e->position().y()));
}

void ImageView::mouseMoveEvent(QMouseEvent* e) {
  if (handlers_.move) handlers_.move(e->buttons(), int(e->position().x()), int(e->position().y()));
}

void ImageView::mouseReleaseEvent(QMouseEvent* e) {
  if (handlers_.up) handlers_.up(e->button(), int(e->position().x()), int(e->position().y()));
}

}  // namespace trelvano
