#include "engine/methods/QVRenderingMethods.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <numbers>

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr double kLargest = 1.7976931348623157e308;
const double kLogGuard = std::log(1e-10);

std::unique_ptr<QVRenderingMethod> Make(int32_t kind, QVComplex slot0) {
  auto m = qv::CloneAs(*RenderingMethods()[kind]);
  m->SetParamValue(0, slot0);
  return m;
}

double Value(int32_t kind, int32_t count, QVComplex z) {
  return RenderingMethods()[kind]->Value(count, z);
}

}  // namespace

TEST(QVRenderingMethod, CountAtDefaults) {
  constexpr int32_t kind = QVRenderingMethod_Count::KindIndex;
  EXPECT_EQ(Value(kind, 0, {}), 0.0);
  EXPECT_EQ(Value(kind, 50, {}), 0.5);
  EXPECT_EQ(Value(kind, 150, {}), 0.75);
  EXPECT_EQ(Value(kind, -50, {}), kLargest);  // -50 + 50 = 0
  EXPECT_EQ(Value(kind, 10, {7, 7}), 10.0 / 60.0);
}

TEST(QVRenderingMethod, CountGuardUsesTheTruncatedConstant) {
  constexpr int32_t kind = QVRenderingMethod_Count::KindIndex;
  EXPECT_EQ(Make(kind, {-3, 0})->Value(3, {}), kLargest);
  EXPECT_EQ(Make(kind, {-3.7, 0})->Value(3, {}), kLargest);  // trunc(-3.7) = -3
  EXPECT_EQ(Make(kind, {-3.7, 0})->Value(4, {}), 4 / (-3.7 + 4));
  // The guard fires although count / (0.5 + 0) would be defined.
  EXPECT_EQ(Make(kind, {0.5, 0})->Value(0, {}), kLargest);
  EXPECT_EQ(Make(kind, {0, 9})->Value(0, {}), kLargest);  // the imaginary part is unused
  EXPECT_EQ(Make(kind, {0, 9})->Value(5, {}), 1.0);
}

TEST(QVRenderingMethod, CountNeverOverflowsTheGuardSum) {
  constexpr int32_t kind = QVRenderingMethod_Count::KindIndex;
  // Saturated constants with extreme counts: the 64-bit sums are -1, not 0.
  EXPECT_EQ(Make(kind, {1e300, 0})->Value(kMin, {}), kMin / (1e300 + kMin));
  EXPECT_EQ(Make(kind, {-1e300, 0})->Value(kMax, {}), kMax / (-1e300 + kMax));
  EXPECT_EQ(Make(kind, {2147483647.0, 0})->Value(kMax, {}), 0.5);
  EXPECT_EQ(Make(kind, {-2147483647.0, 0})->Value(kMax, {}), kLargest);
  EXPECT_EQ(Make(kind, {2147483648.0, 0})->Value(kMin + 1, {}), kLargest);
  // NaN truncates to 0: only count 0 meets the guard; otherwise NaN flows through.
  EXPECT_EQ(Make(kind, {NAN, 0})->Value(0, {}), kLargest);
  EXPECT_TRUE(std::isnan(Make(kind, {NAN, 0})->Value(5, {})));
}

TEST(QVRenderingMethod, ValueOfCountAndParts) {
  EXPECT_EQ(Value(QVRenderingMethod_Count0::KindIndex, kMin, {1, 2}), -2147483648.0);
  EXPECT_EQ(Value(QVRenderingMethod_Count0::KindIndex, 17, {1, 2}), 17.0);
  EXPECT_EQ(Value(QVRenderingMethod_REAL::KindIndex, 17, {-1.5, 2}), -1.5);
  EXPECT_EQ(Value(QVRenderingMethod_IMAG::KindIndex, 17, {-1.5, 2}), 2.0);
}

TEST(QVRenderingMethod, RateGuardsATinyImaginaryPart) {
  constexpr int32_t kind = QVRenderingMethod_RATE::KindIndex;
  EXPECT_EQ(Value(kind, 0, {2, 0}), 2e10);
  EXPECT_EQ(Value(kind, 0, {2, 4}), 0.5);
  EXPECT_EQ(Value(kind, 0, {-3, 9e-11}), -3e10);
  // Exactly at the guard the real part is divided; for this value the quotient
  // and the product by 1e10 round apart.
  const double x = 5.7744670227102635;
  ASSERT_NE(x / 1e-10, x * 1e10);
  EXPECT_EQ(Value(kind, 0, {x, 1e-10}), x / 1e-10);
  EXPECT_EQ(Value(kind, 0, {x, -1e-10}), x / -1e-10);
  EXPECT_EQ(Value(kind, 0, {x, 9.99e-11}), x * 1e10);
  EXPECT_EQ(Make(kind, {1, 1})->Value(0, {3, 1}), 2e10);
  EXPECT_EQ(Make(kind, {1, 1})->Value(0, {3, 5}), 0.5);
}

TEST(QVRenderingMethod, ProductAndModulusMeasureFromTheCentre) {
  EXPECT_EQ(Make(QVRenderingMethod_MULTIPL::KindIndex, {1, 2})->Value(0, {4, 7}), 15.0);
  EXPECT_EQ(Value(QVRenderingMethod_MULTIPL::KindIndex, 0, {-2, 3}), -6.0);
  EXPECT_EQ(Value(QVRenderingMethod_ABS::KindIndex, 0, {3, -4}), 5.0);
  EXPECT_EQ(Make(QVRenderingMethod_ABS::KindIndex, {1, 1})->Value(0, {4, 5}), 5.0);
  // No intermediate overflow.
  EXPECT_DOUBLE_EQ(Value(QVRenderingMethod_ABS::KindIndex, 0, {3e300, 4e300}), 5e300);
}

TEST(QVRenderingMethod, AngleInDegrees) {
  constexpr int32_t kind = QVRenderingMethod_ARG::KindIndex;
  EXPECT_NEAR(Value(kind, 0, {0, 1}), 90.0, 1e-12);
  EXPECT_NEAR(Value(kind, 0, {-1, 0}), 180.0, 1e-12);
  EXPECT_NEAR(Value(kind, 0, {0, -1}), -90.0, 1e-12);
  EXPECT_NEAR(Value(kind, 0, {1, 1}), 45.0, 1e-12);
  EXPECT_NEAR(Value(kind, 0, {-1, -1}), -135.0, 1e-12);
  EXPECT_NEAR(Make(kind, {1, 1})->Value(0, {1, 3}), 90.0, 1e-12);
  // The negative real axis is 180 even with a negative zero imaginary part.
  EXPECT_NEAR(Value(kind, 0, {-1, -0.0}), 180.0, 1e-12);
}

TEST(QVRenderingMethod, AngleAtTheCentreIsZero) {
  constexpr int32_t kind = QVRenderingMethod_ARG::KindIndex;
  EXPECT_EQ(Value(kind, 0, {0, 0}), 0.0);
  EXPECT_EQ(Value(kind, 0, {-0.0, 0}), 0.0);
  EXPECT_EQ(Value(kind, 0, {-0.0, -0.0}), 0.0);
  EXPECT_EQ(Make(kind, {2, -3})->Value(0, {2, -3}), 0.0);
}

TEST(QVRenderingMethod, CountLoopKeepsTheSignOfTheCount) {
  constexpr int32_t kind = QVRenderingMethod_CountLoop::KindIndex;
  EXPECT_EQ(Value(kind, 7, {}), 7.0);
  EXPECT_EQ(Value(kind, 8, {}), 0.0);
  EXPECT_EQ(Value(kind, 9, {}), 1.0);
  EXPECT_EQ(Value(kind, -3, {}), -3.0);
  EXPECT_EQ(Value(kind, -9, {}), -1.0);
  EXPECT_EQ(Make(kind, {-8.9, 0})->Value(9, {}), 1.0);  // trunc(-8.9) = -8
  EXPECT_EQ(Make(kind, {-8.9, 0})->Value(-9, {}), -1.0);
  EXPECT_EQ(Make(kind, {3, 100})->Value(10, {}), 1.0);  // the imaginary part is unused
}

TEST(QVRenderingMethod, CountLoopEdgeSizesDoNotTrap) {
  constexpr int32_t kind = QVRenderingMethod_CountLoop::KindIndex;
  // A size that truncates to 0 leaves the count as it is.
  for (double size : {0.0, 0.5, -0.99, static_cast<double>(NAN)}) {
    EXPECT_EQ(Make(kind, {size, 0})->Value(12345, {}), 12345.0) << size;
    EXPECT_EQ(Make(kind, {size, 0})->Value(kMin, {}), -2147483648.0) << size;
  }
  EXPECT_EQ(Make(kind, {-1, 0})->Value(kMin, {}), 0.0);
  EXPECT_EQ(Make(kind, {1e300, 0})->Value(kMin, {}), -1.0);  // size saturates to INT32_MAX
  EXPECT_EQ(Make(kind, {-1e300, 0})->Value(kMin, {}), 0.0);  // size saturates to INT32_MIN
  EXPECT_EQ(Make(kind, {-1e300, 0})->Value(kMax, {}), 2147483647.0);
}

TEST(QVRenderingMethod, CrossPicksTheScaledPartNearerZero) {
  constexpr int32_t kind = QVRenderingMethod_Cross::KindIndex;
  EXPECT_DOUBLE_EQ(Value(kind, 0, {0.02, -0.05}), 2.0);
  EXPECT_DOUBLE_EQ(Value(kind, 0, {0.03, 0.03}), 3.0);
  EXPECT_DOUBLE_EQ(Value(kind, 0, {0.03, -0.03}), -3.0);  // a tie takes the imaginary part
  EXPECT_DOUBLE_EQ(Value(kind, 0, {-0.05, 0.02}), 2.0);
  EXPECT_EQ(Make(kind, {0, 2})->Value(0, {5, 4}), 2.0);  // zero w.re: only b
  EXPECT_EQ(Make(kind, {2, 0})->Value(0, {4, 5}), 2.0);  // zero w.im: only a
  EXPECT_EQ(Make(kind, {0, 0})->Value(0, {4, 5}), 0.0);
}

TEST(QVRenderingMethod, LogOfModulusIsBoundedBelow) {
  constexpr int32_t kind = QVRenderingMethod_LOG_ABS::KindIndex;
  EXPECT_EQ(Value(kind, 0, {0, 0}), kLogGuard);
  EXPECT_EQ(Make(kind, {3, 4})->Value(0, {3, 4}), kLogGuard);
  EXPECT_DOUBLE_EQ(Value(kind, 0, {std::numbers::e, 0}), 1.0);
  EXPECT_DOUBLE_EQ(Make(kind, {1, 1})->Value(0, {1, 1 + std::numbers::e}), 1.0);
  EXPECT_EQ(Value(kind, 0, {NAN, 0}), kLogGuard);  // NaN is not >= 1e-10 either
  EXPECT_NEAR(kLogGuard, -23.02585, 1e-5);
}

TEST(QVRenderingMethod, LogLogOfModulusIsBoundedBelow) {
  constexpr int32_t kind = QVRenderingMethod_LOG_LOG_ABS::KindIndex;
  EXPECT_EQ(Value(kind, 0, {0, 0}), kLogGuard);
  EXPECT_EQ(Value(kind, 0, {1, 0}), kLogGuard);
  EXPECT_EQ(Value(kind, 0, {0, 1.00000000005}), kLogGuard);  // ln |d| below 1e-10
  EXPECT_DOUBLE_EQ(Value(kind, 0, {std::exp(std::numbers::e), 0}), 1.0);
  EXPECT_DOUBLE_EQ(Value(kind, 0, {std::numbers::e, 0}), 0.0);
  EXPECT_GT(Value(kind, 0, {1.001, 0}), kLogGuard);
}
