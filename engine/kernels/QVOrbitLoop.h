#pragma once
// The step loop of one orbit, shared by the plain per-pixel loop and the
// specialised scalar kernel: steps j = 1, 2, ... up to the depth, stopping
// early where the orbit ends, and looking at the pass's stop every
// StopCheckSteps steps. Counted in blocks, so the loop itself tests nothing
// more per step than a loop up to the depth would.
#include <algorithm>
#include <cstdint>
#include <limits>

namespace qv {

/// Steps an inner loop goes between two looks at the stop (a look costs about
/// as much as one step, so the loops lose well under 1 %).
inline constexpr int32_t StopCheckSteps = 4096;
/// The plain effector and mixer rows look at the stop after every pixel x
/// with (x & StopCheckPixelMask) == StopCheckPixelMask.
inline constexpr int32_t StopCheckPixelMask = 1023;

/// Calls step(j) for j = 1, 2, ... while j <= depth, until it returns true
/// (the orbit ended after step j); never steps past INT32_MAX. Between blocks
/// of StopCheckSteps steps asks stopped(); returns false when that said yes
/// (the orbit was given up part-way), true when the orbit ran to its end.
template <class Step, class Stopped>
bool RunOrbit(int32_t depth, Step&& step, Stopped&& stopped) {
  int32_t j = 1;
  for (;;) {
    const auto end =
        static_cast<int32_t>(std::min<int64_t>(depth, int64_t{j} + StopCheckSteps - 1));
    for (; j <= end; ++j) {
      if (step(j)) return true;
      if (j == std::numeric_limits<int32_t>::max()) return true;  // the counter must not overflow
    }
    if (j > depth) return true;
    if (stopped()) return false;
  }
}

}  // namespace qv
