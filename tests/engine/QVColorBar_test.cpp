#include "engine/QVColorBar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

// The plain rule: InsertEntry one entry after the other on an empty bar.
std::vector<ConvertData> OneByOne(const std::vector<ConvertData>& in) {
  qv::ColorBar bar;
  for (const ConvertData& e : in) bar.InsertEntry(e.Color, e.Input);
  return bar.Entries();
}

// Entries equal bit for bit (NaN and the sign of zero included).
bool SameEntries(const std::vector<ConvertData>& a, const std::vector<ConvertData>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::memcmp(&a[i].Input, &b[i].Input, sizeof(double)) != 0 || a[i].Color != b[i].Color) {
      return false;
    }
  }
  return true;
}

TEST(QVColorBar, InsertedAllAtOnceEqualsInsertingOneByOne) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::vector<ConvertData>> worked = {
      {},
      {{0, 1}, {1, 2}, {2, 3}},               // ascending: kept as is
      {{2, 1}, {0.5, 2}, {-1, 3}, {0.5, 4}},  // descending, a repeat replaces the colour
      {{0.0, 1}, {-0.0, 2}},                  // -0 equals 0: the first input, the last colour
      {{nan, 1}, {1, 2}, {0, 3}, {nan, 4}, {2, 5}},  // NaN stays where it was appended
      {{1, 1}, {1, 2}, {1, 3}}};
  for (const auto& in : worked) EXPECT_TRUE(SameEntries(qv::ColorBar::Inserted(in), OneByOne(in)));
  std::mt19937 random(12);
  for (int round = 0; round < 400; ++round) {
    std::vector<ConvertData> in(random() % 60);
    for (size_t i = 0; i < in.size(); ++i) {
      const unsigned kind = random() % 10;
      in[i].Input = kind == 0 ? nan : kind == 1 ? -0.0 : static_cast<double>(random() % 20) / 4;
      if (round % 3 == 0)
        in[i].Input = static_cast<double>(i) + (kind == 0 ? -3 : 0);     // nearly ascending
      if (round % 4 == 1 && std::isnan(in[i].Input)) in[i].Input = 1.5;  // the sorting path
      in[i].Color = static_cast<int32_t>(random() & 0xFFFFFF);
    }
    ASSERT_TRUE(SameEntries(qv::ColorBar::Inserted(in), OneByOne(in))) << "round " << round;
  }
}

// Inputs are stored as the project text keeps them, so inputs that the text
// cannot tell apart make one entry, however they arrive.
TEST(QVColorBar, EveryEditKeepsInputsAsTheText) {
  const double third = 1.0 / 3.0, kept = 0.333333333333333;
  const std::vector<ConvertData> near = {{third, 1}, {std::nextafter(third, 1.0), 2}, {kept, 3}};
  for (const auto& entries : {qv::ColorBar::Inserted(near), OneByOne(near)}) {
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Input, kept);
    EXPECT_EQ(entries[0].Color, 3);
  }
  qv::ColorBar bar({{0.0, 1}, {1.0, 2}});
  bar.SetEntryInput(0, third);
  EXPECT_EQ(bar.EntryInput(0), kept);
  bar.InsertEntry(4, 2.0 / 3.0);
  bar.SetEntryInput(2, 0.66666666666666663);  // keeps as entry 1's input: merges, its colour wins
  ASSERT_EQ(bar.EntryCount(), 2);
  EXPECT_EQ(bar.EntryInput(1), 0.666666666666667);
  EXPECT_EQ(bar.EntryColor(1), 2);
}

TEST(QVColorBar, InsertEntriesOnAFilledBarFollowsThePlainRule) {
  qv::ColorBar bar;
  bar.InsertEntry(1, 0);
  bar.InsertEntry(2, 1);
  bar.InsertEntries({{0.5, 3}, {1, 4}, {-1, 5}});
  EXPECT_TRUE(SameEntries(bar.Entries(), {{-1, 5}, {0, 1}, {0.5, 3}, {1, 4}}));
}

}  // namespace
