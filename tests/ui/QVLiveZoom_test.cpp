// The live zoom's arithmetic: the pointer's plane point stays, the scale
// follows wall time whatever the frame rate, and the rate is measured.
#include "ui/QVLiveZoom.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/ui/DeepViews.h"
#include "ui/QVViewZoom.h"

namespace {

// The plane point of pixel (x, y), as the render maps it.
QVComplex PointAt(const QVView& v, int32_t x, int32_t y, int32_t w, int32_t h) {
  const double k = (static_cast<double>(h) * v.Scale) / w;
  return {v.Viewpoint.re + (static_cast<double>(x - w / 2) * v.Scale) / w,
          v.Viewpoint.im + (static_cast<double>(h / 2 - y) * k) / h};
}

TEST(QVLiveZoom, ThePointerKeepsItsPointAndTheScaleFollowsTime) {
  struct Case {
    bool in;
    int32_t x, y;
    double seconds, factor;
  };
  const Case cases[] = {{true, 100, 50, 1.0, 0.5},
                        {false, 600, 400, 1.0, 2.0},
                        {true, 320, 240, 0.5, std::sqrt(0.5)},
                        {true, 0, 479, 3.0, 0.125}};
  for (const Case& c : cases) {
    QVLiveZoom zoom;
    const QVView start{{-0.5, 0}, 3};
    zoom.Start(c.in, c.x, c.y, 10.0);
    const std::optional<QVView> next = zoom.NextView(start, 640, 480, 10.0 + c.seconds);
    ASSERT_TRUE(next);
    EXPECT_NEAR(next->Scale, 3 * c.factor, 1e-12) << c.x << ", " << c.y;
    const QVComplex before = PointAt(start, c.x, c.y, 640, 480);
    const QVComplex after = PointAt(*next, c.x, c.y, 640, 480);
    EXPECT_NEAR(after.re, before.re, 1e-14) << c.x << ", " << c.y;
    EXPECT_NEAR(after.im, before.im, 1e-14) << c.x << ", " << c.y;
  }
}

// A slow frame skips the views in between: one step covers the whole time.
TEST(QVLiveZoom, ASlowFrameSkipsToTheViewOfItsMoment) {
  QVLiveZoom fast, slow;
  QVView a{{-0.5, 0}, 3}, b = a;
  fast.Start(true, 200, 100, 0);
  slow.Start(true, 200, 100, 0);
  for (int k = 1; k <= 25; ++k) a = *fast.NextView(a, 640, 480, k * 0.04);
  b = *slow.NextView(b, 640, 480, 1.0);
  EXPECT_NEAR(a.Scale, 1.5, 1e-12);
  EXPECT_NEAR(b.Scale, 1.5, 1e-12);
  EXPECT_NEAR(a.Viewpoint.re, b.Viewpoint.re, 1e-12);
  EXPECT_NEAR(a.Viewpoint.im, b.Viewpoint.im, 1e-12);
}

// At 1e-60 the pointer's point stays too, from the viewpoint's every digit:
// after a second in (2x), the viewpoint has moved half way to the point.
TEST(QVLiveZoom, ADeepViewKeepsThePointersPoint) {
  QVLiveZoom zoom;
  const QVView start = qv::test::DeepTestView(60);
  zoom.Start(true, 520, 40, 0);
  const std::optional<QVView> next = zoom.NextView(start, 640, 480, 1.0);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->Scale, start.Scale / 2);
  const double pixel = start.Scale / 640;
  const qv::DecimalComplex moved = qv::PreciseViewpointOf(*next);
  EXPECT_NEAR(qv::test::DecimalDifference(moved.re, start.Precise.re), 100 * pixel, 1e-3 * pixel);
  EXPECT_NEAR(qv::test::DecimalDifference(moved.im, start.Precise.im), 100 * pixel, 1e-3 * pixel);
}

TEST(QVLiveZoom, RefusesAViewBeyondTheNumbers) {
  QVLiveZoom zoom;
  zoom.Start(false, 0, 0, 0);
  EXPECT_FALSE(zoom.NextView({{-0.5, 0}, 1e300}, 640, 480, 100.0));
  zoom.Start(true, 0, 0, 0);
  EXPECT_FALSE(zoom.NextView({{-0.5, 0}, 1e-300}, 640, 480, 2000.0));
}

TEST(QVLiveZoom, FrameRateOverTheLastSecond) {
  QVLiveZoom zoom;
  zoom.Start(true, 0, 0, 0);
  EXPECT_EQ(zoom.FrameRate(), 0);
  for (int k = 0; k < 20; ++k) zoom.FrameShown(k * 0.1);  // 10 per second
  EXPECT_NEAR(zoom.FrameRate(), 10, 1e-9);
  for (int k = 0; k < 50; ++k) zoom.FrameShown(2.0 + k * 0.04);  // then 25 per second
  EXPECT_NEAR(zoom.FrameRate(), 25, 1e-9);
}

}  // namespace
