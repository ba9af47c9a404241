#pragma once
// The brute-force reference of the deep path: every pixel's whole orbit
// iterated in MPFR, slow and plain, with no reference orbit, no rebasing and
// no doubles on the way (the pixel's offset from the viewpoint, a double the
// plane mapping gives, is added exactly).
#include <cstdint>
#include <vector>

#include "engine/QVField.h"
#include "engine/QVParameter.h"
#include "engine/methods/QVMethod.h"

namespace qv::test {

/// What the plain loop with "ノルム" would record at every pixel of p's
/// computed rectangle, row by row, were it exact: the orbit stops at the
/// first step j whose |z|^2 exceeds range, or at depth, and output (a clone)
/// sees every exact z rounded to doubles. Formulas: "z^2+C", "z^3+C" and
/// "z+C"; both fractal types. bits: the precision of every value.
std::vector<FractalPixel> BruteForcePixels(const QVParameter& p, const QVOutputMethod& output,
                                           int32_t depth, double range, int64_t bits);

}  // namespace qv::test
