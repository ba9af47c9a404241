#pragma once
// The viewer's view changes that keep a plane point under a pixel: the wheel
// zooms about the pointer, the middle button and the arrow keys pan, + and -
// zoom about the centre. A view is stored as the project text keeps it (15
// significant digits), so the order of the steps matters: the new scale is
// kept first, then the viewpoint is the point less the pixel's offset in the
// kept scale, through the mapping the render itself uses, and kept in turn.
// The point then lands on its pixel up to the text's own resolution (a
// twentieth of a pixel at most); a zoom in whose pixel does not span ten
// steps of the viewpoint's 15th digit is refused rather than let the point
// drift (a view that deep can still be left by zooming out or panning). Plain functions; UI
// thread.
#include <cstdint>
#include <optional>

#include "ui/QVViewerGesture.h"

namespace qv {

/// Why a view change was refused.
enum class ViewRefusal {
  None,
  /// The viewpoint's 15 digits cannot place the point well within a pixel.
  TooDeep,
  /// The scale or the viewpoint would leave the numbers (not finite, or no
  /// scale above 0), or the picture has no pixels.
  OutOfRange,
};

/// A new view, or why there is none.
struct ViewChange {
  std::optional<QVView> View;
  ViewRefusal Refusal = ViewRefusal::None;
};

/// Pixels of a smooth-scrolling device's scroll that count as one notch.
inline constexpr double kPixelsPerNotch = 120.0;

/// The plane point at pixel (x, y) of view, for a w x h picture, as the
/// render computes it.
QVComplex PointAt(const QVView& view, int32_t w, int32_t h, int32_t x, int32_t y);

/// The view of scale newScale in which the plane point at pixel from of view
/// lies at pixel to.
ViewChange KeepPointAt(const QVView& view, int32_t w, int32_t h, int32_t fromX, int32_t fromY,
                       int32_t toX, int32_t toY, double newScale);

/// Zooms about pixel (x, y) by 2x per notch: notches above 0 zoom in, below 0
/// out; a fraction of a notch zooms by that power of 2.
ViewChange ZoomAbout(const QVView& view, int32_t w, int32_t h, int32_t x, int32_t y,
                     double notches);

/// Moves the picture by (dx, dy) pixels: what lay at pixel p lies at p + (dx, dy).
ViewChange Pan(const QVView& view, int32_t w, int32_t h, int32_t dx, int32_t dy);

/// The notches of one wheel event: angleY in eighths of a degree (120 a
/// notch, forward is positive), or, from a device that reports no angle,
/// pixelY in pixels (kPixelsPerNotch a notch).
double WheelNotches(int32_t angleY, int32_t pixelY);

}  // namespace qv
