#pragma once
// What a generator kernel reads for one Compute: the per-picture constants
// and the parameters of the three methods, copied out of the method objects
// so that the kernels never touch them (and never call them). Shared by the
// kernel translation units, which are compiled for different instruction sets;
// this header therefore declares only plain data and functions defined out of
// line, nothing inline that the linker could merge across those units (the
// formulas are templates, instantiated on each unit's own arithmetic).
#include <cstdint>
#include <stop_token>

#include "base/QVComplex.h"
#include "engine/QVField.h"
#include "engine/methods/QVFormulas.h"

namespace qv::kernel {

/// The formula's kind is its position in formula::FractalFormulas.
/// The stop test's kind: the KindIndex in the divergence family.
enum DivergenceKind : int32_t { Norm, Stalks, Cross };
/// The record's kind: the KindIndex in the output family.
enum OutputKind : int32_t { EndPoint, Ball, Trace, TraceChecker };
inline constexpr int32_t FractalKindCount = formula::FractalFormulas::Count;
inline constexpr int32_t DivergenceKindCount = 3;
inline constexpr int32_t OutputKindCount = 4;

struct RowSetup {
  const double* ColumnRe = nullptr;  ///< Per column: the real part of its point.
  int32_t Width = 0;
  int32_t Depth = 0;
  double Range = 0.0;
  bool Julia = false;  ///< The point starts the orbit; otherwise it is c.
  QVComplex Constant;  ///< The fractal parameter C.
  /// The divergence method's "幅" and "回数" slots.
  QVComplex DivergenceWidth, DivergenceSkip;
  /// The number of first steps the divergence test is not applied to: the
  /// steps j with j <= DivergenceSkip.re (0 to INT32_MAX).
  int32_t SkippedSteps = 0;
  /// The output method's slots, in slot order ((0, 0) where it has fewer).
  QVComplex Output0, Output1, Output2;
  /// Looked at every StopCheckSteps steps: the pass's stop (null: never stopped).
  const std::stop_token* Stop = nullptr;
  bool Stopped() const { return Stop && Stop->stop_requested(); }
};

/// Computes one row: pointIm is the imaginary part of the row's points.
/// Returns false when it gave the row up part-way because Stopped() said so.
using RowKernel = bool (*)(const RowSetup& setup, double pointIm, FractalPixel* out);

/// The plain-scalar kernel of a combination (any of the 84).
RowKernel ScalarRowKernel(int32_t fractal, int32_t divergence, int32_t output);
/// The vector kernels; "終点" only (the other outputs call libm), null otherwise
/// or where the build has no such kernel.
RowKernel Sse2RowKernel(int32_t fractal, int32_t divergence, int32_t output);
RowKernel Avx2RowKernel(int32_t fractal, int32_t divergence, int32_t output);

}  // namespace qv::kernel
