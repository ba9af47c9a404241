#include "ui/QVViewerGesture.h"

#include <cmath>
#include <cstdlib>

#include "ui/QVViewZoom.h"

namespace {

// Gesture arithmetic runs in 64 bits and saturates to 32, so extreme mouse
// positions or sizes never overflow.
int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v));
}

int64_t Distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

}  // namespace

bool QVViewerGesture::NearCorner(int32_t x, int32_t y) const {
  const int64_t left = int64_t{CenterX} - HalfWidth, right = int64_t{CenterX} + HalfWidth;
  const int64_t top = int64_t{CenterY} - HalfHeight, bottom = int64_t{CenterY} + HalfHeight;
  return (Distance(x, left) < 16 || Distance(x, right) < 16) &&
         (Distance(y, top) < 16 || Distance(y, bottom) < 16);
}

bool QVViewerGesture::Inside(int32_t x, int32_t y) const {
  return int64_t{CenterX} - HalfWidth < x && x < int64_t{CenterX} + HalfWidth &&
         int64_t{CenterY} - HalfHeight < y && y < int64_t{CenterY} + HalfHeight;
}

bool QVViewerGesture::OutlineShown() const {
  return State != Idle && (HalfWidth > 0 || HalfHeight > 0);
}

// A right press while the left button drags, or the middle one pans, cancels
// that gesture; otherwise only its release counts.
QVViewerGesture::Action QVViewerGesture::Press(int32_t x, int32_t y, Button button) {
  if (button == Button::Middle) return PressMiddle(x, y);
  if (button == Button::Right) return LeftHeld || Panning ? Cancel() : Action::None;
  if (button != Button::Left) return Action::None;
  LeftHeld = true;
  Cancelled = false;
  if (State == Idle) {
    CenterX = x, CenterY = y, HalfWidth = 0, HalfHeight = 0;
    State = Sizing;
  } else if (NearCorner(x, y)) {
    State = Sizing;
  } else if (Inside(x, y)) {
    LastX = x, LastY = y;
    State = Moving;
  }
  return Action::None;
}

// The rectangle has no width until the pointer is more than kClickSlop pixels
// from its centre: a wobble during a click stays a click.
QVViewerGesture::Action QVViewerGesture::Move(int32_t x, int32_t y, int32_t w, int32_t h) {
  Action pan = Action::None;
  if (Panning) {
    PanX = Saturate(int64_t{x} - panFromX_);
    PanY = Saturate(int64_t{y} - panFromY_);
    pan = Action::Redraw;
  }
  if (Cancelled) return pan;
  if (State == Sizing) {
    if (w < 1) return pan;
    const int64_t half = Distance(CenterX, x);
    HalfWidth = half > kClickSlop ? Saturate(half) : 0;
    HalfHeight = Saturate(int64_t{HalfWidth} * h / w);
    return Action::Redraw;
  }
  if (State == Moving) {
    CenterX = Saturate(int64_t{CenterX} + x - LastX);
    CenterY = Saturate(int64_t{CenterY} + y - LastY);
    LastX = x, LastY = y;
    return Action::Redraw;
  }
  return pan;
}

QVViewerGesture::Action QVViewerGesture::Release(int32_t, int32_t, Button button) {
  if (button == Button::Middle) return ReleaseMiddle();
  if (button == Button::Right) {
    const bool shown = OutlineShown();
    State = Idle;
    return shown ? Action::Redraw : Action::None;
  }
  if (button != Button::Left) return Action::None;
  LeftHeld = false;
  if (Cancelled) {
    Cancelled = false;
    return Action::None;
  }
  if (!DoubleClicked && HalfWidth > 0 && HalfHeight > 0) {
    State = Placed;
    return Action::None;
  }
  return Action::Apply;
}

QVViewerGesture::Action QVViewerGesture::DoubleClick(int32_t x, int32_t y) {
  DoubleClicked = true;
  return Press(x, y, Button::Left);
}

void QVViewerGesture::Finish() {
  DoubleClicked = false;
  State = Idle;
}

// The left gesture's release that is still to come does nothing.
QVViewerGesture::Action QVViewerGesture::Cancel() {
  const bool shown = OutlineShown() || ShownShiftX() != 0 || ShownShiftY() != 0;
  Cancelled = LeftHeld;
  State = Idle;
  HalfWidth = 0, HalfHeight = 0;
  DoubleClicked = false;
  Panning = false;
  PanX = 0, PanY = 0;
  return shown ? Action::Redraw : Action::None;
}

QVViewerGesture::Action QVViewerGesture::PressMiddle(int32_t x, int32_t y) {
  if (Panning) return Action::None;
  Panning = true;
  panFromX_ = x, panFromY_ = y;
  PanX = 0, PanY = 0;
  return Action::None;
}

// A pan that moved no more than kClickSlop pixels in both directions is a
// click, which does nothing; the shifted picture goes back in place.
QVViewerGesture::Action QVViewerGesture::ReleaseMiddle() {
  if (!Panning) return Action::None;
  Panning = false;
  if (Distance(PanX, 0) > kClickSlop || Distance(PanY, 0) > kClickSlop) return Action::Pan;
  return Action::Redraw;
}

std::optional<QVView> QVViewerGesture::Zoom(int32_t x, int32_t y, int32_t w, int32_t h,
                                            QVView view) const {
  if (w < 1 || h < 1) return std::nullopt;
  const double k = view.Scale / w;
  QVView next = view;
  next.Viewpoint.re = view.Viewpoint.re + static_cast<double>(int64_t{CenterX} - w / 2) * k;
  next.Viewpoint.im = view.Viewpoint.im + static_cast<double>(int64_t{h / 2} - CenterY) * k;
  if (HalfWidth != 0) {
    const double width = 2.0 * HalfWidth;
    next.Scale = Inside(x, y) ? width * view.Scale / w : w * view.Scale / width;
  }
  const bool finite = std::isfinite(next.Viewpoint.re) && std::isfinite(next.Viewpoint.im) &&
                      std::isfinite(next.Scale);
  if (!finite || !(next.Scale > 0.0)) return std::nullopt;
  if (!qv::DeepViewScale(next.Viewpoint, next.Scale)) return next;
  // A deep view moves from its viewpoint's every digit.
  return qv::ShiftedView(view,
                         {static_cast<double>(int64_t{CenterX} - w / 2) * k,
                          static_cast<double>(int64_t{h / 2} - CenterY) * k},
                         {0.0, 0.0}, next.Scale, w);
}
