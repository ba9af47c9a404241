#include "engine/methods/QVDivergenceMethods.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

namespace {

std::unique_ptr<QVDivergenceMethod> Make(int32_t kind) {
  return qv::CloneAs(*DivergenceMethods()[kind]);
}

}  // namespace

TEST(QVDivergenceMethod, NormNeverStops) {
  const QVDivergenceMethod& norm = *DivergenceMethods()[QVDivergenceMethod_Norm::KindIndex];
  const double inf = std::numeric_limits<double>::infinity();
  for (int32_t j :
       {std::numeric_limits<int32_t>::min(), -1, 0, 1, 7, std::numeric_limits<int32_t>::max()}) {
    for (QVComplex z : {QVComplex{0, 0}, QVComplex{0.005, 5}, QVComplex{0.7, -0.7},
                        QVComplex{1e300, -1e300}, QVComplex{inf, NAN}}) {
      EXPECT_FALSE(norm.Diverged(j, z)) << j << " " << z.re << " " << z.im;
    }
  }
}

TEST(QVDivergenceMethod, StalksStopsInsideEitherStrip) {
  const auto m = Make(QVDivergenceMethod_Stalks::KindIndex);
  EXPECT_TRUE(m->Diverged(1, {0.005, 5}));   // inside the vertical strip
  EXPECT_TRUE(m->Diverged(1, {5, -0.005}));  // inside the horizontal strip
  EXPECT_FALSE(m->Diverged(1, {0.5, 0.5}));
  EXPECT_FALSE(m->Diverged(1, {-0.01, 0.01}));  // the edges are outside (strict)
  EXPECT_TRUE(m->Diverged(1, {-0.0099, 3}));

  m->SetParamValue(0, {0.5, 0});
  EXPECT_TRUE(m->Diverged(1, {0.4, 0}));
  EXPECT_FALSE(m->Diverged(1, {0.6, 0}));  // |im| = 0 is not strictly inside width 0
}

TEST(QVDivergenceMethod, CrossStopsOutsideBothStrips) {
  const auto m = Make(QVDivergenceMethod_Cross::KindIndex);
  EXPECT_TRUE(m->Diverged(1, {0.7, -0.7}));
  EXPECT_TRUE(m->Diverged(1, {-3, 2}));
  EXPECT_FALSE(m->Diverged(1, {0.7, 0.1}));
  EXPECT_FALSE(m->Diverged(1, {0.1, -5}));
  EXPECT_FALSE(m->Diverged(1, {0.6, 0.6}));  // the bounds count as inside
  EXPECT_FALSE(m->Diverged(1, {0.7, -0.6}));
  EXPECT_FALSE(m->Diverged(1, {-0.6, 0.7}));
  EXPECT_FALSE(m->Diverged(1, {-0.6, 0.61}));
}

TEST(QVDivergenceMethod, CountSlotDelaysTheTest) {
  for (int32_t kind : {QVDivergenceMethod_Stalks::KindIndex, QVDivergenceMethod_Cross::KindIndex}) {
    const auto m = Make(kind);
    SCOPED_TRACE(m->Name());
    const QVComplex stopping =
        kind == QVDivergenceMethod_Stalks::KindIndex ? QVComplex{0.005, 5} : QVComplex{0.7, -0.7};
    m->SetParamValue(1, {2.5, 0});
    EXPECT_FALSE(m->Diverged(1, stopping));
    EXPECT_FALSE(m->Diverged(2, stopping));
    EXPECT_TRUE(m->Diverged(3, stopping));
    EXPECT_TRUE(m->Diverged(4, stopping));

    m->SetParamValue(1, {3, 0});  // with n = 3 the test applies from the fourth step
    EXPECT_FALSE(m->Diverged(3, stopping));
    EXPECT_TRUE(m->Diverged(4, stopping));

    m->SetParamValue(1, {0, 100});  // the imaginary part has no effect
    EXPECT_TRUE(m->Diverged(1, stopping));
  }
}

TEST(QVDivergenceMethod, CloneTestsWithItsOwnValues) {
  const auto m = Make(QVDivergenceMethod_Cross::KindIndex);
  m->SetParamValue(0, {2, 2});
  const auto copy = qv::CloneAs(*m);
  EXPECT_FALSE(copy->Diverged(1, {1, 1}));
  EXPECT_TRUE(DivergenceMethods()[QVDivergenceMethod_Cross::KindIndex]->Diverged(1, {1, 1}));
}
