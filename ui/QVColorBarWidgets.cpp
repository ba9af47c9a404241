#include "ui/QVColorBarWidgets.h"

#include <QMouseEvent>
#include <QPainter>

namespace qv {

QColor ToQColor(int32_t color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

int32_t FromQColor(const QColor& color) {
  return color.red() | color.green() << 8 | color.blue() << 16;
}

ColorBarImage::ColorBarImage(int width, int height, QWidget* parent) : QWidget(parent) {
  setFixedSize(width, height);
}

void ColorBarImage::SetColors(std::vector<int32_t> colors) {
  colors_ = std::move(colors);
  update();
}

void ColorBarImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (size_t col = 0; col < colors_.size(); ++col) {
    painter.setPen(ToQColor(colors_[col]));
    painter.drawLine(static_cast<int>(col), 0, static_cast<int>(col), height());
  }
}

void ColorBarImage::mousePressEvent(QMouseEvent* event) {
  if (OnMouseDown) OnMouseDown(event->position().toPoint().x());
}

// Qt reports the second press of a double-click here instead of as a press.
void ColorBarImage::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
  if (OnDoubleClick) OnDoubleClick();
}

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent) { setFixedSize(33, 17); }

void ColorSwatch::SetColor(int32_t color) {
  color_ = color;
  update();
}

void ColorSwatch::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), ToQColor(color_)); }

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      OnClick) {
    OnClick();
  }
}

ColorBarMarker::ColorBarMarker(int width, int height, QWidget* parent) : QWidget(parent) {
  setFixedSize(width, height);
  setAttribute(Qt::WA_TransparentForMouseEvents);  // presses reach the bar beneath
}

void ColorBarMarker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, width() - 1, height() - 1);
  painter.setPen(Qt::white);
  painter.drawRect(1, 1, width() - 3, height() - 3);
}

}  // namespace qv
