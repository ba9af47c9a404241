#include "engine/deep/QVDeepKernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/deep/QVDeepApproximation.h"
#include "engine/kernels/QVGeneratorKernel.h"
#include "engine/methods/QVMethodLists.h"
#include "engine/methods/QVRenderingMethods.h"
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

// Centres (nuclei: z_p = 0) of minibrots of period p on the real axis near
// -2, each a few to some tens of its view's pixels across: Newton's
// iteration c -= z_p / z_p' (z_p' by z' -> 2 z z' + 1) in 400 decimal digits
// (mpmath), from -2 + 1e-6, -2 + 1e-15, -2 + 1e-29 and -2 + 1e-87, for 200
// steps or until a step fell below 1e-380, printed to 330 digits. The size
// estimate 1 / |beta lambda^2| (lambda = prod 2 z_k, beta = sum 1 / lambda_k)
// gives 3.6e-21, 3.0e-51, 2.3e-101 and 4.6e-302 (periods 25, 60, 120, 357).
const char* const kNucleus25 =
    "-1."
    "9999989999445407627968373125841557740983009045271929482567830775356032201273526786817421463663"
    "0834102558814563509641840623698547454860589157802591949142775933287930129832540510039389601229"
    "4972850516740513158880588904668885708503420891891169505634701099721237092265296243715832302652"
    "60673264812918154129541171384174410835210810152";
const char* const kNucleus60 =
    "-1."
    "9999999999999989999999999119982458436870964525285063260867897877305398687997367855427262990502"
    "1700617682758163206403094118337444169274674077052751469127395323221728086202021013610584641593"
    "2946875079669139330161312304798919225769398828068462259475761047808001034229188675079766444851"
    "08363027923192587866516109420516255355858182627";
const char* const kNucleus120 =
    "-1."
    "9999999999999999999999999999899999999999999999998677412315638990191925051188229929733675893154"
    "1927897230010185215174431729747438718275605522834787716316528642243349190371495846541153934154"
    "0450892316582049831692493157956362920307843655978288158363171461332925827412201111940583245697"
    "53767920549772091295194522455043597744786176437";
const char* const kNucleus357 =
    "-1."
    "9999999999999999999999999999999999999999999999999999999999999999999999999999999999999989999999"
    "9999999999999999999999999999999999999999999999999999999938510450714580953039994234410588663610"
    "3390542644279191302056779010161780730609244794597684854800314630291688888915359218698996655852"
    "72043409539075496765102002916709141707709420523";

const qv::test::DeepLocation kLocations[] = {
    {"M(3,1) 1e-20", "z^2+C", 0, qv::test::M31, "0", 1e-20, 1000},
    {"c=i 1e-20", "z^2+C", 0, "0", "1", 1e-20, 1000},
    {"c=-2 1e-20", "z^2+C", 0, "-2", "0", 1e-20, 1000},
    {"Julia c=i, z=i 1e-20", "z^2+C", 1, "0", "1", 1e-20, 1000},
    {"nucleus p=25 1e-20", "z^2+C", 0, kNucleus25, "0", 1e-20, 1000},
    {"M(3,1) 1e-50", "z^2+C", 0, qv::test::M31, "0", 1e-50, 1000},
    {"c=i 1e-50", "z^2+C", 0, "0", "1", 1e-50, 1000},
    {"c=-2 1e-50", "z^2+C", 0, "-2", "0", 1e-50, 1000},
    {"Julia c=i, z=i 1e-50", "z^2+C", 1, "0", "1", 1e-50, 1000},
    {"nucleus p=60 1e-50", "z^2+C", 0, kNucleus60, "0", 1e-50, 1000},
    {"Julia z^3, z=1 1e-30", "z^3+C", 1, "1.00000000000000000000000000000037", "0", 1e-30, 1000},
    {"minibrot 88 1.5e-39", "z^2+C", 0, kMinibrot88, "0", 1.5e-39, 10000},
    {"M(3,1) 1e-100", "z^2+C", 0, qv::test::M31, "0", 1e-100, 1000},
    {"c=i 1e-100", "z^2+C", 0, "0", "1", 1e-100, 1000},
    {"c=-2 1e-100", "z^2+C", 0, "-2", "0", 1e-100, 1000},
    {"Julia c=i, z=i 1e-100", "z^2+C", 1, "0", "1", 1e-100, 1000},
    {"nucleus p=120 1e-100", "z^2+C", 0, kNucleus120, "0", 1e-100, 1000, 2},
    {"M(3,1) 1e-300", "z^2+C", 0, qv::test::M31, "0", 1e-300, 1500},
    {"c=i 1e-300", "z^2+C", 0, "0", "1", 1e-300, 1000},
    {"c=-2 1e-300", "z^2+C", 0, "-2", "0", 1e-300, 1000},
    {"Julia c=i, z=i 1e-300", "z^2+C", 1, "0", "1", 1e-300, 1000},
    {"nucleus p=357 1e-300", "z^2+C", 0, kNucleus357, "0", 1e-300, 3000, 2},
};

// Whether two packed colours differ by at most 1 in each channel.
bool WithinOne(int32_t a, int32_t b) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(((a >> shift) & 255) - ((b >> shift) & 255)) > 1) return false;
  }
  return true;
}

// Where the counts are equal, the colours the effector gives the two records
// are within +-1 per channel: through the default effector (its rendering
// method and colour bar) and through "log(log(大きさ))", which reads z. The
// number of pixels compared and of those within +-1.
void CompareColours(QVEffector& e, const std::vector<FractalPixel>& deep,
                    const std::vector<FractalPixel>& want, size_t& compared, size_t& within) {
  const std::unique_ptr<QVRenderingMethod> plain = qv::CloneAs(e.RenderingMethod());
  const QVRenderingMethod* smooth = FindMethod(RenderingMethods(), "log(log(大きさ))");
  ASSERT_NE(smooth, nullptr);
  compared = within = 0;
  for (const QVRenderingMethod* m : {static_cast<const QVRenderingMethod*>(plain.get()), smooth}) {
    for (size_t i = 0; i < deep.size(); ++i) {
      if (deep[i].Count != want[i].Count) continue;
      ++compared;
      within += WithinOne(e.ColorAt(m->Value(deep[i].Count, deep[i].Z)),
                          e.ColorAt(m->Value(want[i].Count, want[i].Z)));
    }
  }
}

TEST(QVDeepKernel, CountsAndColoursEqualTheBruteForceReference) {
  int32_t w = 0, h = 0;
  GridSize(w, h);
  for (const qv::test::DeepLocation& l : kLocations) {
    SCOPED_TRACE(l.Name);
    QVMain main;
    QVGenerator& g = qv::test::ShowDeepLocation(main, l, std::max(w / l.Shrink, 1),
                                                std::max(h / l.Shrink, 1));
    const QVParameter& p = main.Parameter;
    ASSERT_EQ(qv::GeneratorKernel(g).Level(), qv::GeneratorKernelLevel::Deep);
    const auto t0 = std::chrono::steady_clock::now();
    const qv::DeepStepCounts before = qv::DeepApproximation::Totals();
    const std::vector<FractalPixel> deep = qv::test::FieldPixels(g);
    const qv::DeepStepCounts after = qv::DeepApproximation::Totals();
    const auto t1 = std::chrono::steady_clock::now();
    const int64_t bits = static_cast<int64_t>(std::ceil(std::log2(p.Width() / l.Scale))) + 128;
    const std::vector<FractalPixel> want =
        qv::test::BruteForcePixels(p, g.OutputMethod(), l.Depth, g.Range(), bits);
    const auto t2 = std::chrono::steady_clock::now();
    ASSERT_EQ(deep.size(), want.size());
    size_t equal = 0;
    std::set<int32_t> distinct;
    for (size_t i = 0; i < deep.size(); ++i) {
      equal += deep[i].Count == want[i].Count;
      distinct.insert(want[i].Count);
    }
    size_t compared = 0, within = 0;
    CompareColours(*main.Graph().Effectors[0], deep, want, compared, within);
    const double share = static_cast<double>(equal) / static_cast<double>(deep.size());
    std::printf(
        "%s: %zu of %zu equal (%.2f %%), %zu distinct counts, %d..%d; colours within +-1: "
        "%zu of %zu; %.1f %% of the steps skipped; deep %.3f s, brute force %.3f s\n",
        l.Name, equal, deep.size(), 100.0 * share, distinct.size(), *distinct.begin(),
        *distinct.rbegin(), within, compared,
        100.0 * static_cast<double>(after.Skipped - before.Skipped) /
            static_cast<double>(std::max<int64_t>(after.Steps - before.Steps, 1)),
        std::chrono::duration<double>(t1 - t0).count(),
        std::chrono::duration<double>(t2 - t1).count());
    EXPECT_GE(share, 0.999);
    EXPECT_EQ(within, compared);
    if (share < 0.999 && std::getenv("QV_DEEP_DUMP")) {
      for (size_t i = 0; i < deep.size(); ++i) {
        if (deep[i].Count != want[i].Count)
          std::printf("(%zu,%zu) %d/%d\n", i % p.Width(), i / p.Width(), deep[i].Count,
                      want[i].Count);
      }
    }
  }
}

}  // namespace
