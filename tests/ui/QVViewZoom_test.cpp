#include "ui/QVViewZoom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "base/QVScan.h"
#include "engine/QVParameter.h"
#include "engine/deep/QVPreciseReal.h"
#include "tests/ui/DeepViews.h"

namespace {

// Where the plane point p lies in the picture of view, in pixels (not
// rounded), from the render's mapping solved for the pixel in long double.
struct PixelPos {
  long double X, Y;
};
PixelPos PixelOf(QVComplex p, const QVView& view, int32_t w, int32_t h) {
  const long double perPixel = static_cast<long double>(view.Scale) / w;
  return {(w / 2) + (p.re - static_cast<long double>(view.Viewpoint.re)) / perPixel,
          (h / 2) - (p.im - static_cast<long double>(view.Viewpoint.im)) / perPixel};
}

struct Case {
  QVView View;
  int32_t W, H, X, Y;
  std::string Name() const {
    return qv::ComplexToText(View.Viewpoint) + " scale " + qv::NumberToText(View.Scale) + " " +
           std::to_string(W) + "x" + std::to_string(H) + " at " + std::to_string(X) + "," +
           std::to_string(Y);
  }
};

// A random view as the project keeps it: viewpoint in [-2, 2]^2, scale
// 10^[minExp, 1], size up to 2000, and a pixel of it.
Case RandomCase(std::mt19937_64& rng, double minExp) {
  std::uniform_real_distribution<double> part(-2.0, 2.0), exponent(minExp, 1.0);
  std::uniform_int_distribution<int32_t> size(1, 2000);
  Case c;
  c.View = {qv::KeptComplex({part(rng), part(rng)}), qv::KeptNumber(std::pow(10.0, exponent(rng)))};
  c.W = size(rng), c.H = size(rng);
  c.X = std::uniform_int_distribution<int32_t>(0, c.W - 1)(rng);
  c.Y = std::uniform_int_distribution<int32_t>(0, c.H - 1)(rng);
  return c;
}

const double kNotches[] = {1.0, -1.0, 3.0, -2.0, 0.5, -0.25, 1.0 / 3.0};

// The wheel's invariant: the plane point under the pointer maps back to the
// very pixel in the new view, which is kept as the project text keeps it,
// and the scale changes by 2 per notch.
TEST(QVViewZoom, ThePointUnderThePointerStaysOnItsPixel) {
  std::mt19937_64 rng(18);
  for (int i = 0; i < 3000; ++i) {
    const Case c = RandomCase(rng, -6.0);
    const double notches = kNotches[i % std::size(kNotches)];
    const QVComplex point =
        qv::PlaneMapping(c.View.Viewpoint, c.View.Scale, c.W, c.H).Point(c.X, c.Y);
    const qv::ViewChange change = qv::ZoomAbout(c.View, c.W, c.H, c.X, c.Y, notches);
    ASSERT_TRUE(change.View) << c.Name() << " notches " << notches;
    const QVView& v = *change.View;
    EXPECT_EQ(v.Scale, qv::KeptNumber(v.Scale)) << c.Name();
    EXPECT_EQ(v.Viewpoint.re, qv::KeptNumber(v.Viewpoint.re)) << c.Name();
    EXPECT_EQ(v.Viewpoint.im, qv::KeptNumber(v.Viewpoint.im)) << c.Name();
    EXPECT_NEAR(c.View.Scale / v.Scale, std::exp2(notches), 1e-13 * std::exp2(notches)) << c.Name();
    const PixelPos at = PixelOf(point, v, c.W, c.H);
    EXPECT_EQ(std::lround(static_cast<double>(at.X)), c.X) << c.Name() << " notches " << notches;
    EXPECT_EQ(std::lround(static_cast<double>(at.Y)), c.Y) << c.Name() << " notches " << notches;
    EXPECT_NEAR(static_cast<double>(at.X), c.X, 1e-3) << c.Name();
    EXPECT_NEAR(static_cast<double>(at.Y), c.Y, 1e-3) << c.Name();
  }
}

// Where the plane point at pixel (x, y) of from lies in the picture of to,
// in pixels, from the viewpoints' every digit: the point is the render's own,
// the viewpoint plus the mapping's offsets.
struct PrecisePixel {
  double X, Y;
};
PrecisePixel PrecisePixelOf(const QVView& from, const QVView& to, int32_t w, int32_t h, int32_t x,
                            int32_t y) {
  const qv::PlaneMapping before({0.0, 0.0}, from.Scale, w, h);
  const qv::DecimalComplex a = qv::PreciseViewpointOf(from), b = qv::PreciseViewpointOf(to);
  const double perPixel = to.Scale / w;
  return {w / 2 + (qv::test::DecimalDifference(a.re, b.re) + before.ColumnOffset(x)) / perPixel,
          h / 2 - (qv::test::DecimalDifference(a.im, b.im) + before.RowOffset(y)) / perPixel};
}

}  // namespace

// Deep views, down to 1e-290: every zoom keeps the point under the pointer on
// its pixel, checked from every digit of both viewpoints, and the viewpoint
// keeps every place it had.
TEST(QVViewZoom, DeepZoomsKeepThePointFromEveryDigit) {
  std::mt19937_64 rng(5);
  std::uniform_int_distribution<int> exponent(14, 290);
  for (int i = 0; i < 400; ++i) {
    const QVView view = qv::test::DeepTestView(exponent(rng));
    const int32_t w = std::uniform_int_distribution<int32_t>(1, 2000)(rng);
    const int32_t h = std::uniform_int_distribution<int32_t>(1, 2000)(rng);
    const int32_t x = std::uniform_int_distribution<int32_t>(0, w - 1)(rng);
    const int32_t y = std::uniform_int_distribution<int32_t>(0, h - 1)(rng);
    const double notches = kNotches[i % std::size(kNotches)];
    const std::string name = qv::NumberToText(view.Scale) + " " + std::to_string(w) + "x" +
                             std::to_string(h) + " at " + std::to_string(x) + "," +
                             std::to_string(y) + " notches " + qv::NumberToText(notches);
    const qv::ViewChange change = qv::ZoomAbout(view, w, h, x, y, notches);
    ASSERT_TRUE(change.View) << name;
    const QVView& next = *change.View;
    EXPECT_NEAR(view.Scale / next.Scale, std::exp2(notches), 1e-13 * std::exp2(notches)) << name;
    const PrecisePixel at = PrecisePixelOf(view, next, w, h, x, y);
    EXPECT_NEAR(at.X, x, 0.01) << name;
    EXPECT_NEAR(at.Y, y, 0.01) << name;
    // Every place the viewpoint held (down to 1E-37) is still held: the new
    // viewpoint is the old one moved by the offsets, rounded at 1E-37 or finer.
    const qv::PlaneMapping before({0.0, 0.0}, view.Scale, w, h),
        after({0.0, 0.0}, next.Scale, w, h);
    qv::PreciseReal moved(4000), old(4000);
    moved.Set(qv::PreciseViewpointOf(next).re);
    old.Set(view.Precise.re);
    mpfr_sub(moved.Get(), moved.Get(), old.Get(), MPFR_RNDN);
    mpfr_sub_d(moved.Get(), moved.Get(), before.ColumnOffset(x), MPFR_RNDN);
    mpfr_add_d(moved.Get(), moved.Get(), after.ColumnOffset(x), MPFR_RNDN);
    EXPECT_LE(std::fabs(moved.ToDouble()), 0.5e-37) << name;
    EXPECT_EQ(next.Viewpoint.re, qv::DecimalToDouble(qv::PreciseViewpointOf(next).re)) << name;
  }
}

// A pan at 1e-30 moves the viewpoint by exactly the pixels' width in the
// plane, and back again to the very digits it started from.
TEST(QVViewZoom, DeepPansMoveByTheirPixels) {
  const QVView view = qv::test::DeepTestView(30);
  const int32_t w = 640, h = 480;
  const qv::ViewChange right = qv::Pan(view, w, h, -64, 0);
  ASSERT_TRUE(right.View);
  const qv::ViewChange up = qv::Pan(*right.View, w, h, 0, 48);
  ASSERT_TRUE(up.View);
  // The picture moved left by 64 pixels and down by 48: the view moved
  // right by 64 pixels (1E-31) and up by 48 (7.5E-32).
  const qv::DecimalComplex moved = qv::PreciseViewpointOf(*up.View);
  EXPECT_NEAR(qv::test::DecimalDifference(moved.re, view.Precise.re), 1e-31, 1e-3 * 1e-30 / w);
  EXPECT_NEAR(qv::test::DecimalDifference(moved.im, view.Precise.im), 7.5e-32, 1e-3 * 1e-30 / w);
  // Back by the same pixels: the digits the view started from.
  const qv::ViewChange back = qv::Pan(*qv::Pan(*up.View, w, h, 64, 0).View, w, h, 0, -48);
  ASSERT_TRUE(back.View);
  EXPECT_EQ(qv::DecimalToText(qv::PreciseViewpointOf(*back.View).re),
            qv::DecimalToText(view.Precise.re));
  EXPECT_EQ(qv::DecimalToText(qv::PreciseViewpointOf(*back.View).im),
            qv::DecimalToText(view.Precise.im));
}

// The parameter takes a deep view with every digit and gives it back; a view
// of doubles alone (or whose digits no longer match its doubles) is the view
// of their 15 digits.
TEST(QVViewZoom, AViewGoesToTheParameterWithEveryDigit) {
  QVParameter p;
  const QVView deep = qv::test::DeepTestView(30);
  qv::SetView(p, deep);
  EXPECT_EQ(p.PreciseViewpoint(), deep.Precise);
  EXPECT_EQ(p.Scale(), deep.Scale);
  EXPECT_EQ(qv::ViewOf(p).Precise, deep.Precise);
  QVView stale = deep;
  stale.Viewpoint = {0.25, -0.5};
  qv::SetView(p, stale);
  EXPECT_EQ(p.PreciseViewpoint(), qv::DecimalFromComplex({0.25, -0.5}));
  EXPECT_EQ(p.Viewpoint().re, 0.25);
}

// Twenty notches in, then twenty out, at one pointer: every step keeps the
// point on its pixel, so it does not drift.
TEST(QVViewZoom, RepeatedNotchesDoNotDrift) {
  const int32_t w = 640, h = 480, x = 517, y = 101;
  QVView view{{-0.5, 0.0}, 3.0};
  const QVComplex point = qv::PlaneMapping(view.Viewpoint, view.Scale, w, h).Point(x, y);
  for (int i = 0; i < 40; ++i) {
    view = *qv::ZoomAbout(view, w, h, x, y, i < 20 ? 1.0 : -1.0).View;
    const PixelPos at = PixelOf(point, view, w, h);
    EXPECT_NEAR(static_cast<double>(at.X), x, 0.01) << "step " << i;
    EXPECT_NEAR(static_cast<double>(at.Y), y, 0.01) << "step " << i;
  }
  EXPECT_EQ(view.Scale, 3.0);
}

// + and - zoom about the centre: the viewpoint stays to the bit.
TEST(QVViewZoom, TheCentreKeepsTheViewpoint) {
  const QVView view{{-0.743643887037151, 0.13182590420533}, 0.0123456789012345};
  for (const int32_t w : {1, 2, 639, 640}) {
    const qv::ViewChange in = qv::ZoomAbout(view, w, 481, w / 2, 481 / 2, 1.0);
    ASSERT_TRUE(in.View);
    EXPECT_EQ(in.View->Viewpoint.re, view.Viewpoint.re) << w;
    EXPECT_EQ(in.View->Viewpoint.im, view.Viewpoint.im) << w;
    EXPECT_EQ(in.View->Scale, qv::KeptNumber(view.Scale / 2)) << w;
  }
}

// A pan moves every point by the shift, to the pixel.
TEST(QVViewZoom, APanMovesThePictureByTheShift) {
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int32_t> shift(-300, 300);
  for (int i = 0; i < 2000; ++i) {
    const Case c = RandomCase(rng, -6.0);
    const int32_t dx = shift(rng), dy = shift(rng);
    const QVComplex point =
        qv::PlaneMapping(c.View.Viewpoint, c.View.Scale, c.W, c.H).Point(c.X, c.Y);
    const qv::ViewChange change = qv::Pan(c.View, c.W, c.H, dx, dy);
    ASSERT_TRUE(change.View) << c.Name();
    EXPECT_EQ(change.View->Scale, c.View.Scale);
    const PixelPos at = PixelOf(point, *change.View, c.W, c.H);
    EXPECT_NEAR(static_cast<double>(at.X), c.X + dx, 1e-3) << c.Name() << " by " << dx;
    EXPECT_NEAR(static_cast<double>(at.Y), c.Y + dy, 1e-3) << c.Name() << " by " << dy;
  }
}

TEST(QVViewZoom, ChangesOutOfTheNumbersAreRefused) {
  struct Row {
    const char* name;
    QVView view;
    int32_t w;
    double notches;
    qv::ViewRefusal why;
  };
  const Row rows[] = {
      {"zoom out past the largest double", {{0, 0}, 1e308}, 640, -1.0, qv::ViewRefusal::OutOfRange},
      {"zoom in to no scale", {{0, 0}, 4.9e-324}, 640, 1.0, qv::ViewRefusal::OutOfRange},
      {"no picture", {{0, 0}, 4.0}, 0, 1.0, qv::ViewRefusal::OutOfRange},
      {"a million notches", {{0, 0}, 4.0}, 640, 1e6, qv::ViewRefusal::OutOfRange},
      {"below the smallest normal scale", {{0, 0}, 3e-308}, 640, 1.0, qv::ViewRefusal::OutOfRange},
  };
  for (const Row& row : rows) {
    const qv::ViewChange change = qv::ZoomAbout(row.view, row.w, 480, 3, 7, row.notches);
    EXPECT_FALSE(change.View) << row.name;
    EXPECT_EQ(change.Refusal, row.why) << row.name;
  }
  // A deep view is entered, and left, by zooming or panning.
  const QVView deep{{0.5, 0.25}, 1e-14};
  EXPECT_EQ(qv::ZoomAbout(deep, 640, 480, 3, 7, -1.0).View->Scale, 2e-14);
  EXPECT_EQ(qv::ZoomAbout(deep, 640, 480, 3, 7, 1.0).View->Scale, 5e-15);
  EXPECT_TRUE(qv::Pan(deep, 640, 480, 10, 0).View);
}

TEST(QVViewZoom, WheelNotchesFromAnglesOrPixels) {
  struct Row {
    int32_t angle, pixels;
    double notches;
  };
  const Row rows[] = {{120, 0, 1.0},   {-240, 0, -2.0}, {60, 0, 0.5},    {0, 240, 2.0},
                      {0, -30, -0.25}, {0, 0, 0.0},     {15, 999, 0.125}};  // the angle wins
  for (const Row& row : rows) {
    EXPECT_EQ(qv::WheelNotches(row.angle, row.pixels), row.notches)
        << row.angle << " " << row.pixels;
  }
}
