#include "engine/QVMixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

// Mixers over effectors whose 1 x 1 pictures are set by hand, in a graph of
// their own; the per-pixel rule is exercised directly.
class MixerRuleTest : public ::testing::Test {
 protected:
  QVEffector* Picture(int r, int g, int b) {
    auto* e = graph_.AddEffector(nullptr);
    e->RGBField.Resize(1, 1);
    e->RGBField.Put(0, 0, PackRGB(r, g, b));
    return e;
  }
  QVMixer* BaseOf(int r, int g, int b) {
    auto* m = graph_.AddMixer();
    m->RGBField.Resize(1, 1);
    m->RGBField.Put(0, 0, PackRGB(r, g, b));
    return m;
  }
  static std::array<int32_t, 3> Pixel(const QVMixer& m) {
    int32_t c[3];
    UnpackRGB(QVThreadMixer(m, 0).ComputePixel(0, 0), c[0], c[1], c[2]);
    return {c[0], c[1], c[2]};
  }
  using RGB = std::array<int32_t, 3>;

  QVNodeGraph graph_;
};

TEST_F(MixerRuleTest, SumIsNormalisedWhenRegularElseClamped) {
  BaseOf(100, 100, 100);
  auto* m = graph_.AddMixer();
  m->AppendSource('+', Picture(200, 100, 50));
  EXPECT_EQ(Pixel(*m), (RGB{255, 170, 127}));
  m->SetRegular(false);
  EXPECT_EQ(Pixel(*m), (RGB{255, 200, 150}));
}

TEST_F(MixerRuleTest, CrossFadeFollowsTheTransparence) {
  BaseOf(10, 20, 30);
  auto* m = graph_.AddMixer();
  m->AppendSource('+', Picture(200, 100, 50));
  m->SetTransparenceType(2);
  m->AppendTransparence('+', Picture(255, 255, 255));
  EXPECT_EQ(Pixel(*m), (RGB{10, 20, 30}));
  m->SetTransparenceList({});
  m->AppendTransparence('+', Picture(0, 0, 0));
  EXPECT_EQ(Pixel(*m), (RGB{200, 100, 50}));
  m->SetTransparenceList({});
  m->AppendTransparence('+', Picture(51, 102, 0));  // base * T / 255, source * (255 - T) / 255
  EXPECT_EQ(Pixel(*m), (RGB{10 * 51 / 255 + 200 * 204 / 255, 20 * 102 / 255 + 100 * 153 / 255, 50}));
}

// Each share is divided on its own, truncated: red 1 * 127 / 255 + 1 * 128 / 255
// = 0 + 0 (one division of the sum, 255 / 255, would give 1); green
// 2 * 127 / 255 + 2 * 128 / 255 = 0 + 1; blue 255 * 127 / 255 + 0 = 127.
TEST_F(MixerRuleTest, CrossFadeTruncatesEachShare) {
  BaseOf(1, 2, 0);
  auto* m = graph_.AddMixer();
  m->AppendSource('+', Picture(1, 2, 255));
  m->SetTransparenceType(2);
  m->AppendTransparence('+', Picture(128, 128, 128));
  m->SetRegular(false);
  EXPECT_EQ(Pixel(*m), (RGB{0, 1, 127}));
}

TEST_F(MixerRuleTest, WeightedBaseAddsTheSource) {
  BaseOf(200, 100, 50);
  auto* m = graph_.AddMixer();
  m->AppendSource('+', Picture(1, 2, 3));
  m->SetTransparenceType(1);
  m->AppendTransparence('+', Picture(128, 0, 255));
  EXPECT_EQ(Pixel(*m), (RGB{1 + 200 * 128 / 255, 2, 3 + 50}));
}

TEST_F(MixerRuleTest, BlackTransparenceShowsTheBaseOnlyUnderBlack) {
  BaseOf(40, 50, 60);
  auto* m = graph_.AddMixer();
  m->SetTransparenceType(3);
  QVEffector* source = Picture(0, 0, 0);
  m->AppendSource('+', source);
  EXPECT_EQ(Pixel(*m), (RGB{40, 50, 60}));
  source->RGBField.Put(0, 0, PackRGB(0, 0, 1));
  EXPECT_EQ(Pixel(*m), (RGB{0, 0, 1}));
}

TEST_F(MixerRuleTest, FadingBaseUnderBrightSources) {
  BaseOf(200, 100, 255);
  auto* m = graph_.AddMixer();
  m->SetTransparenceType(4);
  QVEffector* source = Picture(128, 0, 0);
  m->AppendSource('+', source);
  EXPECT_EQ(Pixel(*m), (RGB{128, 0, 0}));
  source->RGBField.Put(0, 0, PackRGB(0, 0, 0));
  EXPECT_EQ(Pixel(*m), (RGB{200, 100, 255}));
  // Keeps 1 - 102/255 = 0.6 of the base. In extended precision the factor
  // rounds to no less than 0.6 and 200 * 0.6 truncates to 120; in double it
  // is 0.59999999999999997780 and would give 119.
  source->RGBField.Put(0, 0, PackRGB(0, 51, 0));
  EXPECT_EQ(Pixel(*m), (RGB{120, 51 + 60, 153}));
  m->SetTransparenceType(9);  // out of range: a plain sum
  EXPECT_EQ(Pixel(*m), (RGB{200, 151, 255}));
}

TEST_F(MixerRuleTest, ListExpressionsMultiplyAndNormaliseTransparence) {
  auto* m = graph_.AddMixer();
  m->AppendSource('+', Picture(255, 128, 0));
  m->AppendSource('*', Picture(128, 128, 128));
  EXPECT_EQ(Pixel(*m), (RGB{128, 64, 0}));
  int64_t t[3];
  m->AppendTransparence('+', Picture(200, 0, 0));
  m->AppendTransparence('-', Picture(100, 0, 0));  // any operator but '*' adds
  qv::ListExpression(m->TransparenceList(), 0, 0, t);
  EXPECT_EQ(t[0], 300);
  m->SetTransparenceType(1);
  m->SetSourceList({});
  m->AppendSource('*', Picture(255, 255, 255));  // a leading '*' contributes nothing
  EXPECT_EQ(Pixel(*m), (RGB{0, 0, 0}));
}

TEST_F(MixerRuleTest, SmallerPicturesReadAsBlackOutside) {
  auto* m = graph_.AddMixer();
  QVEffector* big = Picture(0, 0, 0);
  big->RGBField.Resize(2, 1);
  big->RGBField.Put(0, 0, PackRGB(1, 1, 1));
  big->RGBField.Put(1, 0, PackRGB(2, 2, 2));
  m->AppendSource('+', big);
  m->AppendSource('+', Picture(5, 5, 5));
  m->RGBField.Resize(2, 1);
  int32_t r, g, b;
  UnpackRGB(QVThreadMixer(*m, 0).ComputePixel(1, 0), r, g, b);
  EXPECT_EQ(r, 2);
}

TEST_F(MixerRuleTest, MaskPassesTheBaseThroughWithoutVisitingTheLists) {
  // A base computed for real: a 1 x 1 picture coloured (7, 8, 9) everywhere.
  QVParameter parameter;
  parameter.ChangeWidth(1);
  parameter.ChangeHeight(1);
  QVNodeGraph graph;
  QVEffector* colour = graph.AddEffector(graph.AddGenerator(&parameter));
  colour->SetColorBar(qv::ColorBar({{0.0, PackRGB(7, 8, 9)}, {1.0, PackRGB(7, 8, 9)}}));
  QVMixer* base = graph.AddMixer();
  base->AppendSource('+', colour);
  ASSERT_TRUE(base->Update(qv::Pass{}));
  auto* m = graph.AddMixer();
  QVEffector* source = graph.AddEffector(nullptr);  // out of date: computing it empties it
  source->RGBField.Resize(1, 1);
  source->RGBField.Put(0, 0, PackRGB(1, 2, 3));
  m->AppendSource('+', source);
  m->SetMaskSW(true);
  EXPECT_TRUE(m->Update(qv::Pass{}));
  EXPECT_GT(m->ResultStamp(), 0u);
  EXPECT_EQ(source->ResultStamp(), 0u) << "the source list was computed";
  EXPECT_EQ(source->RGBField.Width, 1);
  EXPECT_EQ(m->RGBField.Pixel(0, 0), PackRGB(7, 8, 9));
}

// The sources are not computed: the size is the one the first source's
// picture has once computed, whatever it holds from an older pass.
TEST_F(MixerRuleTest, MaskWithoutBaseIsBlackAtTheFirstSourceSize) {
  QVParameter parameter;
  parameter.ChangeWidth(3);
  parameter.ChangeHeight(2);
  auto* m = graph_.AddMixer();
  QVEffector* source = Picture(1, 2, 3);
  source->SetGenerator(graph_.AddGenerator(&parameter));
  m->AppendSource('+', source);
  m->PassThrough(qv::Pass{});
  EXPECT_EQ(m->RGBField.Width, 3);
  EXPECT_EQ(m->RGBField.Height, 2);
  EXPECT_EQ(qv::test::MixerPixels(*m), std::vector<int32_t>(6, 0));
  source->SetGenerator(nullptr);
  m->PassThrough(qv::Pass{});
  EXPECT_EQ(m->RGBField.Width, 0);
}

TEST_F(MixerRuleTest, NoBaseAndNoSourcesGiveAnEmptyPicture) {
  auto* m = graph_.AddMixer();
  EXPECT_TRUE(m->Compute(qv::Pass{}));
  EXPECT_EQ(m->RGBField.Width, 0);
}

TEST_F(MixerRuleTest, MixersChainInCreationOrder) {
  auto* first = graph_.AddMixer();
  auto* second = graph_.AddMixer();
  auto* third = graph_.AddMixer();
  EXPECT_EQ(first->BaseMixer(), nullptr);
  EXPECT_EQ(second->BaseMixer(), first);
  EXPECT_EQ(third->BaseMixer(), second);
  EXPECT_EQ(graph_.Mixers.back(), third);
}

}  // namespace

namespace {

// Each mixer is built on the one before it; a chain this long overflowed the
// stack when updating walked down it by recursion.
TEST(QVMixer, ALongChainUpdatesFromTheTop) {
  QVNodeGraph graph;
  for (int i = 0; i < 300000; ++i) graph.AddMixer();
  const auto resultStamps = [&] {
    std::vector<uint64_t> out;
    for (const QVMixer* m : graph.Mixers) out.push_back(m->ResultStamp());
    return out;
  };
  EXPECT_TRUE(graph.Mixers.back()->Update(qv::Pass{}));
  const std::vector<uint64_t> first = resultStamps();
  EXPECT_TRUE(std::all_of(first.begin(), first.end(), [](uint64_t s) { return s > 0; }));
  EXPECT_TRUE(graph.Mixers.back()->Update(qv::Pass{}));
  EXPECT_EQ(resultStamps(), first) << "an up to date chain was computed again";
}

}  // namespace
