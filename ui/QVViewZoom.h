#pragma once
// The viewer's view changes that keep a plane point under a pixel: the wheel
// zooms about the pointer, the middle button and the arrow keys pan, + and -
// zoom about the centre. A view is stored as the project text keeps it, so
// the order of the steps matters: the new scale is kept first, then the
// viewpoint is the point less the pixel's offset in the kept scale, through
// the mapping the render itself uses, and kept in turn. At an ordinary scale
// the text keeps 15 significant digits, and the point lands on its pixel up
// to their resolution (a twentieth of a pixel at most). A view finer than
// that (DeepViewScale) moves its viewpoint with every digit: the shift in
// pixels, a double, is added to the decimal viewpoint in MPFR, which keeps
// every place the viewpoint had and those a thousandth of the new pixel
// needs. Plain functions; UI thread.
#include <cstdint>
#include <optional>

#include "ui/QVViewerGesture.h"

class QVParameter;

namespace qv {

/// Why a view change was refused.
enum class ViewRefusal {
  None,
  /// The scale or the viewpoint would leave the numbers (not finite, or no
  /// scale above the smallest normal double), or the picture has no pixels.
  OutOfRange,
};

/// The viewpoint with every digit view holds: its Precise while the text
/// keeps Viewpoint of it, the 15 digits of Viewpoint otherwise.
DecimalComplex PreciseViewpointOf(const QVView& view);
/// Whether a view of scale at viewpoint moves with every digit: when the
/// scale is below 2^-20 times the larger of 1 and the largest part of the
/// viewpoint, where the project text writes every digit.
bool DeepViewScale(QVComplex viewpoint, double scale);
/// The view of p's viewpoint (every digit) and scale.
QVView ViewOf(const QVParameter& p);
/// Sets p's viewpoint (every digit) and scale to view's.
void SetView(QVParameter& p, const QVView& view);
/// view moved in the plane by first + second (summed exactly at a deep new
/// scale) to scale (at least DBL_MIN), for a picture w pixels wide: the
/// doubles' sum, kept, at an ordinary new scale, every digit at a deep one.
/// None when a part leaves the numbers.
std::optional<QVView> ShiftedView(const QVView& view, QVComplex first, QVComplex second,
                                  double scale, int32_t w);

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
/// The same point with every digit: the viewpoint's every digit plus the
/// pixel's offset, as the deep path computes it, kept to a thousandth of a
/// pixel at least. Zero parts when the view has no pixels or no finite scale.
DecimalComplex PrecisePointAt(const QVView& view, int32_t w, int32_t h, int32_t x, int32_t y);

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
