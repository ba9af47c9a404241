#include "ui/QVColorBarView.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/QVEffector.h"
#include "engine/QVMain.h"

namespace {

using qv::ColorBarView;

constexpr int32_t kWhite = 0xFFFFFF;

class ColorBarViewTest : public ::testing::Test {
 protected:
  ColorBarViewTest() { view_.SetEffector(main_.Graph().Effectors[0]); }
  QVEffector& Bar() { return *main_.Graph().Effectors[0]; }
  std::vector<double> Inputs() {
    std::vector<double> out;
    for (int32_t i = 0; i < Bar().EntryCount(); ++i) out.push_back(Bar().EntryInput(i));
    return out;
  }
  QVMain main_;
  ColorBarView view_;
};

TEST_F(ColorBarViewTest, DefaultBarRunsBlackToWhiteWithMarkerOnEntry) {
  const std::vector<int32_t> colors = view_.ColumnColors();
  EXPECT_EQ(colors.front(), 0);
  EXPECT_EQ(colors.back(), 0xFEFEFE);  // column 320 of 321 is just short of white
  EXPECT_EQ(view_.SelectedColumn(), 0);
  EXPECT_EQ(ColorBarView::MarkerLeft(view_.SelectedColumn()), -2);
  ASSERT_TRUE(view_.SelectNext());
  EXPECT_EQ(view_.SelectedInput(), 1.0);
  EXPECT_EQ(view_.SelectedColor(), kWhite);
  EXPECT_EQ(view_.SelectedColumn(), 321);
  EXPECT_FALSE(view_.SelectNext());
}

TEST_F(ColorBarViewTest, DoubleClickAtColumn160InsertsTheGreyShownThere) {
  ASSERT_TRUE(view_.InsertAtColumn(160));
  EXPECT_EQ(view_.Selected(), 1);
  EXPECT_EQ(Bar().EntryCount(), 3);
  EXPECT_EQ(Bar().EntryInput(1), 0.498442367601246);  // 160 / 321 as the text keeps it
  EXPECT_EQ(Bar().EntryColor(1), 127 | 127 << 8 | 127 << 16);
  ASSERT_TRUE(view_.InsertAtColumn(160));  // on an entry: only selects it
  EXPECT_EQ(Bar().EntryCount(), 3);
}

// The input an insert stores is the column's value as the text keeps it,
// which may lie a hair below the column: the marker still stands there.
TEST_F(ColorBarViewTest, AnEntryInsertedAtAColumnStandsAtThatColumn) {
  for (const auto& [first, last] : {std::pair{0.0, 1.0}, std::pair{-0.3, 0.7}, {1e-9, 3e-9}}) {
    Bar().SetEntryInput(1, last);
    Bar().SetEntryInput(0, first);
    for (int32_t col = 0; col <= ColorBarView::BarWidth; ++col) {
      view_.InsertAtColumn(col);
      ASSERT_EQ(view_.SelectedColumn(), col) << first << " " << col;
    }
    while (Bar().EntryCount() > 2) Bar().DeleteEntry(1);
  }
}

TEST_F(ColorBarViewTest, MovedEntryStaysSelectedAndRefusesAnotherEntrysInput) {
  ASSERT_TRUE(view_.SetSelectedInput(2.0));
  EXPECT_EQ(Inputs(), (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(view_.Selected(), 1);
  EXPECT_EQ(Bar().EntryColor(1), 0);
  view_.InsertAtColumn(160);                         // 1.49844236760125
  view_.SelectPrevious();                            // input 1, white
  ASSERT_TRUE(view_.SetSelectedInput(1.9 + 1e-16));  // past its neighbour, kept
  EXPECT_EQ(Inputs(), (std::vector<double>{1.49844236760125, 1.9, 2.0}));
  EXPECT_EQ(view_.Selected(), 1);
  EXPECT_EQ(Bar().EntryColor(1), 0xFFFFFF);
  // 2 and the doubles that keep as 2 belong to the last entry; the text would merge them.
  for (double taken : {2.0, std::nextafter(2.0, 3.0), 1.49844236760125 + 1e-15}) {
    EXPECT_NE(view_.OtherEntryAt(taken), -1) << taken;
    EXPECT_FALSE(view_.SetSelectedInput(taken)) << taken;
  }
  EXPECT_EQ(view_.OtherEntryAt(1.9), -1);  // its own input
  EXPECT_EQ(Inputs(), (std::vector<double>{1.49844236760125, 1.9, 2.0}));
  EXPECT_FALSE(view_.SetSelectedInput(NAN));
}

TEST_F(ColorBarViewTest, DeleteKeepsTwoEntriesAndSelectsTheNewLast) {
  EXPECT_FALSE(view_.DeleteSelected());
  view_.InsertAtColumn(100);
  view_.SelectNext();
  ASSERT_EQ(view_.Selected(), 2);
  ASSERT_TRUE(view_.DeleteSelected());
  EXPECT_EQ(view_.Selected(), 1);
  EXPECT_EQ(Bar().EntryCount(), 2);
}

TEST_F(ColorBarViewTest, BarWithoutWidthPutsEverythingAtColumnZero) {
  Bar().SetColorBar(qv::ColorBar({{1.0, 0}, {1.0, kWhite}}));  // given whole
  EXPECT_EQ(view_.ColumnOfValue(1.0), 0);
  EXPECT_EQ(view_.ValueAtColumn(200), 1.0);
}

TEST_F(ColorBarViewTest, HugeSpanGivesFiniteValuesAndColumnsInsideTheBar) {
  Bar().SetEntryInput(0, -1.7e308);
  Bar().SetEntryInput(1, 1.7e308);
  for (int32_t col : {0, 1, 160, 320, 321}) {
    const double v = view_.ValueAtColumn(col);
    EXPECT_TRUE(std::isfinite(v)) << col;
    EXPECT_NEAR(view_.ColumnOfValue(v), col, 1) << col;
  }
  EXPECT_EQ(view_.ColumnOfValue(0.0), 160);
}

TEST_F(ColorBarViewTest, EmptyAndOneEntryBarsDrawAndIgnoreEveryEdit) {
  Bar().ClearEntries();
  view_.SetEffector(&Bar());
  EXPECT_EQ(view_.ColumnColors(), std::vector<int32_t>(ColorBarView::BarWidth, 0));
  EXPECT_FALSE(view_.HasSelection());
  EXPECT_FALSE(view_.SelectNext() || view_.SelectPrevious() || view_.DeleteSelected() ||
               view_.SetSelectedInput(3.0) || view_.SetSelectedColor(kWhite) ||
               view_.InsertAtColumn(5));
  EXPECT_EQ(view_.SelectedColumn(), 0);
  Bar().InsertEntry(kWhite, 0.5);
  EXPECT_FALSE(view_.SelectNext() || view_.SelectPrevious() || view_.DeleteSelected());
  EXPECT_EQ(view_.ColumnColors().back(), kWhite);
  EXPECT_EQ(view_.SelectedColumn(), 0);
}

}  // namespace
