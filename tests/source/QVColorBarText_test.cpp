#include "source/QVColorBarText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "base/QVScan.h"

namespace {

using qv::ColorBar;
using qv::ColorBarTextProblem;
using Stops = std::vector<std::pair<double, int32_t>>;

Stops StopsOf(const ColorBar& bar) {
  Stops out;
  for (const ConvertData& d : bar.Entries()) out.emplace_back(d.Input, d.Color);
  return out;
}

// Random bars of kept, distinct inputs over many magnitudes: written and read
// back they are the same bar, and written again the same bytes.
TEST(ColorBarText, WriteThenReadGivesTheSameBarAndTheSameText) {
  std::mt19937_64 rng(7);
  for (int round = 0; round < 200; ++round) {
    ColorBar bar;
    const int n = 2 + static_cast<int>(rng() % 30);
    while (bar.EntryCount() < n) {
      const double mantissa = std::uniform_real_distribution<double>(-10.0, 10.0)(rng);
      const double x = std::ldexp(mantissa, static_cast<int>(rng() % 200) - 100);
      bar.InsertEntry(static_cast<int32_t>(rng() % 0x1000000), x);
    }
    const std::string text = qv::WriteColorBarText(bar);
    ColorBar read;
    ASSERT_TRUE(qv::ReadColorBarText(text, read).Ok()) << text;
    ASSERT_EQ(StopsOf(read), StopsOf(bar)) << text;
    ASSERT_EQ(qv::WriteColorBarText(read), text);
  }
}

TEST(ColorBarText, StopsInAnyOrderWithCommentsBlanksAndCrLf) {
  ColorBar bar;
  const auto problem =
      qv::ReadColorBarText("# fire\r\n\r\n1 255 255 255\r\n\t0.5  200 100\t0\r\n0 0 0 0", bar);
  ASSERT_TRUE(problem.Ok());
  EXPECT_EQ(StopsOf(bar), (Stops{{0.0, 0}, {0.5, 200 | 100 << 8}, {1.0, 0xFFFFFF}}));
  EXPECT_EQ(qv::WriteColorBarText(bar),
            "# Q-Vell colour bar: input R G B\n0 0 0 0\n0.5 200 100 0\n1 255 255 255\n");
}

TEST(ColorBarText, RefusedTextsSayWhereAndLeaveTheBarAlone) {
  struct Case {
    const char* text;
    ColorBarTextProblem::Kind what;
    int32_t line;
    const char* found;
  };
  using P = ColorBarTextProblem;
  const Case cases[] = {
      {"0 0 0 0\n1 2 3", P::FieldCount, 2, "1 2 3"},
      {"0 0 0 0\n1 2 3 4 5", P::FieldCount, 2, "1 2 3 4 5"},
      {"x 0 0 0\n1 0 0 0", P::BadInput, 1, "x"},
      {"nan 0 0 0\n1 0 0 0", P::BadInput, 1, "nan"},
      {"1e999 0 0 0\n1 0 0 0", P::BadInput, 1, "1e999"},
      {"0 0 0 256\n1 0 0 0", P::BadChannel, 1, "256"},
      {"0 0 -1 0\n1 0 0 0", P::BadChannel, 1, "-1"},
      {"0 0 0 0\n1 0 0 1.5", P::BadChannel, 2, "1.5"},
      {"# a\n0 0 0 0\n1 0 0 0\n1.0000000000000002 9 9 9", P::RepeatedInput, 4,
       "1.0000000000000002"},
      {"0 0 0 0\n", P::TooFewStops, 0, ""},
      {"", P::TooFewStops, 0, ""},
  };
  for (const Case& c : cases) {
    ColorBar bar({{3.0, 7}, {4.0, 8}});
    const ColorBarTextProblem p = qv::ReadColorBarText(c.text, bar);
    EXPECT_EQ(p.What, c.what) << c.text;
    EXPECT_EQ(p.Line, c.line) << c.text;
    EXPECT_EQ(p.Found, c.found) << c.text;
    EXPECT_EQ(StopsOf(bar), (Stops{{3.0, 7}, {4.0, 8}})) << c.text;
  }
  ColorBar bar;
  EXPECT_EQ(qv::ReadColorBarText("0 0 0 0\n1 0 0 0\n0.0000000000000001 1 1 1\n1 1 1 1", bar).Other,
            2);
}

}  // namespace
