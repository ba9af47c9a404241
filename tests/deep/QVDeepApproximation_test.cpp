#include "engine/deep/QVDeepApproximation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/kernels/QVGeneratorKernel.h"
#include "engine/methods/QVMethodLists.h"
#include "tests/deep/DeepTestViews.h"

namespace {

using qv::Abs;
using qv::Add;
using qv::DeepApproximation;
using qv::Mul;
using qv::Sub;

// An orbit of z^2 + c in doubles with its gaps to the range 4.
std::vector<qv::ReferencePoint> DoubleOrbit(QVComplex c, size_t n) {
  std::vector<qv::ReferencePoint> orbit;
  QVComplex z{};
  for (size_t i = 0; i < n; ++i) {
    orbit.push_back({z, z.re * z.re + z.im * z.im - 4.0});
    z = Add(Mul(z, z), c);
  }
  return orbit;
}

// A skip lands where the single perturbed steps (2Z + d) d + dc land, for
// random small d and dc at every start index: the composed maps, their
// alignment and the index they move to are right.
TEST(QVDeepApproximation, SkipAgreesWithSingleSteps) {
  const auto orbit = DoubleOrbit({0.0, 1.0}, 3000);  // 0, i, -1 + i, -i, -1 + i, ...
  const double dcMax = 1e-40;
  const DeepApproximation table(2, orbit, dcMax, 4.0);
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  int64_t skips = 0;
  for (size_t start = 0; start < 2900; ++start) {
    const QVComplex dc{unit(random) * dcMax / 2, unit(random) * dcMax / 2};
    const QVComplex d0{unit(random) * 1e-30, unit(random) * 1e-30};
    size_t m = start;
    QVComplex d = d0;
    const int32_t l = table.Skip(m, d, dc, 1 << 20);
    if (l == 0) continue;
    ++skips;
    ASSERT_EQ(m, start + static_cast<size_t>(l));
    QVComplex want = d0;
    for (size_t i = start; i < m; ++i)
      want = Add(Mul(Add(Add(orbit[i].Z, orbit[i].Z), want), want), dc);
    const double error = Abs(Sub(d, want)), size = Abs(want);
    EXPECT_LE(error, 1e-12 * size) << "from " << start << ", " << l << " steps";
  }
  EXPECT_GT(skips, 1000);  // the odd starts never take a node, nor does 0
}

// The output method name and the divergence test name, its slot 1 ("回数")
// set to untested.
void UseMethods(QVGenerator& g, const std::string& output, const std::string& divergence,
                double untested) {
  const QVOutputMethod* o = FindMethod(OutputMethods(), output);
  const QVDivergenceMethod* d = FindMethod(DivergenceMethods(), divergence);
  ASSERT_TRUE(o && d);
  g.SetOutputMethod(qv::CloneAs(*o));
  auto test = qv::CloneAs(*d);
  test->SetParamValue(1, {untested, 0.0});
  g.SetDivergenceMethod(std::move(test));
}

struct View {
  qv::test::DeepLocation Where;
  const char* Output;
  const char* Divergence;
  double Untested;    // the divergence test's "回数"
  double LeastShare;  // of the steps skipped; 0: none may be
};

// Each view computed with and without skipping: the counts agree on 99.9 %
// of the pixels, and the share of skipped steps is as expected (none where
// the output method watches every step). On the real axis "エプシロンクロス"
// stops every orbit at its first tested step, 128, so a skip across it would
// show in the counts: the node of 128 steps from step 2 would end at 129.
TEST(QVDeepApproximation, SkippingKeepsTheCounts) {
  const qv::test::DeepLocation m31{"M(3,1) 1e-50", "z^2+C", 0, qv::test::M31, "0", 1e-50, 2000};
  const View views[] = {
      {m31, "終点", "ノルム", 0, 0.5},
      {m31, "球", "ノルム", 0, 0.0},
      {m31, "終点", "エプシロンクロス", 127, 0.3},
      // Below 2^-480 the differences are scaled; their first steps skip too.
      {{"M(3,1) 1e-300", "z^2+C", 0, qv::test::M31, "0", 1e-300, 2000}, "終点", "ノルム", 0, 0.8},
      {{"Julia z^3 1e-30", "z^3+C", 1, "1.00000000000000000000000000000037", "0", 1e-30, 1000},
       "終点",
       "ノルム",
       0,
       0.1},
  };
  for (const View& v : views) {
    SCOPED_TRACE(std::string(v.Where.Name) + ", " + v.Output + ", " + v.Divergence);
    QVMain main;
    QVGenerator& g = qv::test::ShowDeepLocation(main, v.Where, 64, 48);
    UseMethods(g, v.Output, v.Divergence, v.Untested);
    std::vector<int32_t> counts[2];
    qv::DeepStepCounts totals[2];
    for (int on = 0; on < 2; ++on) {
      DeepApproximation::Enable(on == 1);
      g.SetDepth(v.Where.Depth);  // marks the generator changed
      const qv::DeepStepCounts before = DeepApproximation::Totals();
      counts[on] = qv::test::FieldCounts(g);
      totals[on] = DeepApproximation::Totals();
      totals[on].Steps -= before.Steps;
      totals[on].Skipped -= before.Skipped;
    }
    DeepApproximation::Enable(true);
    size_t equal = 0;
    for (size_t i = 0; i < counts[0].size(); ++i) equal += counts[0][i] == counts[1][i];
    const double share =
        static_cast<double>(totals[1].Skipped) / static_cast<double>(totals[1].Steps);
    std::printf("%s, %s, %s: %zu of %zu equal, %.1f %% of %lld steps skipped\n", v.Where.Name,
                v.Output, v.Divergence, equal, counts[0].size(), 100.0 * share,
                static_cast<long long>(totals[1].Steps));
    EXPECT_EQ(totals[0].Skipped, 0);
    EXPECT_GE(static_cast<double>(equal), 0.999 * static_cast<double>(counts[0].size()));
    if (v.LeastShare > 0.0) {
      EXPECT_GE(share, v.LeastShare);
    } else {
      EXPECT_EQ(totals[1].Skipped, 0);
    }
  }
}

}  // namespace
