#pragma once
// The arithmetic of moving one stop (colour-bar entry) along the painted bar,
// by the pointer or by the arrow keys. A stop only lands on inputs the project
// text keeps (qv::KeptNumber), so what the bar shows is what a saved project
// reads back, and never on another stop's input, which reading would merge
// into one entry. The bar's span is taken once, when the move starts, so the
// columns do not rescale under the pointer while an end stop moves. Plain
// value; UI thread.
#include <cstdint>
#include <optional>
#include <vector>

namespace qv {

class StopDrag {
 public:
  /// Moves stop index of inputs (in bar order) on a bar spanning the first to
  /// the last of inputs, picked up by the pointer at column grab.
  StopDrag(const std::vector<double>& inputs, int32_t index, int32_t grab = 0);

  /// The input for the pointer at column col, which is kept within the bar:
  /// the column's value as the text keeps it; none when that is another
  /// stop's input (the stop stays where it is).
  std::optional<double> AtColumn(int32_t col) const;
  /// The input for the pointer at column x: the stop keeps its distance to
  /// the pointer from where it was picked up, and at that column it is back
  /// at its own input exactly (a click moves nothing).
  std::optional<double> AtPointer(int32_t x) const;
  /// One arrow-key step from the stop's input in direction dir (-1 or +1): the
  /// nearest column in that direction whose kept value is neither the stop's
  /// own input nor another stop's. Columns may lie past the bar's ends, so an
  /// end stop can widen the bar. None when no such column lies within one bar
  /// width.
  std::optional<double> Step(int dir) const;
  /// True when a pointer at y has left the band from top to bottom (of the
  /// bar and its stops) by more than a few pixels: a stop released there is
  /// deleted.
  static bool IsOff(int32_t y, int32_t top, int32_t bottom);

 private:
  std::optional<double> Free(double x) const;

  double first_ = 0.0;
  double last_ = 0.0;
  double own_ = 0.0;
  int32_t grab_ = 0;            // the pointer's column at the pick-up
  int32_t ownColumn_ = 0;       // the stop's column then
  std::vector<double> others_;  // every other stop's input
};

}  // namespace qv
