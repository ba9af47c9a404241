#include "ui/QVViewZoom.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "base/QVScan.h"
#include "engine/QVParameter.h"
#include "engine/deep/QVPreciseReal.h"

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

DecimalComplex PreciseViewpointOf(const QVView& view) {
  const QVComplex kept = DecimalToComplex(view.Precise);
  if (kept.re == view.Viewpoint.re && kept.im == view.Viewpoint.im) return view.Precise;
  return DecimalFromComplex(view.Viewpoint);
}

bool DeepViewScale(QVComplex viewpoint, double scale) {
  const double largest = std::max({1.0, std::fabs(viewpoint.re), std::fabs(viewpoint.im)});
  return scale < std::ldexp(largest, -20);
}

QVView ViewOf(const QVParameter& p) { return {p.Viewpoint(), p.Scale(), p.PreciseViewpoint()}; }

void SetView(QVParameter& p, const QVView& view) {
  const DecimalComplex precise = PreciseViewpointOf(view);
  if (SignificantDigits(precise.re) > 15 || SignificantDigits(precise.im) > 15) {
    p.ChangePreciseViewpoint(precise);
  } else {
    p.ChangeViewpoint(view.Viewpoint);
  }
  p.ChangeScale(view.Scale);
}

// The decimal place kept is that of a thousandth of the new pixel, so the
// point lands on its pixel whatever the depth.
std::optional<QVView> ShiftedView(const QVView& view, QVComplex first, QVComplex second,
                                  double scale, int32_t w) {
  if (w < 1 || !std::isfinite(scale) || !(scale >= DBL_MIN) || !Finite(first) || !Finite(second)) {
    return std::nullopt;
  }
  QVView next{KeptComplex({view.Viewpoint.re + (first.re + second.re),
                           view.Viewpoint.im + (first.im + second.im)}),
              KeptNumber(scale)};
  if (!Finite(next.Viewpoint)) return std::nullopt;
  if (!DeepViewScale(next.Viewpoint, next.Scale)) {
    next.Precise = DecimalFromComplex(next.Viewpoint);
    return next;
  }
  const int64_t place = static_cast<int64_t>(std::floor(std::log10(next.Scale / w))) - 3;
  const DecimalComplex from = PreciseViewpointOf(view);
  next.Precise = {ShiftedDecimal(from.re, first.re, second.re, place),
                  ShiftedDecimal(from.im, first.im, second.im, place)};
  next.Viewpoint = DecimalToComplex(next.Precise);
  if (!Finite(next.Viewpoint)) return std::nullopt;
  return next;
}

QVComplex PointAt(const QVView& view, int32_t w, int32_t h, int32_t x, int32_t y) {
  return PlaneMapping(view.Viewpoint, view.Scale, w, h).Point(HeldPixel(x), HeldPixel(y));
}

DecimalComplex PrecisePointAt(const QVView& view, int32_t w, int32_t h, int32_t x, int32_t y) {
  const double pixel = w >= 1 ? view.Scale / w : 0.0;
  if (h < 1 || !std::isfinite(pixel) || !(pixel > 0.0)) return {};
  const PlaneMapping offsets({0.0, 0.0}, view.Scale, w, h);
  const int64_t place = static_cast<int64_t>(std::floor(std::log10(pixel))) - 3;
  const DecimalComplex from = PreciseViewpointOf(view);
  return {ShiftedDecimal(from.re, offsets.ColumnOffset(HeldPixel(x)), 0.0, place),
          ShiftedDecimal(from.im, offsets.RowOffset(HeldPixel(y)), 0.0, place)};
}

ViewChange KeepPointAt(const QVView& view, int32_t w, int32_t h, int32_t fromX, int32_t fromY,
                       int32_t toX, int32_t toY, double newScale) {
  if (w < 1 || h < 1) return Refused(ViewRefusal::OutOfRange);
  const QVComplex point = PointAt(view, w, h, fromX, fromY);
  const double scale = KeptNumber(newScale);
  if (!std::isfinite(scale) || !(scale >= DBL_MIN) || !Finite(point)) {
    return Refused(ViewRefusal::OutOfRange);
  }
  toX = HeldPixel(toX), toY = HeldPixel(toY);
  // The offset of pixel "to" from the centre in the kept scale, exactly as
  // the render will add it to the viewpoint.
  const PlaneMapping offsets({0.0, 0.0}, scale, w, h);
  const QVComplex viewpoint =
      KeptComplex({point.re - offsets.ColumnOffset(toX), point.im - offsets.RowOffset(toY)});
  if (!Finite(viewpoint)) return Refused(ViewRefusal::OutOfRange);
  if (!DeepViewScale(viewpoint, scale)) {
    return {QVView{viewpoint, scale, DecimalFromComplex(viewpoint)}, ViewRefusal::None};
  }
  // A deep view moves by the pixels' offsets, from the viewpoint's every digit.
  const PlaneMapping old({0.0, 0.0}, view.Scale, w, h);
  const std::optional<QVView> next =
      ShiftedView(view, {old.ColumnOffset(HeldPixel(fromX)), old.RowOffset(HeldPixel(fromY))},
                  {-offsets.ColumnOffset(toX), -offsets.RowOffset(toY)}, scale, w);
  if (!next) return Refused(ViewRefusal::OutOfRange);
  return {next, ViewRefusal::None};
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
