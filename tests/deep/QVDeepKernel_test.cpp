#include "engine/deep/QVDeepKernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/deep/QVDeepApproximation.h"
#include "engine/kernels/QVGeneratorKernel.h"
#include "engine/methods/QVMethodLists.h"
#include "tests/deep/DeepReference.h"
#include "tests/deep/DeepTestViews.h"

namespace {

// The grid of the comparisons: 64 x 48, or what QV_DEEP_TEST_SIZE says
// ("WxH"); the sanitizer builds set a smaller one (tests/CMakeLists.txt).
void GridSize(int32_t& w, int32_t& h) {
  w = 64;
  h = 48;
  if (const char* size = std::getenv("QV_DEEP_TEST_SIZE")) {
    int sw = 0, sh = 0;
    if (std::sscanf(size, "%dx%d", &sw, &sh) == 2 && sw > 0 && sh > 0) {
      w = sw;
      h = sh;
    }
  }
}

// Well-known points of the boundaries, each at a scale the doubles cannot
// resolve: the Misiurewicz points c = i (its neighbourhood is a spiral of
// dendrites at every scale) and M(3,1) = -1.5436890126920763615... (the real
// root of c^3 + 2c^2 + 2c + 2: its orbit lands on a repelling fixed point
// after three steps), the tip c = -2 (its orbit stays at 2, on the escape
// circle of range 4); for the Julia-like type the point z = i of the dendrite
// c = i and the point z = 1 of the unit circle, the Julia set of z^3 + 0.
// At depth 10,000, the centre of a minibrot of period 88 and size 3.5e-40
// near M(3,1), on the real axis (its nucleus, found by Newton's method on
// z_88(c) = 0): its pixels run through the reference's period many times,
// and the approximation skips most of their steps.
const char* const kMinibrot88 =
    "-1.5436890126920763615503021498573852212808756965095237427153753691573933473363916";

const qv::test::DeepLocation kLocations[] = {
    {"M(3,1) 1e-20", "z^2+C", 0, qv::test::M31, "0", 1e-20, 1000},
    {"M(3,1) 1e-50", "z^2+C", 0, qv::test::M31, "0", 1e-50, 1000},
    {"c=i 1e-50", "z^2+C", 0, "0", "1", 1e-50, 1000},
    {"c=i 1e-100", "z^2+C", 0, "0", "1", 1e-100, 1000},
    {"Julia c=i, z=i 1e-40", "z^2+C", 1, "0", "1", 1e-40, 1000},
    {"c=-2 1e-30", "z^2+C", 0, "-2", "0", 1e-30, 1000},
    {"Julia z^3, z=1 1e-30", "z^3+C", 1, "1.00000000000000000000000000000037", "0", 1e-30, 1000},
    {"minibrot 88 1.5e-39", "z^2+C", 0, kMinibrot88, "0", 1.5e-39, 10000},
};

TEST(QVDeepKernel, CountsEqualTheBruteForceReference) {
  int32_t w = 0, h = 0;
  GridSize(w, h);
  for (const qv::test::DeepLocation& l : kLocations) {
    SCOPED_TRACE(l.Name);
    QVMain main;
    QVGenerator& g = qv::test::ShowDeepLocation(main, l, w, h);
    const QVParameter& p = main.Parameter;
    ASSERT_EQ(qv::GeneratorKernel(g).Level(), qv::GeneratorKernelLevel::Deep);
    const auto t0 = std::chrono::steady_clock::now();
    const qv::DeepStepCounts before = qv::DeepApproximation::Totals();
    const std::vector<int32_t> deep = qv::test::FieldCounts(g);
    const qv::DeepStepCounts after = qv::DeepApproximation::Totals();
    const auto t1 = std::chrono::steady_clock::now();
    const int64_t bits = static_cast<int64_t>(std::ceil(std::log2(w / l.Scale))) + 128;
    const std::vector<int32_t> want = qv::test::BruteForceCounts(p, l.Depth, g.Range(), bits);
    const auto t2 = std::chrono::steady_clock::now();
    ASSERT_EQ(deep.size(), want.size());
    size_t equal = 0;
    for (size_t i = 0; i < deep.size(); ++i) equal += deep[i] == want[i];
    const std::set<int32_t> distinct(want.begin(), want.end());
    const double share = static_cast<double>(equal) / static_cast<double>(deep.size());
    std::printf(
        "%s: %zu of %zu equal (%.2f %%), %zu distinct counts, %d..%d; %.1f %% of the steps "
        "skipped; deep %.3f s, brute force %.3f s\n",
        l.Name, equal, deep.size(), 100.0 * share, distinct.size(), *distinct.begin(),
        *distinct.rbegin(),
        100.0 * static_cast<double>(after.Skipped - before.Skipped) /
            static_cast<double>(std::max<int64_t>(after.Steps - before.Steps, 1)),
        std::chrono::duration<double>(t1 - t0).count(),
        std::chrono::duration<double>(t2 - t1).count());
    EXPECT_GE(share, 0.999);
    if (share < 0.999 && std::getenv("QV_DEEP_DUMP")) {
      for (int32_t x = 0; x < w; ++x) std::printf("%d/%d ", deep[x], want[x]);
      std::printf("\n");
    }
  }
}

}  // namespace
