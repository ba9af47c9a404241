#pragma once
// What a generator kernel reads for one Compute: the per-picture constants
// and the parameters of the three methods, copied out of the method objects
// so that the kernels never touch them (and never call them). Shared by the
// kernel translation units, which are compiled for different instruction sets;
// this header therefore declares only plain data and functions defined out of
// line, nothing inline that the linker could merge across those units (the
// rules are templates, instantiated on each unit's own arithmetic).
#include <cstdint>
#include <stop_token>

#include "base/QVComplex.h"
#include "engine/QVField.h"
#include "engine/methods/QVDivergenceRules.h"
#include "engine/methods/QVFormulas.h"
#include "engine/methods/QVOutputRules.h"
#include "engine/methods/QVRuleList.h"

namespace qv::kernel {

/// A method's kind is its rule's position in its family's list.
inline constexpr int32_t FractalKindCount = formula::FractalFormulas::Count;
inline constexpr int32_t DivergenceKindCount = divergence::DivergenceTests::Count;
inline constexpr int32_t OutputKindCount = output::OutputRules::Count;

struct RowSetup {
  const double* ColumnRe = nullptr;  ///< Per column: the real part of its point.
  int32_t Width = 0;
  int32_t Depth = 0;
  double Range = 0.0;
  bool Julia = false;  ///< The point starts the orbit; otherwise it is c.
  QVComplex Constant;  ///< The fractal parameter C.
  /// The divergence method's slots, in slot order ((0, 0) where it has fewer).
  SlotValues DivergenceSlots{};
  /// The number of first steps the divergence test is not applied to: the
  /// steps j with j <= n, n the real part of its SkipSlot (0 to INT32_MAX).
  int32_t SkippedSteps = 0;
  /// The output method's slots, in slot order ((0, 0) where it has fewer).
  SlotValues OutputSlots{};
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
RowKernel Avx512RowKernel(int32_t fractal, int32_t divergence, int32_t output);

}  // namespace qv::kernel
