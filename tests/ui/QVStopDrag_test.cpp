#include "ui/QVStopDrag.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using qv::StopDrag;

constexpr std::nullopt_t kNone = std::nullopt;

// The expected inputs are the columns' values col / 321 of the bar 0..1,
// written to 15 significant digits by hand.
TEST(StopDrag, ThePointerSnapsToKeptColumnValuesAndNeverOntoAnotherStop) {
  struct Case {
    std::vector<double> inputs;
    int32_t index;
    int32_t col;
    std::optional<double> expected;
  };
  const Case cases[] = {
      {{0.0, 1.0}, 1, 160, 0.498442367601246},
      {{0.0, 1.0}, 1, 1, 0.00311526479750779},
      {{0.0, 1.0}, 1, 0, kNone},                     // stop 0's input
      {{0.0, 1.0}, 1, -50, kNone},                   // kept within the bar: column 0
      {{0.0, 1.0}, 1, 400, 1.0},                     // column 321: its own input
      {{0.0, 1.0}, 0, 321, kNone},                   // stop 1's input
      {{0.0, 0.5, 1.0}, 0, 161, 0.501557632398754},  // past stop 1, not on it
      {{-1.0, 1.0}, 0, 160, -0.00311526479750779},   // -1 + 2 * 160 / 321
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StopDrag(c.inputs, c.index).AtColumn(c.col), c.expected)
        << "stop " << c.index << " of " << c.inputs.size() << " at column " << c.col;
  }
}

// The stop follows the pointer at the distance it was picked up at, and a
// pointer back at the pick-up puts it back exactly, off any column value.
TEST(StopDrag, TheStopKeepsItsDistanceToThePointer) {
  struct Case {
    int32_t grab;
    int32_t x;
    std::optional<double> expected;
  };
  const std::vector<double> inputs{0.0, 0.5, 1.0};  // 0.5 stands at column 160
  for (const Case& c : {Case{160, 160, 0.5},
                        {163, 163, 0.5},
                        {163, 164, 0.501557632398754},
                        {157, 156, 0.495327102803738},
                        {160, 500, kNone}}) {
    EXPECT_EQ(StopDrag(inputs, 1, c.grab).AtPointer(c.x), c.expected) << c.grab << " " << c.x;
  }
}

TEST(StopDrag, AnArrowStepsOneFreeColumnAndEndStopsWidenTheBar) {
  struct Case {
    std::vector<double> inputs;
    int32_t index;
    int dir;
    std::optional<double> expected;
  };
  const Case cases[] = {
      {{0.0, 1.0}, 0, +1, 0.00311526479750779},
      {{0.0, 1.0}, 0, -1, -0.00311526479750779},    // column -1: the bar widens
      {{0.0, 1.0}, 1, +1, 1.00311526479751},        // column 322
      {{0.0, 1.0}, 1, -1, 0.996884735202492},       // column 320
      {{0.0, 0.5, 1.0}, 1, +1, 0.501557632398754},  // 0.5 stands at column 160
      {{0.0, 0.5, 1.0}, 1, -1, 0.495327102803738},
      {{0.0, 0.00311526479750779, 1.0}, 0, +1, 0.00623052959501558},  // column 1 is taken
      {{1.0, 1.00000000000001}, 0, +1, kNone},  // every column keeps as 1 or the other stop
      {{-1.797e308, 1.797e308}, 0, -1, kNone},  // past the double range
      {{2.0, 2.0}, 0, +1, kNone},               // no span
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StopDrag(c.inputs, c.index).Step(c.dir), c.expected)
        << "stop " << c.index << " of " << c.inputs.size() << " dir " << c.dir;
  }
}

TEST(StopDrag, AStopIsOffTheBarBeyondAMarginAboveOrBelow) {
  struct Case {
    int32_t y;
    bool off;
  };
  // The band runs from -25 (the bar's top) to 11 (the stops' bottom).
  for (const Case c : {Case{0, false},
                       {-25, false},
                       {-37, false},
                       {-38, true},
                       {23, false},
                       {24, true},
                       {-500, true}}) {
    EXPECT_EQ(StopDrag::IsOff(c.y, -25, 11), c.off) << c.y;
  }
}

}  // namespace
