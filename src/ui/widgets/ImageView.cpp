#include "ui/widgets/ImageView.h"

#include <QMouseEvent>
#include <QPainter>

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

QSize ImageView::sizeHint() const { return source_ ? source_->size() : QSize(); }

void ImageView::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (resized_) resized_(size());
}

void ImageView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (source_) p.drawImage(0, 0, *source_);
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
