#include "engine/QVParameter.h"

#include <gtest/gtest.h>

namespace {

TEST(QVParameter, DefaultMappingWorkedExamples) {
  QVParameter p;
  EXPECT_EQ(p.FractalMethod().Name(), "z^2+C");
  EXPECT_EQ(p.Width(), 320);
  EXPECT_EQ(p.Scale(), 4.0);
  const qv::PlaneMapping m(p);
  EXPECT_EQ(m.Point(0, 0), (QVComplex{-2.0, 2.0}));
  EXPECT_EQ(m.Point(160, 160), (QVComplex{0.0, 0.0}));
  EXPECT_EQ(m.Point(319, 319), (QVComplex{1.9875, -1.9875}));
}

TEST(QVParameter, SmallMappingWorkedExample) {
  QVParameter p;
  p.ChangeWidth(3);
  p.ChangeHeight(2);
  p.ChangeScale(3);
  p.ChangeViewpoint({1, 1});
  const qv::PlaneMapping m(p);
  EXPECT_EQ(m.hw, 1);
  EXPECT_EQ(m.hh, 1);
  EXPECT_EQ(m.k, 2.0);
  EXPECT_EQ(m.Point(0, 0), (QVComplex{0.0, 2.0}));
  EXPECT_EQ(m.Point(2, 1), (QVComplex{2.0, 1.0}));
}

TEST(QVParameter, MappingFollowsTheWrittenOrderOfOperations) {
  // With W = 7, H = 5, s = 0.1 the product-then-division order differs from
  // multiplying by a precomputed s / W in the last bit for some pixels.
  QVParameter p;
  p.ChangeWidth(7);
  p.ChangeHeight(5);
  p.ChangeScale(0.1);
  p.ChangeViewpoint({0.3, -0.7});
  const qv::PlaneMapping m(p);
  const double k = (5.0 * 0.1) / 7.0;
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) {
      const double dx = (static_cast<double>(x - 3) * 0.1) / 7.0;
      const double dy = (static_cast<double>(2 - y) * k) / 5.0;
      EXPECT_EQ(m.Point(x, y), (QVComplex{0.3 + dx, -0.7 + dy})) << x << "," << y;
    }
  }
}

TEST(QVParameter, EverySetterTakesANewerStampEvenWithTheSameValue) {
  QVParameter p;
  const uint64_t before = p.Stamp();
  p.ChangeScale(p.Scale());
  EXPECT_GT(p.Stamp(), before);
}

TEST(QVParameter, OutputStampSeesAnEditedFractalMethod) {
  QVParameter p;
  const uint64_t before = p.OutputStamp();
  p.FractalMethod().MarkChanged();  // as a parameter edit of the method would
  EXPECT_GT(p.OutputStamp(), before);
  EXPECT_EQ(p.OutputStamp(), p.FractalMethod().Stamp());
}

}  // namespace
