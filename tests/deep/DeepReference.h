#pragma once
// The brute-force reference of the deep path: every pixel's whole orbit
// iterated in MPFR, slow and plain, with no reference orbit, no rebasing and
// no doubles on the way (the pixel's offset from the viewpoint, a double the
// plane mapping gives, is added exactly).
#include <cstdint>
#include <vector>

#include "engine/QVParameter.h"

namespace qv::test {

/// The number of steps the plain loop with "ノルム" and "終点" would record
/// at every pixel of p's computed rectangle, row by row, were it exact: the
/// first step j whose |z|^2 exceeds range, or depth. Formulas: "z^2+C",
/// "z^3+C" and "z+C"; both fractal types. bits: the precision of every value.
std::vector<int32_t> BruteForceCounts(const QVParameter& p, int32_t depth, double range,
                                      int64_t bits);

}  // namespace qv::test
