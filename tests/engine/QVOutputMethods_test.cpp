#include "engine/methods/QVOutputMethods.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

namespace {

std::unique_ptr<QVOutputMethod> Make(int32_t kind) { return qv::CloneAs(*OutputMethods()[kind]); }

// One pixel as a generator runs it: Start, Step(j, z_j) for j = 1.., Result.
FractalPixel RunPixel(QVOutputMethod& m, const std::vector<QVComplex>& orbit) {
  m.Start();
  for (size_t j = 0; j < orbit.size(); ++j) m.Step(static_cast<int32_t>(j + 1), orbit[j]);
  return m.Result();
}

// Whether running the orbit records z and count.
::testing::AssertionResult Records(QVOutputMethod& m, const std::vector<QVComplex>& orbit,
                                   QVComplex z, int32_t count) {
  const FractalPixel p = RunPixel(m, orbit);
  if (p.Z == z && p.Count == count) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "recorded (" << p.Z.re << ", " << p.Z.im << ") and " << p.Count << ", expected ("
         << z.re << ", " << z.im << ") and " << count;
}

}  // namespace

TEST(QVOutputMethod, EndPointRecordsLastValueAndStepCount) {
  const auto m = Make(QVOutputMethod_EndPoint::KindIndex);
  // z^2 + c from 0 with c = 1: 1, 2, 5, 26, 677, ... the generator stops at step 7.
  std::vector<QVComplex> orbit;
  QVComplex z{0, 0};
  for (int j = 0; j < 7; ++j) orbit.push_back(z = qv::Add(qv::Mul(z, z), {1, 0}));
  EXPECT_TRUE(Records(*m, orbit, orbit.back(), 7));
  // An orbit that never stops within the depth (3 here) ends at step 3.
  EXPECT_TRUE(Records(*m, {{0.5, 0}, {0.25, 0}, {-0.1, 0.2}}, {-0.1, 0.2}, 3));
}

TEST(QVOutputMethod, EndPointWithoutStepsRecordsZero) {
  const auto m = Make(QVOutputMethod_EndPoint::KindIndex);
  RunPixel(*m, {{3, 4}, {5, 6}});  // a previous pixel leaves its values behind
  EXPECT_TRUE(Records(*m, {}, {0, 0}, 0));
}

TEST(QVOutputMethod, BallRecordsClosestApproach) {
  const auto m = Make(QVOutputMethod_Ball::KindIndex);
  EXPECT_TRUE(Records(*m, {{0.5, 0}, {0.25, 0}, {0.0625, 0}}, {0.0625, 0}, 3));
  EXPECT_TRUE(Records(*m, {{0.1, -0.1}, {1, 0}, {0.5, 0}}, {0.1, -0.1}, 1));
  // A tie keeps the first point.
  EXPECT_TRUE(Records(*m, {{2, 0}, {0.3, 0}, {0, -0.3}}, {0.3, 0}, 2));
}

TEST(QVOutputMethod, BallMeasuresFromPositionAfterStartStep) {
  const auto m = Make(QVOutputMethod_Ball::KindIndex);
  m->SetParamValue(0, {1, 1});
  m->SetParamValue(1, {2, 0});
  // Step 1 is nearest to p but does not take part.
  EXPECT_TRUE(Records(*m, {{1, 1}, {3, 1}, {1.5, 1}, {4, 4}}, {0.5, 0}, 3));

  // No step takes part: (0, 0) and 1, whatever the pixel before left.
  m->SetParamValue(1, {5, 0});
  EXPECT_TRUE(Records(*m, {{1, 1}, {3, 1}}, {0, 0}, 1));
}

TEST(QVOutputMethod, BallStartsEachPixelAfresh) {
  const auto m = Make(QVOutputMethod_Ball::KindIndex);
  RunPixel(*m, {{0, 0}});  // distance 0: nothing later could beat it without a Start
  EXPECT_TRUE(Records(*m, {{2, 0}, {1, 0}}, {1, 0}, 2));
}

TEST(QVOutputMethod, TraceSumsPoweredDifferences) {
  const auto m = Make(QVOutputMethod_Trace::KindIndex);
  m->SetParamValue(0, {1, 1});
  m->SetParamValue(1, {1, 0});
  EXPECT_TRUE(Records(*m, {{1, 0}, {3, 0}}, {3, 0}, 2));  // |1 - 0| + |3 - 1|

  // Separate powers per part: |4|^2 + |-1 - 4|^2 = 41 and |2|^3 + |0 - 2|^3 = 16.
  m->SetParamValue(0, {2, 3});
  EXPECT_TRUE(Records(*m, {{4, 2}, {-1, 0}}, {41, 16}, 2));
}

TEST(QVOutputMethod, TraceDefaultsTakeSquareRoots) {
  const auto m = Make(QVOutputMethod_Trace::KindIndex);
  EXPECT_TRUE(Records(*m, {{4, -9}, {0, 7}}, {4, 7}, 2));  // (2 + 2, 3 + 4)
  // The next pixel's first difference is against (0, 0) again.
  EXPECT_TRUE(Records(*m, {{16, 1}}, {4, 1}, 1));
}

TEST(QVOutputMethod, TraceStartStepKeepsTheEarlierValueForItsDifference) {
  const auto m = Make(QVOutputMethod_Trace::KindIndex);
  m->SetParamValue(0, {1, 1});
  m->SetParamValue(1, {3, 0});
  // Counted: steps 3 and 4, |6 - 3| + |10 - 6| = 7.
  EXPECT_TRUE(Records(*m, {{1, 0}, {3, 0}, {6, 0}, {10, 0}}, {7, 0}, 2));
}

TEST(QVOutputMethod, TraceCheckerSumsCheckerboardTerms) {
  const auto m = Make(QVOutputMethod_TraceChecker::KindIndex);
  m->SetParamValue(0, {1, 1});
  const double h = std::numbers::pi / 2;
  // Terms: sin(h) sin(h) = 1, sin(h) sin(-h) = -1, sin(0) sin(h) = 0; two are >= 0.
  EXPECT_TRUE(Records(*m, {{h, h}, {h, -h}, {0, h}}, {0, 0}, 2));

  m->SetParamValue(1, {0.25, 7});  // only the real part of the bias counts
  m->SetParamValue(2, {2, 0});     // step 1 is left out: (-1 + 0.25) + (0 + 0.25)
  EXPECT_TRUE(Records(*m, {{h, h}, {h, -h}, {0, h}}, {-0.5, 0}, 1));
}

TEST(QVOutputMethod, TraceCheckerNegativeBiasNeverCounts) {
  const auto m = Make(QVOutputMethod_TraceChecker::KindIndex);
  m->SetParamValue(1, {-2, 0});
  std::vector<QVComplex> orbit;
  for (int j = 0; j < 200; ++j) orbit.push_back({std::sin(j * 1.7) * 3, std::cos(j * 0.3) * 5});
  const FractalPixel p = RunPixel(*m, orbit);
  EXPECT_EQ(p.Count, 0);
  EXPECT_LE(p.Z.re, -200.0);  // every term is at most 1 - 2
  EXPECT_EQ(p.Z.im, 0.0);
}

TEST(QVOutputMethod, ClonesStepIndependently) {
  const auto owner = Make(QVOutputMethod_Ball::KindIndex);
  owner->SetParamValue(0, {1, 0});
  const auto worker = qv::CloneAs(*owner);
  EXPECT_EQ(worker->ParamValue(0), (QVComplex{1, 0}));
  const FractalPixel p = RunPixel(*worker, {{3, 0}, {1.25, 0}});
  EXPECT_EQ(p.Z, (QVComplex{0.25, 0}));
  EXPECT_EQ(owner->Result().Z, (QVComplex{0, 0}));  // the owner's object is never stepped
}

TEST(QVOutputMethod, NonFiniteValuesDoNotTrap) {
  const auto trace = Make(QVOutputMethod_Trace::KindIndex);
  trace->SetParamValue(0, {-1, -1});  // a zero difference to a negative power is infinite
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(Records(*trace, {{0, 0}}, {inf, inf}, 1));
  const FractalPixel t = RunPixel(*trace, {{0, 0}, {NAN, 1}});
  EXPECT_TRUE(std::isnan(t.Z.re));
  EXPECT_EQ(t.Z.im, inf);  // inf + |1 - 0|^-1
  const auto checker = Make(QVOutputMethod_TraceChecker::KindIndex);
  checker->SetParamValue(0, {0, 0});  // an unguarded zero width
  const FractalPixel c = RunPixel(*checker, {{1, 1}});
  EXPECT_TRUE(std::isnan(c.Z.re));
}
