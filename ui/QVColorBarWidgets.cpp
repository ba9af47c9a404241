#include "ui/QVColorBarWidgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cstdlib>

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

ColorBarStops::ColorBarStops(int barWidth, int height, QWidget* parent) : QWidget(parent) {
  setFixedSize(barWidth + 2 * Pad, height);
  setFocusPolicy(Qt::StrongFocus);
}

void ColorBarStops::SetStops(std::vector<int32_t> columns, int32_t selected, bool selectedOff) {
  columns_ = std::move(columns);
  selected_ = selected;
  selectedOff_ = selectedOff;
  update();
}

int32_t ColorBarStops::StopAt(int x) const {
  int32_t best = -1;
  int bestDistance = Pad + 1;
  for (size_t i = 0; i < columns_.size(); ++i) {
    const int distance = std::abs(columns_[i] - x);
    // Among stops at one column the selected one wins, then the last.
    if (distance < bestDistance ||
        (distance == bestDistance && static_cast<int32_t>(i) == selected_)) {
      best = static_cast<int32_t>(i);
      bestDistance = distance;
    }
  }
  return best;
}

void ColorBarStops::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor text = palette().color(QPalette::WindowText);
  for (size_t i = 0; i < columns_.size(); ++i) {
    const bool selected = static_cast<int32_t>(i) == selected_;
    const double x = columns_[i] + Pad + 0.5;
    const QPointF triangle[3] = {{x, 0.5}, {x - Pad, height() - 1.5}, {x + Pad, height() - 1.5}};
    painter.setPen(QPen(text, selected && selectedOff_ ? 1.0 : 1.2,
                        selected && selectedOff_ ? Qt::DotLine : Qt::SolidLine));
    painter.setBrush(selected && !selectedOff_ ? QBrush(palette().color(QPalette::Highlight))
                                               : QBrush(palette().color(QPalette::Base)));
    painter.drawPolygon(triangle, 3);
  }
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1.0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
  }
}

void ColorBarStops::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !OnPress) return;
  const QPoint p = event->position().toPoint();
  OnPress(p.x() - Pad, p.y());
}

void ColorBarStops::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !OnMove) return;
  const QPoint p = event->position().toPoint();
  OnMove(p.x() - Pad, p.y());
}

void ColorBarStops::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !OnRelease) return;
  const QPoint p = event->position().toPoint();
  OnRelease(p.x() - Pad, p.y());
}

void ColorBarStops::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !OnDoubleClick) return;
  OnDoubleClick(event->position().toPoint().x() - Pad);
}

void ColorBarStops::keyPressEvent(QKeyEvent* event) {
  const int dir = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
  if (dir == 0 || !OnArrow) {
    QWidget::keyPressEvent(event);
    return;
  }
  OnArrow(dir);
}

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent) { setFixedSize(33, 17); }

void ColorSwatch::SetColor(int32_t color) {
  color_ = color;
  update();
}

// A dark border, so a white (or window-coloured) swatch still shows where
// it is.
void ColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(color_));
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

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
