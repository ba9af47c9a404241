#pragma once
// The painted parts of the effector editor's colour bar: the bar itself
// (one colour per column, mouse press and double-click reported), the swatch
// of the selected entry (click reported), and the marker that stands across
// the bar at the selected entry. Colours are engine colours
// (red | green << 8 | blue << 16). UI thread.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

namespace qv {

QColor ToQColor(int32_t color);
int32_t FromQColor(const QColor& color);

/// ImageColorBar: paints one vertical line per column.
class ColorBarImage : public QWidget {
 public:
  ColorBarImage(int width, int height, QWidget* parent);
  void SetColors(std::vector<int32_t> colors);
  const std::vector<int32_t>& Colors() const { return colors_; }
  /// Any button pressed, at column x (also the second press of a double-click).
  std::function<void(int x)> OnMouseDown;
  std::function<void()> OnDoubleClick;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  std::vector<int32_t> colors_;
};

/// ImagePalette: a filled rectangle of one colour.
class ColorSwatch : public QWidget {
 public:
  explicit ColorSwatch(QWidget* parent);
  void SetColor(int32_t color);
  int32_t Color() const { return color_; }
  std::function<void()> OnClick;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int32_t color_ = 0;
};

/// ShapeColorBarMarker: a hollow rectangle, dark outside and light inside, so
/// it shows on any colour of the bar.
class ColorBarMarker : public QWidget {
 public:
  ColorBarMarker(int width, int height, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;
};

}  // namespace qv
