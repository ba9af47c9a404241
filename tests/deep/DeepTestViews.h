#pragma once
// The views of the deep path's tests: a place of the plane, its formula and
// type, a scale and a depth, set up on a fresh project.
#include <cstdint>
#include <vector>

#include "engine/QVField.h"

class QVGenerator;
class QVMain;

namespace qv::test {

struct DeepLocation {
  const char* Name;
  const char* Formula;
  int32_t Type;  // 0: Mandelbrot-like; otherwise Julia-like with C = i (z^2+C) or 0
  const char* Re;
  const char* Im;
  double Scale;
  int32_t Depth;
  int32_t Shrink = 1;  // the test grid divided by this (the costliest brute forces)
};

/// M(3,1) = -1.5436890126920763615..., the real root of c^3 + 2c^2 + 2c + 2,
/// to 320 digits: enough for views down to 1e-300.
extern const char* const M31;

/// Sets main's parameter to the location at w x h pixels and its first
/// generator's depth; returns that generator.
QVGenerator& ShowDeepLocation(QVMain& main, const DeepLocation& l, int32_t w, int32_t h);

/// Computes the generator and returns its records, row by row.
std::vector<FractalPixel> FieldPixels(QVGenerator& g);

/// The counts of FieldPixels.
std::vector<int32_t> FieldCounts(QVGenerator& g);

}  // namespace qv::test
