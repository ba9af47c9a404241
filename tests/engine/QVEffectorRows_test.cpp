#include "engine/QVEffectorRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/methods/QVRenderingMethods.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using qv::test::FieldPixels;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// Equal bit for bit (so +0 differs from -0), except that any NaN matches any
// NaN: the sign and payload of a NaN result are not fixed by the arithmetic
// (an optimiser may swap the operands of a + b), and every NaN scalar gets
// the same colour.
bool SameScalar(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) ||
         std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// Values that stress the guards: zeros of both signs, the guard limits,
// extremes, infinities and NaN.
const std::vector<double> kSpecial = {0.0,    -0.0,  1.0,   -1.0,   0.5,    -2.5, 1e-10,
                                      -1e-10, 1e-11, 1e300, -1e300, 5e-324, 2.0,  kInf,
                                      -kInf,  kNaN,  0.0,   3.0,    -0.25,  1e10};
// Few distinct counts, so that equal neighbours (bands) are common, plus the
// outside count -1 and the extremes.
const std::vector<int32_t> kCounts = {0, 1, 2, 3, 3, 3, 7, 8, 50, -1, -3, kMin, kMax, 100};

FractalPixel RandomPixel(std::mt19937& rng) {
  std::uniform_int_distribution<size_t> pick(0, kSpecial.size() - 1);
  std::uniform_int_distribution<size_t> pickCount(0, kCounts.size() - 1);
  std::uniform_real_distribution<double> plain(-3.0, 3.0);
  const bool special = rng() % 3 == 0;
  const QVComplex z = special ? QVComplex{kSpecial[pick(rng)], kSpecial[pick(rng)]}
                              : QVComplex{plain(rng), plain(rng)};
  return {z, kCounts[pickCount(rng)]};
}

// Every rendering method, at its defaults and with non-default slot values.
std::vector<std::unique_ptr<QVRenderingMethod>> AllMethods() {
  std::vector<std::unique_ptr<QVRenderingMethod>> out;
  const std::vector<std::vector<QVComplex>> slots = {
      {{-3, 0}, {0.5, 0}, {kNaN, 0}},   // "回数": guard at count 3, at 0, NaN constant
      {},                               // "回数0"
      {},                               // "実部"
      {},                               // "虚部"
      {{0.5, -0.25}, {kInf, 0}},        // "実数虚数比"
      {{0.5, -0.25}},                   // "実数虚数積"
      {{0.5, -0.25}, {1e300, -1e300}},  // "大きさ"
      {{0.5, -0.25}, {-0.0, 0.0}},      // "角度"
      {{-3, 0}, {0.7, 0}, {1e300, 0}},  // "回数(ループ)": negative, zero, saturated loop
      {{0, 0.5}, {0.25, 0}, {0, 0}, {-0.1, 0.1}},  // "十字"
      {{0.5, -0.25}},                              // "log(大きさ)"
      {{0.5, -0.25}, {kNaN, 0}},                   // "log(log(大きさ))"
  };
  for (const QVRenderingMethod* prototype : RenderingMethods()) {
    out.push_back(qv::CloneAs(*prototype));
    for (QVComplex v : slots[static_cast<size_t>(prototype->Kind())]) {
      out.push_back(qv::CloneAs(*prototype));
      out.back()->SetParamValue(0, v);
    }
  }
  return out;
}

std::string Describe(const QVRenderingMethod& m) {
  const QVComplex v = m.ParamValue(0);
  return m.Name() + " (" + std::to_string(v.re) + ", " + std::to_string(v.im) + ")";
}

// Colour bars: the default, a coloured one with equal neighbouring inputs and
// infinite ends, one with a NaN input out of order, one entry, none.
std::vector<std::vector<ConvertData>> Bars() {
  return {
      {{0.0, PackRGB(0, 0, 0)}, {1.0, PackRGB(255, 255, 255)}},
      {{-kInf, PackRGB(9, 8, 7)},
       {-1.0, PackRGB(255, 0, 0)},
       {0.0, PackRGB(0, 255, 0)},
       {0.0, PackRGB(0, 0, 255)},
       {0.75, PackRGB(10, 200, 10)},
       {2.0, PackRGB(255, 255, 255)},
       {kInf, PackRGB(1, 2, 3)}},
      {{1.0, PackRGB(100, 0, 0)}, {kNaN, PackRGB(0, 100, 0)}, {0.5, PackRGB(0, 0, 100)}},
      {{0.25, PackRGB(40, 50, 60)}},
      {},
  };
}

}  // namespace

TEST(ColorLookup, MatchesTheColourBarOnEveryKindOfInput) {
  std::mt19937 rng(1234);
  std::vector<std::vector<ConvertData>> bars = Bars();
  // Random bars: sorted with repeated inputs (as SetEntryInput may leave them),
  // and unsorted ones, which only the plain scan's rule defines.
  for (int b = 0; b < 40; ++b) {
    std::vector<ConvertData> bar;
    const int n = static_cast<int>(rng() % 9);
    for (int i = 0; i < n; ++i) {
      const double input = rng() % 4 == 0 ? kSpecial[rng() % kSpecial.size()]
                                          : static_cast<double>(rng() % 21) / 4.0 - 2.0;
      bar.push_back({input, static_cast<int32_t>(rng() & 0xFFFFFF)});
    }
    if (b % 2 == 0) {
      std::erase_if(bar, [](const ConvertData& e) { return std::isnan(e.Input); });
      std::stable_sort(bar.begin(), bar.end(), [](const ConvertData& x, const ConvertData& y) {
        return x.Input < y.Input;
      });
    }
    bars.push_back(bar);
  }
  for (size_t b = 0; b < bars.size(); ++b) {
    const qv::ColorBar bar(bars[b]);
    const qv::ColorLookup lookup(bar);
    std::vector<double> inputs = kSpecial;
    for (const ConvertData& e : bar.Entries()) {
      inputs.push_back(e.Input);
      inputs.push_back(std::nextafter(e.Input, kInf));
      inputs.push_back(std::nextafter(e.Input, -kInf));
    }
    std::uniform_real_distribution<double> wide(-3.0, 3.0);
    for (int i = 0; i < 300; ++i) inputs.push_back(wide(rng));
    for (double v : inputs) {
      ASSERT_EQ(lookup.ColorAt(v), bar.ColorAt(v)) << "bar " << b << ", input " << v;
    }
    // The row form, with runs of repeated inputs and a -0 after a +0.
    inputs.insert(inputs.end(), {0.5, 0.5, 0.5, 0.0, -0.0, -0.0, kNaN, kNaN});
    std::vector<int32_t> row(inputs.size());
    lookup.ColorRow(inputs.data(), static_cast<int32_t>(inputs.size()), row.data());
    for (size_t i = 0; i < inputs.size(); ++i) {
      ASSERT_EQ(row[i], bar.ColorAt(inputs[i])) << "bar " << b << ", input " << inputs[i];
    }
    // The worker's memory, over a row and again over the same row reversed
    // (now mostly remembered, 4096 slots for about 400 inputs, so some share).
    qv::ColorMemo memo(lookup);
    for (int pass = 0; pass < 2; ++pass) {
      if (pass == 1) std::reverse(inputs.begin(), inputs.end());
      memo.ColorRow(inputs.data(), static_cast<int32_t>(inputs.size()), row.data());
      for (size_t i = 0; i < inputs.size(); ++i) {
        ASSERT_EQ(row[i], bar.ColorAt(inputs[i])) << "memo, bar " << b << ", input " << inputs[i];
      }
    }
  }
}

// A class that claims a list position without being listed there.
class UnlistedMethod final : public QVRenderingMethod {
 public:
  UnlistedMethod() : QVRenderingMethod("unlisted", 0, {}, {}) {}
  std::unique_ptr<QVMethod> Clone() const override { return std::make_unique<UnlistedMethod>(); }
  double Value(int32_t, QVComplex) const override { return 0.0; }
};

TEST(RenderingKernel, RefusesAClassMissingFromTheList) {
  EXPECT_THROW(qv::RenderingKernel{UnlistedMethod()}, std::logic_error);
}

TEST(RenderingKernel, GivesEachMethodsValueBitForBit) {
  std::mt19937 rng(99);
  std::vector<FractalPixel> pixels;
  for (double re : kSpecial) {
    for (double im : kSpecial)
      pixels.push_back({{re, im}, kCounts[pixels.size() % kCounts.size()]});
  }
  for (int32_t c : kCounts) pixels.push_back({{1.0, 2.0}, c});
  for (int i = 0; i < 500; ++i) pixels.push_back(RandomPixel(rng));
  for (const auto& method : AllMethods()) {
    const qv::RenderingKernel kernel(*method);
    std::vector<double> row(pixels.size());
    kernel.ValueRow(pixels.data(), static_cast<int32_t>(pixels.size()), row.data());
    for (size_t i = 0; i < pixels.size(); ++i) {
      const double expected = method->Value(pixels[i].Count, pixels[i].Z);
      ASSERT_TRUE(SameScalar(row[i], expected))
          << Describe(*method) << " at count " << pixels[i].Count << ", z (" << pixels[i].Z.re
          << ", " << pixels[i].Z.im << ")";
      ASSERT_TRUE(SameScalar(kernel.Value(pixels[i].Count, pixels[i].Z), expected));
    }
  }
}

namespace {

// A default graph whose generator field is filled directly with chosen records.
class EffectorRowsTest : public ::testing::Test {
 protected:
  QVMain main_;
  QVGenerator& generator_ = *main_.Graph().Generators[0];
  QVEffector& effector_ = *main_.Graph().Effectors[0];

  void FillField(int32_t w, int32_t h, uint32_t seed) {
    main_.Parameter.ChangeWidth(w);
    main_.Parameter.ChangeHeight(h);
    generator_.FractalField.Resize(w, h);
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) generator_.FractalField.Put(x, y, RandomPixel(rng));
    }
  }

  std::vector<int32_t> Picture(bool plain, int workers) {
    qv::Pass pass = qv::test::WorkersPass(workers);
    pass.PlainRows = plain;
    EXPECT_TRUE(effector_.Compute(pass));
    return FieldPixels(effector_.RGBField);
  }

  // Fast scalars of every row, computed by `workers` row workers in the
  // interleaved order, against the plain worker's Scalar (SameScalar).
  void ExpectSameScalars(int workers, const std::string& what) {
    const QVFractalField& f = generator_.FractalField;
    const qv::RenderingKernel kernel(effector_.RenderingMethod());
    const qv::DifferentialPlan plan(effector_);
    const qv::ColorLookup lookup(effector_.ColorBar());
    const QVThreadEffector plainWorker(effector_, 0);
    for (int i = 0; i < workers; ++i) {
      qv::EffectorRows rows(effector_, kernel, plan, lookup);
      for (int32_t y = i; y < f.Height; y += workers) {
        const double* s = rows.Scalars(y);
        for (int32_t x = 0; x < f.Width; ++x) {
          const double expected = plainWorker.Scalar(x, y);
          ASSERT_TRUE(SameScalar(s[x], expected))
              << what << " at (" << x << ", " << y << "): " << s[x] << " vs " << expected;
        }
      }
    }
  }

  void ExpectSamePicture(int workers, const std::string& what) {
    const std::vector<int32_t> plain = Picture(true, workers);
    const std::vector<int32_t> fast = Picture(false, workers);
    ASSERT_EQ(fast, plain) << what;
  }
};

}  // namespace

TEST_F(EffectorRowsTest, EveryMethodAndDifferentialSettingMatchesThePlainWorker) {
  const std::vector<QVComplex> vectors = {{1, 0},     {0, 1}, {1, -1},  {-1, 1},
                                          {0.3, 0.7}, {0, 0}, {-1, -1}, {1e-200, 0}};
  const std::vector<std::pair<int32_t, int32_t>> sizes = {{1, 1}, {2, 3}, {13, 7}};
  const std::vector<std::vector<ConvertData>> bars = Bars();
  int round = 0;
  for (size_t s = 0; s < sizes.size(); ++s) {
    FillField(sizes[s].first, sizes[s].second, static_cast<uint32_t>(s) + 7);
    for (auto& method : AllMethods()) {
      const std::string name = Describe(*method);
      effector_.SetRenderingMethod(std::move(method));
      for (int variant = 0; variant < 1 + static_cast<int>(vectors.size()) * 4; ++variant) {
        const bool differential = variant > 0;
        const int v = differential ? (variant - 1) / 4 : 0;
        effector_.SetDifferential(differential);
        effector_.SetDifferentialVector(vectors[static_cast<size_t>(v)]);
        effector_.SetDifferentialEdgeSW(differential && (variant - 1) % 2 == 1);
        effector_.SetDifferentialRegularSW(differential && (variant - 1) / 2 % 2 == 1);
        effector_.SetColorBar(qv::ColorBar(bars[static_cast<size_t>(round) % bars.size()]));
        const int workers = round % 7 + 1;
        const std::string what = name + ", size " + std::to_string(sizes[s].first) + "x" +
                                 std::to_string(sizes[s].second) + ", differential " +
                                 std::to_string(differential) + ", vector " + std::to_string(v) +
                                 ", edge " + std::to_string(effector_.DifferentialEdgeSW()) +
                                 ", regular " + std::to_string(effector_.DifferentialRegularSW()) +
                                 ", workers " + std::to_string(workers);
        ExpectSameScalars(workers, what);
        ExpectSamePicture(workers, what);
        ++round;
      }
    }
  }
}

TEST_F(EffectorRowsTest, ZeroAndInfiniteDistancesMatchWhenRegularised) {
  FillField(13, 7, 3);
  effector_.SetDifferential(true);
  effector_.SetDifferentialRegularSW(true);
  for (double scale : {0.0, -4.0, kInf, kNaN, 1e-300}) {
    main_.Parameter.ChangeScale(scale);
    for (QVComplex v : {QVComplex{1, 0}, QVComplex{1, -1}, QVComplex{0.3, 0.7}}) {
      effector_.SetDifferentialVector(v);
      const std::string what = "scale " + std::to_string(scale);
      ExpectSameScalars(2, what);
      ExpectSamePicture(2, what);
    }
  }
}

TEST_F(EffectorRowsTest, WorkerCountsOneToSevenGiveThePlainPicture) {
  FillField(13, 7, 11);
  effector_.SetDifferential(true);
  effector_.SetDifferentialEdgeSW(true);
  for (QVComplex v : {QVComplex{0.3, 0.7}, QVComplex{-1, 1}}) {
    effector_.SetDifferentialVector(v);
    for (int workers = 1; workers <= 7; ++workers) {
      const std::string what = "workers " + std::to_string(workers);
      ExpectSameScalars(workers, what);
      ExpectSamePicture(workers, what);
    }
  }
}

TEST_F(EffectorRowsTest, GeneratedFieldGivesThePlainPictureThroughAPass) {
  main_.Parameter.ChangeWidth(61);
  main_.Parameter.ChangeHeight(37);
  effector_.InsertEntry(PackRGB(200, 30, 90), 0.3);
  main_.SetWorkers(3);
  for (int mode = 0; mode < 3; ++mode) {
    effector_.SetDifferential(mode > 0);
    effector_.SetDifferentialEdgeSW(mode == 2);
    std::vector<int32_t> pictures[2];
    for (int plain = 0; plain < 2; ++plain) {
      main_.PlainRows = plain == 1;
      effector_.MarkChanged();
      ASSERT_TRUE(main_.RunPass());
      pictures[plain] = FieldPixels(main_.Graph().Mixers.back()->RGBField);
    }
    ASSERT_EQ(pictures[0].size(), 61u * 37u);
    EXPECT_EQ(pictures[0], pictures[1]) << "mode " << mode;
  }
}

TEST_F(EffectorRowsTest, DefaultBarWorkedExamplesHoldOnTheFastPath) {
  // Counts 0, 50, 150 with K = 50 give 0, 0.5, 0.75: black, 127 grey, 191 grey.
  main_.Parameter.ChangeWidth(3);
  main_.Parameter.ChangeHeight(1);
  generator_.FractalField.Resize(3, 1);
  generator_.FractalField.Put(0, 0, FractalPixel{{}, 0});
  generator_.FractalField.Put(1, 0, FractalPixel{{}, 50});
  generator_.FractalField.Put(2, 0, FractalPixel{{}, 150});
  const std::vector<int32_t> fast = Picture(false, 1);
  EXPECT_EQ(fast, (std::vector<int32_t>{0, PackRGB(127, 127, 127), PackRGB(191, 191, 191)}));
}
