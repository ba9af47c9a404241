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

/// The stops under the bar: a small triangle at each entry's column, the
/// selected one filled (hollow while it is dragged off the bar). Reports
/// presses, moves and releases in bar columns and pixels from its top, and
/// the arrow keys while it has the focus.
class ColorBarStops : public QWidget {
 public:
  /// Room left and right of the bar's columns for the end stops' triangles.
  static constexpr int Pad = 5;
  ColorBarStops(int barWidth, int height, QWidget* parent);
  void SetStops(std::vector<int32_t> columns, int32_t selected, bool selectedOff);
  const std::vector<int32_t>& Columns() const { return columns_; }
  /// The stop whose triangle is nearest column x, within reach, or -1.
  int32_t StopAt(int x) const;
  std::function<void(int x, int y)> OnPress;
  std::function<void(int x, int y)> OnMove;
  std::function<void(int x, int y)> OnRelease;
  std::function<void(int x)> OnDoubleClick;
  /// Left (-1) or right (+1) arrow.
  std::function<void(int dir)> OnArrow;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::vector<int32_t> columns_;
  int32_t selected_ = -1;
  bool selectedOff_ = false;
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
