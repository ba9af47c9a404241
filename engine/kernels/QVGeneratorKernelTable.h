#pragma once
// The table of a kernel translation unit's row functions, one per combination
// of formula, divergence test and output rule. Kernels::Kernel<F, D, O>::Get()
// gives the row function of that combination (F, D and O structs of their
// family's list), or null where the unit has none. The table has an entry for
// every rule of the three lists, so none can be left without one.
// Kernels is a type local to the unit (or built on one), so every
// instantiation has internal linkage and stays inside the unit that was
// compiled for its instruction set.
#include <array>
#include <cstdint>
#include <utility>

#include "engine/kernels/QVGeneratorKernelSetup.h"

namespace qv::kernel {

inline constexpr int32_t CombinationCount =
    FractalKindCount * DivergenceKindCount * OutputKindCount;

template <class Kernels, int32_t... I>
constexpr std::array<RowKernel, CombinationCount> MakeKernelTable(
    std::integer_sequence<int32_t, I...>) {
  return {Kernels::template Kernel<
      typename formula::At<I / (DivergenceKindCount * OutputKindCount)>::Type,
      typename TypeAt<(I / OutputKindCount) % DivergenceKindCount,
                      divergence::DivergenceTests>::Type,
      typename TypeAt<I % OutputKindCount, output::OutputRules>::Type>::Get()...};
}

/// The row function of the combination, null for kinds out of range.
template <class Kernels>
RowKernel FindKernel(int32_t fractal, int32_t divergence, int32_t output) {
  constexpr std::array<RowKernel, CombinationCount> table =
      MakeKernelTable<Kernels>(std::make_integer_sequence<int32_t, CombinationCount>());
  if (fractal < 0 || fractal >= FractalKindCount || divergence < 0 ||
      divergence >= DivergenceKindCount || output < 0 || output >= OutputKindCount) {
    return nullptr;
  }
  return table[static_cast<size_t>((fractal * DivergenceKindCount + divergence) * OutputKindCount +
                                   output)];
}

}  // namespace qv::kernel
