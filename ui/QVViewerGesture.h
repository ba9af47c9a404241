#pragma once
// The viewer's mouse gestures without widgets: a click recentres, a drag
// places a selection rectangle with the picture's proportions (which can be
// moved and resized), and a double-click inside zooms in to it, outside zooms
// out by the same ratio. A pointer that moved no more than 2 pixels clicks; a
// right click during a left drag cancels the whole gesture. The middle button
// drags the view. The viewer forwards its mouse events here and acts on the
// answer. Coordinates are picture pixels. UI thread.
#include <QCoreApplication>
#include <cstdint>
#include <optional>

#include "base/QVComplex.h"
#include "base/QVDecimal.h"

/// A view of the plane: the centre and the width of the picture in the plane.
/// Precise is the centre with every digit a deep view needs; it counts only
/// while the project text keeps Viewpoint of it (qv::PreciseViewpointOf), so a
/// view made of the doubles alone is the view of their 15 digits.
struct QVView {
  QVComplex Viewpoint;
  double Scale = 0.0;
  qv::DecimalComplex Precise{};
};

class QVViewerGesture {
 public:
  enum GestureState : int32_t { Idle = 0, Placed = 1, Sizing = 2, Moving = 3 };
  enum class Button { Left, Right, Middle, Other };
  /// What the viewer must do after an event. Pan: move the view by PanX,
  /// PanY pixels.
  enum class Action { None, Redraw, Apply, Pan };
  /// A pointer that moved this far or less from its press clicks.
  static constexpr int32_t kClickSlop = 2;

  int32_t State = Idle;
  int32_t CenterX = 0;
  int32_t CenterY = 0;
  int32_t HalfWidth = 0;
  int32_t HalfHeight = 0;
  int32_t LastX = 0;
  int32_t LastY = 0;
  bool DoubleClicked = false;
  /// From a left press to its release.
  bool LeftHeld = false;
  /// A right click cancelled the left gesture: the rest of it does nothing.
  bool Cancelled = false;
  /// From a middle press to its release; PanX, PanY: the pointer's shift so far.
  bool Panning = false;
  int32_t PanX = 0;
  int32_t PanY = 0;

  Action Press(int32_t x, int32_t y, Button button);
  /// w, h: the picture's stored width and height (the rectangle's proportions).
  Action Move(int32_t x, int32_t y, int32_t w, int32_t h);
  /// Apply means: call Zoom with the release point, then Finish.
  Action Release(int32_t x, int32_t y, Button button);
  /// Qt reports the second press of a double-click as the double-click
  /// itself: it marks the gesture and acts as that press.
  Action DoubleClick(int32_t x, int32_t y);
  /// After a selection was applied (or refused): no rectangle, Idle.
  void Finish();
  /// Drops the gesture in progress, as a right click does (Escape).
  Action Cancel();

  /// True when an outline is to be shown.
  bool OutlineShown() const;
  /// The shift to show the picture at: the pan's while the middle button drags.
  int32_t ShownShiftX() const { return Panning ? PanX : 0; }
  int32_t ShownShiftY() const { return Panning ? PanY : 0; }
  /// Strictly inside the rectangle; false when it has no width or height.
  bool Inside(int32_t x, int32_t y) const;
  /// Within 15 pixels of a corner in both directions.
  bool NearCorner(int32_t x, int32_t y) const;

  /// The view after applying the selection at (x, y) to view, for a picture
  /// of w x h pixels: recentred on the rectangle's centre, zoomed in (inside)
  /// or out (outside) when the rectangle has a width. Null when w or h is
  /// below 1, or the result is not finite or its scale not above 0.
  std::optional<QVView> Zoom(int32_t x, int32_t y, int32_t w, int32_t h, QVView view) const;
  /// Why Zoom gave no view (w and h at least 1), for the status line; the
  /// source text, translated where it is shown.
  static constexpr const char* RefusedMessage = QT_TRANSLATE_NOOP(
      "QVViewerGesture",
      "この拡大・縮小はできません。視点と視点倍率が数の範囲（-1.79E308 から 1.79E308）を"
      "超えるか、視点倍率が 0 になります。視点はそのままです。");

 private:
  Action PressMiddle(int32_t x, int32_t y);
  Action ReleaseMiddle();

  int32_t panFromX_ = 0;
  int32_t panFromY_ = 0;
};
