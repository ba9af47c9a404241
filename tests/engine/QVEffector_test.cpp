#include "engine/QVEffector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "engine/QVEffectorRows.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/methods/QVRenderingMethods.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using qv::test::WorkersPass;

int32_t Grey(int v) { return PackRGB(v, v, v); }

TEST(QVColorBar, DefaultBarWorkedExamples) {
  QVMain main;
  const QVEffector& e = *main.Graph().Effectors[0];
  ASSERT_EQ(e.EntryCount(), 2);
  EXPECT_EQ(e.ColorAt(0.5), Grey(127));
  EXPECT_EQ(e.ColorAt(-3), Grey(0));
  EXPECT_EQ(e.ColorAt(7), Grey(255));
  EXPECT_EQ(e.ColorAt(0.0), Grey(0));
  EXPECT_EQ(e.ColorAt(1.0), Grey(255));
  // 100 / 150 as a double is just below 2/3; in extended precision the grey
  // is 169.99999999999999..., truncated to 169 (double arithmetic gives 170).
  EXPECT_EQ(e.ColorAt(100.0 / 150.0), Grey(169));
}

// Channels of unequal colours, each worked by hand: at a quarter of the way
// from (10, 20, 200) to (250, 100, 0), red 10 * 0.75 + 250 * 0.25 = 70, green
// 15 + 25 = 40, blue 150 + 0 = 150.
TEST(QVColorBar, EachChannelInterpolatesItsOwnColour) {
  const qv::ColorBar bar({{0.0, PackRGB(10, 20, 200)}, {1.0, PackRGB(250, 100, 0)}});
  EXPECT_EQ(bar.ColorAt(0.25), PackRGB(70, 40, 150));
  EXPECT_EQ(qv::ColorLookup(bar).ColorAt(0.25), PackRGB(70, 40, 150));
  EXPECT_EQ(bar.ColorAt(1.0), PackRGB(250, 100, 0));
}

TEST(QVColorBar, NonFiniteScalarsGetEndColours) {
  qv::ColorBar bar(std::vector<ConvertData>{
      {-1, PackRGB(10, 0, 0)}, {0, PackRGB(0, 20, 0)}, {1, PackRGB(0, 0, 30)}});
  EXPECT_EQ(bar.ColorAt(std::numeric_limits<double>::quiet_NaN()), PackRGB(10, 0, 0));
  EXPECT_EQ(bar.ColorAt(-INFINITY), PackRGB(10, 0, 0));
  EXPECT_EQ(bar.ColorAt(INFINITY), PackRGB(0, 0, 30));
  EXPECT_EQ(qv::ColorBar().ColorAt(0.5), 0);
}

TEST(QVColorBar, ExactEntryInputsGiveTheEntryColour) {
  qv::ColorBar bar(std::vector<ConvertData>{{0, PackRGB(0, 0, 0)},
                                            {0.1, PackRGB(17, 200, 3)},
                                            {0.7, PackRGB(255, 1, 254)},
                                            {0.7, PackRGB(9, 9, 9)},
                                            {1, PackRGB(255, 255, 255)}});
  EXPECT_EQ(bar.ColorAt(0.1), PackRGB(17, 200, 3));
  EXPECT_EQ(bar.ColorAt(0.7), PackRGB(255, 1, 254));  // the first of equal entries
  // Between two equal inputs nothing lies; just above them the later entry leads.
  EXPECT_EQ(bar.ColorAt(std::nextafter(0.7, 1.0)) & 0xFF, 9);
  // Inputs far apart in magnitude: their difference is not exact even in
  // extended precision, and the formula lands just below the upper colour.
  qv::ColorBar apart(std::vector<ConvertData>{{-39.327311090104054, PackRGB(87, 96, 203)},
                                              {0.02614358317305026, PackRGB(242, 237, 60)}});
  EXPECT_EQ(apart.ColorAt(0.02614358317305026), PackRGB(242, 237, 60));
  EXPECT_EQ(qv::ColorLookup(apart).ColorAt(0.02614358317305026), PackRGB(242, 237, 60));
}

TEST(QVColorBar, InsertSetAndDeleteKeepTheOrder) {
  qv::ColorBar bar;
  EXPECT_EQ(bar.InsertEntry(1, 0.5), 0);
  EXPECT_EQ(bar.InsertEntry(2, 0.25), 0);
  EXPECT_EQ(bar.InsertEntry(3, 0.75), 2);
  EXPECT_EQ(bar.InsertEntry(4, 0.5), 1);  // replaces the colour, count unchanged
  EXPECT_EQ(bar.EntryCount(), 3);
  EXPECT_EQ(bar.EntryColor(1), 4);
  EXPECT_EQ(bar.IndexOfInput(0.75), 2);
  EXPECT_EQ(bar.IndexOfInput(0.6), -1);
  bar.SetEntryInput(0, 0.9);  // moves past both neighbours
  EXPECT_EQ(bar.EntryInput(2), 0.9);
  EXPECT_EQ(bar.EntryColor(2), 2);
  bar.SetEntryInput(2, 0.5);  // moved onto an existing input: merges, moved colour wins
  EXPECT_EQ(bar.EntryCount(), 2);
  EXPECT_EQ(bar.EntryInput(0), 0.5);
  EXPECT_EQ(bar.EntryColor(0), 2);
  bar.SetEntryInput(1, 0.5);  // equal to its neighbour without passing it: merges too
  EXPECT_EQ(bar.EntryCount(), 1);
  EXPECT_EQ(bar.EntryInput(0), 0.5);
  EXPECT_EQ(bar.EntryColor(0), 3);
  bar.DeleteEntry(0);
  EXPECT_EQ(bar.EntryCount(), 0);
}

// No input is >= NaN: an entry for it goes after all others, and an entry
// moved to it leaves its place for the end.
TEST(QVColorBar, NaNInputGoesToTheEnd) {
  qv::ColorBar bar(std::vector<ConvertData>{{0.0, 1}, {1.0, 2}});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(bar.InsertEntry(3, nan), 2);
  ASSERT_EQ(bar.EntryCount(), 3);
  EXPECT_EQ(bar.EntryColor(0), 1);
  EXPECT_EQ(bar.EntryColor(1), 2);
  EXPECT_TRUE(std::isnan(bar.EntryInput(2)));
  bar = qv::ColorBar({{0.0, 1}, {1.0, 2}});
  bar.SetEntryInput(0, nan);
  ASSERT_EQ(bar.EntryCount(), 2);
  EXPECT_EQ(bar.EntryColor(0), 2);
  EXPECT_EQ(bar.EntryColor(1), 1);
  EXPECT_TRUE(std::isnan(bar.EntryInput(1)));
}

// A 3 x 3 fractal field whose "回数0" value is the count, for differential tests.
class DifferentialTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = std::make_unique<QVMain>();
    main_->Parameter.ChangeWidth(3);
    main_->Parameter.ChangeHeight(3);
    e_ = main_->Graph().Effectors[0];
    e_->SetRenderingMethod(qv::CloneAs(*FindMethod(RenderingMethods(), "回数0")));
    QVFractalField& f = main_->Graph().Generators[0]->FractalField;
    f.Resize(3, 3);
    const int counts[3][3] = {{1, 2, 4}, {8, 16, 32}, {64, 128, 256}};
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) f.Put(x, y, FractalPixel{{0, 0}, counts[y][x]});
  }
  double D(int x, int y) { return QVThreadEffector(*e_, 0).Scalar(x, y); }

  std::unique_ptr<QVMain> main_;
  QVEffector* e_ = nullptr;
};

TEST_F(DifferentialTest, OffGivesTheRenderingValue) { EXPECT_EQ(D(1, 1), 16); }

TEST_F(DifferentialTest, DefaultDiagonalLooksRightAndUp) {
  e_->SetDifferential(true);
  const double u = 1 / std::sqrt(2.0);
  EXPECT_DOUBLE_EQ(D(1, 1), (16 - 4) * u);  // neighbour (2, 0)
  EXPECT_DOUBLE_EQ(D(0, 2), (64 - 16) * u);
  EXPECT_EQ(D(1, 0), 0);  // top row: primary neighbour missing
  EXPECT_EQ(D(2, 1), 0);  // right column
}

TEST_F(DifferentialTest, AxisVectorTakesTheLeftNeighbour) {
  e_->SetDifferential(true);
  e_->SetDifferentialVector({1, 0});
  EXPECT_EQ(D(1, 1), 16 - 8);
  EXPECT_EQ(D(0, 1), 0);
  e_->SetDifferentialVector({0, 2});  // dy: primary is the row below
  EXPECT_EQ(D(1, 1), 16 - 128);
  e_->SetDifferentialVector({3, 4});
  EXPECT_DOUBLE_EQ(D(1, 1), (16 - 8) * 0.6 + (16 - 128) * 0.8);
}

TEST_F(DifferentialTest, EdgeRemovalTakesTheOppositeSideInsideTheBand) {
  e_->SetDifferential(true);
  e_->SetDifferentialVector({1, 0});
  e_->SetDifferentialEdgeSW(true);
  QVFractalField& f = main_->Graph().Generators[0]->FractalField;
  f.Pixel(2, 1).Count = 16;  // right neighbour in the same band, left not
  EXPECT_EQ(D(1, 1), 16 - 16);
  f.Pixel(2, 1).Count = 40;
  EXPECT_EQ(D(1, 1), 16 - 8);  // neither: the primary difference
  // At column 0 the left neighbour is missing (count -1): the right one is
  // used when it shares the band.
  f.Pixel(1, 1).Count = 8;
  EXPECT_EQ(D(0, 1), 0);
  f.Pixel(1, 1).Count = 9;
  f.Pixel(0, 1).Count = 9;
  EXPECT_EQ(D(0, 1), 9 - 9);
}

TEST_F(DifferentialTest, RegularisationDividesByThePixelDistance) {
  e_->SetDifferential(true);
  e_->SetDifferentialVector({1, 0});
  e_->SetDifferentialRegularSW(true);
  main_->Parameter.ChangeScale(0.03);  // distance 0.01
  EXPECT_DOUBLE_EQ(D(1, 1), (16 - 8) / (0.03 / 3));
  main_->Parameter.ChangeScale(0);
  EXPECT_EQ(D(1, 1), 0);
}

TEST_F(DifferentialTest, ZeroVectorGivesZero) {
  e_->SetDifferential(true);
  e_->SetDifferentialVector({0, 0});
  EXPECT_EQ(D(1, 1), 0);
}

TEST(QVEffector, SameColoursForEveryWorkerCountAndRecomputesOnlyWhenNeeded) {
  QVMain main;
  main.Parameter.ChangeWidth(17);
  main.Parameter.ChangeHeight(9);
  QVEffector& e = *main.Graph().Effectors[0];
  e.SetDifferential(true);
  e.SetDifferentialEdgeSW(true);
  e.Update(WorkersPass(1));
  const auto reference = qv::test::FieldPixels(e.RGBField);
  for (int workers : {2, 3, 7}) {
    e.SetDifferential(true);
    const uint64_t computed = e.ResultStamp();
    EXPECT_TRUE(e.Update(WorkersPass(workers)));
    EXPECT_GT(e.ResultStamp(), computed) << workers << " workers: not recomputed";
    EXPECT_EQ(qv::test::FieldPixels(e.RGBField), reference) << workers << " workers";
  }
  const QVGenerator& g = *main.Graph().Generators[0];
  const uint64_t generatorResult = g.ResultStamp();
  const uint64_t effectorResult = e.ResultStamp();
  e.InsertEntry(PackRGB(255, 0, 0), 0.5);
  EXPECT_TRUE(e.Update(qv::Pass{}));
  EXPECT_GT(e.ResultStamp(), effectorResult) << "the effector was not recomputed";
  EXPECT_EQ(g.ResultStamp(), generatorResult) << "the generator was recomputed";
}

TEST(QVEffector, WithoutGeneratorYieldsAnEmptyPicture) {
  QVMain main;
  QVEffector& e = *main.Graph().Effectors[0];
  e.SetGenerator(nullptr);
  EXPECT_TRUE(e.Update(qv::Pass{}));
  EXPECT_GT(e.ResultStamp(), 0u);
  EXPECT_EQ(e.RGBField.Width, 0);
}

// Every kind of colour-bar edit makes the next pass recompute the effector,
// and each of these edits changes the picture.
TEST(QVEffector, EveryColourBarEditRecomputesTheEffector) {
  QVMain main;
  main.Parameter.ChangeWidth(8);
  main.Parameter.ChangeHeight(6);
  QVEffector& e = *main.Graph().Effectors[0];
  const std::vector<std::pair<const char*, std::function<void()>>> edits = {
      {"entry colour", [&] { e.SetEntryColor(1, PackRGB(255, 0, 0)); }},
      {"entry input", [&] { e.SetEntryInput(1, 0.25); }},
      {"insert", [&] { e.InsertEntry(PackRGB(0, 0, 255), 0.125); }},
      {"delete", [&] { e.DeleteEntry(0); }},
      {"whole bar",
       [&] {
         e.SetColorBar(qv::ColorBar({{0.0, PackRGB(0, 255, 0)}}));
       }},
      {"clear", [&] { e.ClearEntries(); }},
  };
  ASSERT_TRUE(main.RunPass());
  for (const auto& [what, edit] : edits) {
    const uint64_t computed = e.ResultStamp();
    const std::vector<int32_t> before = qv::test::FieldPixels(e.RGBField);
    edit();
    ASSERT_TRUE(main.RunPass());
    EXPECT_GT(e.ResultStamp(), computed) << what << ": not recomputed";
    EXPECT_NE(qv::test::FieldPixels(e.RGBField), before) << what;
  }
}

}  // namespace
