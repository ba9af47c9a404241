#include "render/QVZoomFrames.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/QVMain.h"
#include "engine/deep/QVPreciseReal.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace qv {

// The scale's steps are taken in logarithms, so that a zoom across any range
// of doubles (1e300 to 1e-300) neither overflows nor underflows; with
// L = log(scale / s0) and t = k / (n - 1), s = s0 e^(L t) and the centre's
// fraction of the way is (1 - e^(L t)) / (1 - e^L), evaluated without
// overflow for either sign of L.
namespace {

// The centre's fraction of the way at frame k (0 < k < Frames - 1).
double CentreFraction(const ZoomPath& path, int k) {
  const double s0 = path.FromScale, scale = path.ToScale;
  const double t = static_cast<double>(k) / (path.Frames - 1);
  const double L = std::log(scale) - std::log(s0);
  double f = t;  // the scale stays: a plain linear move
  if (L < 0) {
    f = std::expm1(L * t) / std::expm1(L);
  } else if (L > 0) {  // the same fraction, divided through by e^L
    f = std::exp(L * (t - 1)) * (std::expm1(-L * t) / std::expm1(-L));
  }
  return f;
}

}  // namespace

ZoomView ZoomFrameView(const ZoomPath& path, int k) {
  if (k == path.Frames - 1) return {path.To, path.ToScale};
  if (k == 0) return {path.From, path.FromScale};
  const double s0 = path.FromScale, scale = path.ToScale;
  const double t = static_cast<double>(k) / (path.Frames - 1);
  const double L = std::log(scale) - std::log(s0);
  const double f = CentreFraction(path, k);
  const QVComplex v0 = path.From, to = path.To;
  return {{v0.re + (to.re - v0.re) * f, v0.im + (to.im - v0.im) * f},
          std::clamp(std::exp(std::log(s0) + L * t), std::min(s0, scale), std::max(s0, scale))};
}

DecimalComplex PreciseZoomCentre(const ZoomPath& path, int k) {
  const DecimalComplex from = path.PreciseFrom.value_or(DecimalFromComplex(path.From));
  const DecimalComplex to = path.PreciseTo.value_or(DecimalFromComplex(path.To));
  if (k == path.Frames - 1) return to;
  if (k == 0) return from;
  const double scale = ZoomFrameView(path, k).Scale;
  const QVComplex v = ZoomFrameView(path, k).Viewpoint;
  const double size = std::max({1.0, std::fabs(v.re), std::fabs(v.im)}) / scale;
  const int64_t digits = static_cast<int64_t>(std::ceil(std::log10(size))) + 10;
  const int64_t bits =
      BitsForDigits(std::max({digits, SignificantDigits(from.re), SignificantDigits(from.im),
                              SignificantDigits(to.re), SignificantDigits(to.im)}));
  // The centre is To - (To - From) g with g = (s_k - S) / (s0 - S), the
  // fraction of the way still to go, from the frame's own scale: near the end
  // g is tiny and MPFR keeps its every bit, where 1 - f in doubles would not.
  PreciseReal g(bits), denominator(bits);
  if (path.FromScale == path.ToScale) {
    g.Set(1.0 - static_cast<double>(k) / (path.Frames - 1));
  } else {
    g.Set(scale);
    mpfr_sub_d(g.Get(), g.Get(), path.ToScale, MPFR_RNDN);
    denominator.Set(path.FromScale);
    mpfr_sub_d(denominator.Get(), denominator.Get(), path.ToScale, MPFR_RNDN);
    mpfr_div(g.Get(), g.Get(), denominator.Get(), MPFR_RNDN);
  }
  const auto part = [&](const Decimal& a, const Decimal& b) {
    PreciseReal x(bits), y(bits);
    x.Set(a);
    y.Set(b);
    mpfr_sub(x.Get(), y.Get(), x.Get(), MPFR_RNDN);  // To - From
    mpfr_mul(x.Get(), x.Get(), g.Get(), MPFR_RNDN);
    mpfr_sub(y.Get(), y.Get(), x.Get(), MPFR_RNDN);
    return ToDecimal(y, digits);
  };
  return {part(from.re, to.re), part(from.im, to.im)};
}

std::string LoadZoomFrame(QVMain& main, const ZoomPath& path, int k) {
  const ZoomView view = ZoomFrameView(path, k);
  main.Parameter.ChangeViewpoint(view.Viewpoint);
  main.Parameter.ChangeScale(view.Scale);
  if (main.Parameter.WritesAllDigits())
    main.Parameter.ChangePreciseViewpoint(PreciseZoomCentre(path, k));
  std::string text = WriteProject(main);
  // The values the text gives, exactly as a reader of it gets them.
  if (const ReadResult read = ReadProject(main, text); !read.Ok) {
    throw std::runtime_error("frame " + std::to_string(k) + "'s project does not read back (" +
                             read.Describe() + ")");
  }
  return text;
}

}  // namespace qv
