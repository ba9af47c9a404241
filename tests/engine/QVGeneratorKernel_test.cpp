#include "engine/kernels/QVGeneratorKernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <stop_token>
#include <string>
#include <vector>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVRowWorkers.h"
#include "engine/methods/QVDivergenceMethods.h"
#include "engine/methods/QVFractalMethods.h"
#include "engine/methods/QVOutputMethods.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using qv::GeneratorKernelLevel;

// Forces a kernel level for one test and goes back to Auto afterwards.
class ScopedKernelLevel {
 public:
  explicit ScopedKernelLevel(GeneratorKernelLevel level) { qv::ForceGeneratorKernelLevel(level); }
  ~ScopedKernelLevel() { qv::ForceGeneratorKernelLevel(GeneratorKernelLevel::Auto); }
};

std::vector<FractalPixel> Records(const QVGenerator& g) {
  std::vector<FractalPixel> out;
  for (int32_t y = 0; y < g.FractalField.Height; ++y)
    for (int32_t x = 0; x < g.FractalField.Width; ++x) out.push_back(g.FractalField.Pixel(x, y));
  return out;
}

// The first pixel whose bits differ, as text; empty when all agree.
std::string FirstDifference(const std::vector<FractalPixel>& got,
                            const std::vector<FractalPixel>& want, int32_t width) {
  if (got.size() != want.size()) return "different sizes";
  for (size_t i = 0; i < got.size(); ++i) {
    if (std::memcmp(&got[i].Z, &want[i].Z, sizeof(QVComplex)) != 0 ||
        got[i].Count != want[i].Count) {
      const auto w = static_cast<size_t>(width);
      return "pixel (" + std::to_string(i % w) + ", " + std::to_string(i / w) + "): got (" +
             std::to_string(got[i].Z.re) + ", " + std::to_string(got[i].Z.im) + ") count " +
             std::to_string(got[i].Count) + ", want (" + std::to_string(want[i].Z.re) + ", " +
             std::to_string(want[i].Z.im) + ") count " + std::to_string(want[i].Count);
    }
  }
  return "";
}

// A view and the generator's depth and range.
struct Scene {
  const char* name;
  int32_t type;
  QVComplex c, view;
  double scale;
  int32_t width, height, depth;
  double range;
};

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Escaping and bounded orbits, points at and near 0 for the guards (at 4e-10
// wide, the points are multiples of 8e-11, some undecidable without hypot and
// one exactly 0), orbits that overflow to infinity and NaN, a range the guard
// value does not reach, a range every orbit leaves at once, depths 0 and 1,
// odd sizes, and a C with one NaN part beside a part far from 0 (the guards
// must see the NaN modulus, not the large part).
const Scene Scenes[] = {
    {"mandelbrot", 0, {0, 0}, {-0.5, 0}, 3.0, 13, 7, 60, 4.0},
    {"mandelbrot with C", 0, {0.3, -0.2}, {0, 0}, 4.0, 5, 3, 40, 4.0},
    {"julia near 0", 1, {-0.4, 0.6}, {0, 0}, 4e-10, 5, 3, 30, 4.0},
    {"julia", 1, {-0.8, 0.156}, {0.05, -0.1}, 3.3, 17, 9, 80, 4.0},
    {"julia wide range", 1, {0.285, 0.01}, {0, 0}, 2.5, 9, 5, 25, 1e30},
    {"overflow", 0, {0.1, 0.1}, {0.3, 0.2}, 5.0, 7, 5, 40, Inf},
    {"one pixel", 1, {0.2, 0.3}, {0.4, -0.3}, 1.0, 1, 1, 50, 4.0},
    {"depth 1", 0, {0, 0}, {0, 0}, 4.0, 6, 4, 1, 4.0},
    {"depth 0", 1, {0.2, 0.3}, {0, 0}, 4.0, 3, 2, 0, 4.0},
    {"wide row", 0, {0, 0}, {-0.7, 0.3}, 2.0, 41, 3, 200, 4.0},
    {"range below 0", 1, {-0.4, 0.6}, {0, 0}, 3.0, 5, 3, 20, -1.0},
    {"mandelbrot with a NaN part in C", 0, {NaN, 0.5}, {0, 0}, 4.0, 5, 3, 20, 4.0},
    {"julia with a NaN part in C", 1, {0.5, NaN}, {0, 0}, 4.0, 5, 3, 20, 4.0},
};

// Method parameters off their defaults, applied to every other scene.
void UseOtherParameters(QVGenerator& g) {
  switch (g.DivergenceMethod().Kind()) {
    case QVDivergenceMethod_Stalks::KindIndex:
      g.DivergenceMethod().SetParamValue(0, {0.05, 0.02});
      g.DivergenceMethod().SetParamValue(1, {2.5, 0});
      break;
    case QVDivergenceMethod_Cross::KindIndex:
      g.DivergenceMethod().SetParamValue(0, {0.6, 0.3});
      g.DivergenceMethod().SetParamValue(1, {2.5, 0});
      break;
  }
  switch (g.OutputMethod().Kind()) {
    case QVOutputMethod_Ball::KindIndex:
      g.OutputMethod().SetParamValue(0, {0.1, -0.2});
      g.OutputMethod().SetParamValue(1, {3, 0});
      break;
    case QVOutputMethod_Trace::KindIndex:
      g.OutputMethod().SetParamValue(0, {1.5, 0.75});
      g.OutputMethod().SetParamValue(1, {2, 0});
      break;
    case QVOutputMethod_TraceChecker::KindIndex:
      g.OutputMethod().SetParamValue(0, {0.3, 0.2});
      g.OutputMethod().SetParamValue(1, {-0.1, 0});
      g.OutputMethod().SetParamValue(2, {2, 0});
      break;
  }
}

void SetScene(QVMain& main, QVGenerator& g, const Scene& s) {
  main.Parameter.ChangeFractalType(s.type);
  main.Parameter.ChangeFractalParameter(s.c);
  main.Parameter.ChangeViewpoint(s.view);
  main.Parameter.ChangeScale(s.scale);
  main.Parameter.ChangeWidth(s.width);
  main.Parameter.ChangeHeight(s.height);
  g.SetDepth(s.depth);
  g.SetRange(s.range);
}

std::vector<FractalPixel> ComputeAt(QVGenerator& g, GeneratorKernelLevel level, int workers) {
  ScopedKernelLevel forced(level);
  EXPECT_EQ(qv::GeneratorKernel(g).Level() == GeneratorKernelLevel::Plain,
            level == GeneratorKernelLevel::Plain);
  EXPECT_TRUE(g.Compute(qv::test::WorkersPass(workers)));
  return Records(g);
}

// Every combination on every scene, computed at the level with 1 to 7
// workers, gives the plain loop's bits.
void ExpectSameBitsAsPlain(GeneratorKernelLevel level) {
  QVMain main;
  QVGenerator& g = *main.Graph().Generators[0];
  int run = 0;
  for (const QVFractalMethod* f : FractalMethods()) {
    main.Parameter.ChangeFractalMethod(qv::CloneAs(*f));
    for (const QVDivergenceMethod* d : DivergenceMethods()) {
      for (const QVOutputMethod* o : OutputMethods()) {
        for (size_t i = 0; i < std::size(Scenes); ++i) {
          const Scene& s = Scenes[i];
          g.SetDivergenceMethod(qv::CloneAs(*d));
          g.SetOutputMethod(qv::CloneAs(*o));
          if (i % 2 == 1) UseOtherParameters(g);
          SetScene(main, g, s);
          const std::vector<FractalPixel> want = ComputeAt(g, GeneratorKernelLevel::Plain, 1);
          const int workers = 1 + run++ % 7;
          const std::vector<FractalPixel> got = ComputeAt(g, level, workers);
          const std::string diff = FirstDifference(got, want, s.width);
          EXPECT_EQ(diff, "") << f->Name() << ", " << d->Name() << ", " << o->Name() << ", scene "
                              << s.name << (i % 2 ? " (other parameters)" : "") << ", " << workers
                              << " workers";
        }
      }
    }
  }
}

void SkipUnlessSupported(GeneratorKernelLevel level) {
  if (!qv::GeneratorKernelLevelSupported(level))
    GTEST_SKIP() << "this processor has no " << qv::GeneratorKernelLevelName(level);
}

TEST(QVGeneratorKernel, ScalarLevelGivesThePlainLoopsBits) {
  ExpectSameBitsAsPlain(GeneratorKernelLevel::Scalar);
}

TEST(QVGeneratorKernel, Sse2LevelGivesThePlainLoopsBits) {
  SkipUnlessSupported(GeneratorKernelLevel::Sse2);
  ExpectSameBitsAsPlain(GeneratorKernelLevel::Sse2);
}

TEST(QVGeneratorKernel, Avx2LevelGivesThePlainLoopsBits) {
  SkipUnlessSupported(GeneratorKernelLevel::Avx2);
  ExpectSameBitsAsPlain(GeneratorKernelLevel::Avx2);
}

TEST(QVGeneratorKernel, Avx512LevelGivesThePlainLoopsBits) {
  SkipUnlessSupported(GeneratorKernelLevel::Avx512);
  ExpectSameBitsAsPlain(GeneratorKernelLevel::Avx512);
}

TEST(QVGeneratorKernel, AutoLevelGivesThePlainLoopsBitsForEveryWorkerCount) {
  QVMain main;
  QVGenerator& g = *main.Graph().Generators[0];
  SetScene(main, g, {"", 0, {0, 0}, {-0.5, 0}, 3.0, 31, 19, 300, 4.0});
  const std::vector<FractalPixel> want = ComputeAt(g, GeneratorKernelLevel::Plain, 1);
  for (int workers : {1, 2, 3, 4, 5, 6, 7}) {
    EXPECT_EQ(FirstDifference(ComputeAt(g, GeneratorKernelLevel::Auto, workers), want, 31), "")
        << workers << " workers";
  }
}

// One step of each formula, by the written arithmetic with one rounding per
// operation; fused says whether products are to be fused into the sums as
// FMA instructions would (to show that such a build would be caught).
QVComplex Product(QVComplex a, QVComplex b, bool fused) {
  if (!fused) return qv::Mul(a, b);
  return {std::fma(a.re, b.re, -(a.im * b.im)), std::fma(a.re, b.im, b.re * a.im)};
}

// Smith's (1, 0) / w, with the products fused into the sums when asked.
QVComplex Reciprocal(QVComplex w, bool fused) {
  if (!fused) return qv::Reciprocal(w);
  if (std::fabs(w.re) > std::fabs(w.im)) {
    const double r = w.im / w.re;
    const double d = w.re * std::fma(r, r, 1.0);
    return {std::fma(r, 0.0, 1.0) / d, (0.0 - r) / d};
  }
  const double r = w.re / w.im;
  const double d = w.im * std::fma(r, r, 1.0);
  return {(r + 0.0) / d, std::fma(r, 0.0, -1.0) / d};
}

QVComplex OneStep(int32_t kind, QVComplex z, QVComplex c, bool fused) {
  const QVComplex guard{qv::GuardValue, qv::GuardValue};
  const QVComplex zz = Product(z, z, fused);
  switch (kind) {
    case QVFractalMethod_Z2::KindIndex:
      return qv::Add(zz, c);
    case QVFractalMethod_Z3::KindIndex:
      return qv::Add(Product(zz, z, fused), c);
    case QVFractalMethod_1divZ::KindIndex:
      return qv::Abs(z) >= qv::GuardLimit ? qv::Add(Reciprocal(z, fused), c) : guard;
    case QVFractalMethod_1divZ2::KindIndex:
      return qv::Abs(z) >= qv::GuardLimit ? qv::Add(Reciprocal(zz, fused), c) : guard;
    case QVFractalMethod_1divZ3::KindIndex:
      return qv::Abs(z) >= qv::GuardLimit ? qv::Add(Reciprocal(Product(zz, z, fused), fused), c)
                                          : guard;
    default: {
      const QVComplex w = qv::Add(zz, c);
      return qv::Abs(w) >= qv::GuardLimit ? qv::Add(qv::Sub(Reciprocal(w, fused), w), c) : guard;
    }
  }
}

// Julia fields of depth 1 record F(point, C) for about a million points per
// level; a kernel whose products were fused into FMA instructions would
// differ on a good share of them.
TEST(QVGeneratorKernel, OneStepEqualsSeparatelyRoundedArithmetic) {
  QVMain main;
  QVGenerator& g = *main.Graph().Generators[0];
  const QVComplex c{0.2871, -0.5813};
  const int32_t w = 419, h = 397;
  SetScene(main, g, {"", 1, c, {0.1, -0.05}, 2.7, w, h, 1, Inf});
  for (GeneratorKernelLevel level : {GeneratorKernelLevel::Scalar, GeneratorKernelLevel::Sse2,
                                     GeneratorKernelLevel::Avx2, GeneratorKernelLevel::Avx512}) {
    if (!qv::GeneratorKernelLevelSupported(level)) continue;
    for (const QVFractalMethod* f : FractalMethods()) {
      if (f->Kind() == QVFractalMethod_Z::KindIndex) continue;  // no product
      main.Parameter.ChangeFractalMethod(qv::CloneAs(*f));
      const std::vector<FractalPixel> got = ComputeAt(g, level, 2);
      const qv::PlaneMapping mapping(main.Parameter);
      int64_t wrong = 0, fusedDiffers = 0;
      for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
          const QVComplex z = mapping.Point(x, y);
          const QVComplex want = OneStep(f->Kind(), z, c, false);
          const FractalPixel& p = got[static_cast<size_t>(y) * w + static_cast<size_t>(x)];
          if (std::memcmp(&p.Z, &want, sizeof want) != 0 || p.Count != 1) ++wrong;
          if (!(OneStep(f->Kind(), z, c, true) == want)) ++fusedDiffers;
        }
      }
      EXPECT_EQ(wrong, 0) << qv::GeneratorKernelLevelName(level) << ", " << f->Name();
      EXPECT_GT(fusedDiffers, int64_t{w} * h / 100) << f->Name();
    }
  }
}

TEST(QVGeneratorKernel, VectorLevelsServeOnlyTheEndPointOutput) {
  QVMain main;
  QVGenerator& g = *main.Graph().Generators[0];
  const GeneratorKernelLevel best = qv::BestGeneratorKernelLevel();
  ScopedKernelLevel forced(best);
  EXPECT_EQ(qv::GeneratorKernel(g).Level(), best);
  g.SetOutputMethod(qv::CloneAs(*FindMethod(OutputMethods(), "球")));
  EXPECT_EQ(qv::GeneratorKernel(g).Level(), GeneratorKernelLevel::Scalar);
  g.SetOutputMethod(qv::CloneAs(*FindMethod(OutputMethods(), "終点")));
  g.SetDepth(0);
  EXPECT_EQ(qv::GeneratorKernel(g).Level(), GeneratorKernelLevel::Scalar);
  qv::ForceGeneratorKernelLevel(GeneratorKernelLevel::Plain);
  g.SetDepth(10);
  EXPECT_EQ(qv::GeneratorKernel(g).Level(), GeneratorKernelLevel::Plain);
}

// A stop requested before a row at depth 10^7 makes every level give the row
// up within its first block of steps instead of finishing it (a finished row
// would take minutes at the plain level).
TEST(QVGeneratorKernel, EveryLevelGivesUpARowWhenThePassIsStopped) {
  QVMain main;
  QVGenerator& g = *main.Graph().Generators[0];
  SetScene(main, g, {"", 0, {0, 0}, {-0.1, 0}, 0.2, 64, 1, 10000000, 4.0});
  g.FractalField.Resize(64, 1);
  std::stop_source stop;
  stop.request_stop();
  for (const char* output : {"終点", "差分累積", "市松模様累積"}) {
    g.SetOutputMethod(qv::CloneAs(*FindMethod(OutputMethods(), output)));
    for (GeneratorKernelLevel level : {GeneratorKernelLevel::Scalar, GeneratorKernelLevel::Sse2,
                                       GeneratorKernelLevel::Avx2, GeneratorKernelLevel::Avx512}) {
      if (!qv::GeneratorKernelLevelSupported(level)) continue;
      ScopedKernelLevel forced(level);
      const qv::GeneratorKernel kernel(g, stop.get_token());
      EXPECT_THROW(kernel.ComputeRow(0, g.FractalField.Row(0)), qv::PassStopped)
          << output << ", " << qv::GeneratorKernelLevelName(kernel.Level());
    }
    QVThreadGenerator plain(g, 0, stop.get_token());
    EXPECT_THROW(plain.ComputeRow(0), qv::PassStopped) << output << ", Plain";
  }
}

}  // namespace
