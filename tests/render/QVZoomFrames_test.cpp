// Zoom framing against its defining formulas, evaluated directly in long
// double: s_k = s_0 (S / s_0)^(k / (N - 1)), and the centre at the fraction
// (s_0 - s_k) / (s_0 - S) of the way.
#include "render/QVZoomFrames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/QVMain.h"
#include "engine/deep/QVPreciseReal.h"
#include "source/QVSourceWriter.h"

namespace qv {
namespace {

TEST(ZoomFrames, ViewsFollowTheGeometricScaleAndTheCentreMovesInStep) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> exponent(-12, 12), point(-2, 2);
  for (int trial = 0; trial < 200; ++trial) {
    const ZoomPath path{{point(random), point(random)},
                        std::pow(10.0, exponent(random)),
                        {point(random), point(random)},
                        std::pow(10.0, exponent(random)),
                        2 + trial % 40};
    const long double s0 = path.FromScale, S = path.ToScale;
    for (int k = 0; k < path.Frames; ++k) {
      const ZoomView view = ZoomFrameView(path, k);
      const long double t = static_cast<long double>(k) / (path.Frames - 1);
      const long double s = s0 * std::pow(S / s0, t);
      EXPECT_NEAR(view.Scale / s, 1.0, 1e-12) << "trial " << trial << " frame " << k;
      const long double f = (s0 - s) / (s0 - S);
      const long double re = path.From.re + (path.To.re - path.From.re) * f;
      const long double im = path.From.im + (path.To.im - path.From.im) * f;
      EXPECT_NEAR(view.Viewpoint.re, re, 1e-12) << "trial " << trial << " frame " << k;
      EXPECT_NEAR(view.Viewpoint.im, im, 1e-12) << "trial " << trial << " frame " << k;
    }
    // The ends are the path's views exactly.
    EXPECT_EQ(ZoomFrameView(path, 0).Scale, path.FromScale);
    EXPECT_EQ(ZoomFrameView(path, path.Frames - 1).Viewpoint, path.To);
    EXPECT_EQ(ZoomFrameView(path, path.Frames - 1).Scale, path.ToScale);
  }
}

TEST(ZoomFrames, AFrameIsItsProjectTextReadBack) {
  QVMain main;
  const ZoomPath path{{0, 0}, 4, {-0.743643887037151, 0.131825904205330}, 1e-9, 9};
  for (int k = 0; k < path.Frames; ++k) {
    const std::string text = LoadZoomFrame(main, path, k);
    EXPECT_EQ(WriteProject(main), text) << "frame " << k;
    EXPECT_NEAR(main.Parameter.Scale() / ZoomFrameView(path, k).Scale, 1.0, 1e-12) << "frame " << k;
  }
}

// A zoom from 1e-20 to 1e-80 towards a point of the first view: every frame
// keeps the target within half its width of the centre (the centre still has
// (s_k - S) / (s_0 - S) of the way to go), the ends are the given digits, and
// each frame's text carries the digits its scale needs.
TEST(ZoomFrames, ADeepZoomKeepsItsTargetInEveryFrame) {
  const DecimalComplex from{DecimalFromText("-1.54368901269207636157085597180174798652520"),
                            DecimalFromText("0")};
  const DecimalComplex to{
      DecimalFromText(
          "-1.543689012692076361570000000000000000000000000000000000000000000000001234567"
          "8901234567"),
      DecimalFromText("3.3E-21")};
  const ZoomPath path{DecimalToComplex(from), 1e-20, DecimalToComplex(to), 1e-80, 31, from, to};
  QVMain main;
  for (int k = 0; k < path.Frames; ++k) {
    SCOPED_TRACE(k);
    const std::string text = LoadZoomFrame(main, path, k);
    EXPECT_EQ(WriteProject(main), text);
    const DecimalComplex centre = main.Parameter.PreciseViewpoint();
    if (k == 0) {
      EXPECT_EQ(centre, from);
    }
    if (k == path.Frames - 1) {
      EXPECT_EQ(centre, to);
    }
    const double scale = main.Parameter.Scale();
    for (int part = 0; part < 2; ++part) {
      PreciseReal a(600), b(600);
      a.Set(part == 0 ? centre.re : centre.im);
      b.Set(part == 0 ? to.re : to.im);
      mpfr_sub(a.Get(), a.Get(), b.Get(), MPFR_RNDN);
      EXPECT_LT(std::fabs(a.ToDouble()), 0.5 * scale) << text;
    }
    EXPECT_NE(text.find("Viewpoint: (-1.5436890126920763615"), std::string::npos);
  }
}

}  // namespace
}  // namespace qv
