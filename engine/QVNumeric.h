#pragma once
// Conversions from doubles to integers that never invoke undefined behaviour.
#include <cmath>
#include <cstdint>
#include <limits>

namespace qv {

/// Truncates toward zero and saturates to the 32-bit range; NaN gives 0.
inline int32_t TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

}  // namespace qv
