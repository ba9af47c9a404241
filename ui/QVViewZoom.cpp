#include "ui/QVViewZoom.h"

#include <algorithm>
#include <cmath>

#include "base/QVScan.h"
#include "engine/QVParameter.h"

namespace {

// Pixel positions far beyond any picture are held to this range, so the
// mapping's integer differences cannot overflow.
constexpr int64_t kFarthestPixel = int64_t{1} << 30;

int32_t HeldPixel(int64_t v) {
  return static_cast<int32_t>(std::clamp(v, -kFarthestPixel, kFarthestPixel));
}

bool Finite(const QVComplex& c) { return std::isfinite(c.re) && std::isfinite(c.im); }

qv::ViewChange Refused(qv::ViewRefusal why) { return {std::nullopt, why}; }

}  // namespace

namespace qv {

QVComplex PointAt(const QVView& view, int32_t w, int32_t h, int32_t x, int32_t y) {
  return PlaneMapping(view.Viewpoint, view.Scale, w, h).Point(HeldPixel(x), HeldPixel(y));
}

ViewChange KeepPointAt(const QVView& view, int32_t w, int32_t h, int32_t fromX, int32_t fromY,
                       int32_t toX, int32_t toY, double newScale) {
  if (w < 1 || h < 1) return Refused(ViewRefusal::OutOfRange);
  const QVComplex point = PointAt(view, w, h, fromX, fromY);
  const double scale = KeptNumber(newScale);
  if (!std::isfinite(scale) || !(scale > 0.0) || !Finite(point)) {
    return Refused(ViewRefusal::OutOfRange);
  }
  toX = HeldPixel(toX), toY = HeldPixel(toY);
  // The offset of pixel "to" from the centre in the kept scale, exactly as
  // the render will add it to the viewpoint.
  const PlaneMapping offsets({0.0, 0.0}, scale, w, h);
  const QVComplex viewpoint =
      KeptComplex({point.re - offsets.ColumnOffset(toX), point.im - offsets.RowOffset(toY)});
  if (!Finite(viewpoint)) return Refused(ViewRefusal::OutOfRange);
  // Going deeper, a pixel must span ten steps of the viewpoint's 15th digit
  // (which lie 1E-15 to 1E-14 of the point apart), so the point lands well
  // within it. A view already that deep may still be left (out, or aside).
  const double pixel = scale / w;
  const double digit = 1e-14 * std::max(std::fabs(point.re), std::fabs(point.im));
  const QVComplex landed = PlaneMapping(viewpoint, scale, w, h).Point(toX, toY);
  const bool held = pixel >= 10.0 * digit && std::fabs(landed.re - point.re) <= pixel / 2.0 &&
                    std::fabs(landed.im - point.im) <= pixel / 2.0;
  if (!held && scale < view.Scale) return Refused(ViewRefusal::TooDeep);
  return {QVView{viewpoint, scale}, ViewRefusal::None};
}

// Whole notches halve or double the scale exactly (before it is kept); a
// fraction scales by that power of 2. Beyond 4096 notches either way no
// double is left.
ViewChange ZoomAbout(const QVView& view, int32_t w, int32_t h, int32_t x, int32_t y,
                     double notches) {
  if (!(std::fabs(notches) <= 4096.0)) return Refused(ViewRefusal::OutOfRange);
  const double whole = std::round(notches);
  const double scale = whole == notches ? std::ldexp(view.Scale, -static_cast<int>(whole))
                                        : view.Scale * std::exp2(-notches);
  return KeepPointAt(view, w, h, x, y, x, y, scale);
}

// The point at the centre's pixel less the shift comes to the centre: the new
// viewpoint is that point itself.
ViewChange Pan(const QVView& view, int32_t w, int32_t h, int32_t dx, int32_t dy) {
  if (w < 1 || h < 1) return Refused(ViewRefusal::OutOfRange);
  const int32_t cx = w / 2, cy = h / 2;
  return KeepPointAt(view, w, h, HeldPixel(int64_t{cx} - dx), HeldPixel(int64_t{cy} - dy), cx, cy,
                     view.Scale);
}

double WheelNotches(int32_t angleY, int32_t pixelY) {
  if (angleY != 0) return angleY / 120.0;
  return pixelY / kPixelsPerNotch;
}

}  // namespace qv
