// The generator's per-pixel loop specialised for one combination of formula,
// divergence test and output rule: the same steps as the plain loop, in the
// same order and with the same operations (the rules the method classes run),
// but inlined instead of called through virtual operations. It serves every
// combination, and is the only fast form of the outputs that call libm, whose
// results it remembers.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/kernels/QVGeneratorKernelTable.h"
#include "engine/kernels/QVOrbitLoop.h"
#include "engine/methods/QVDivergenceRules.h"
#include "engine/methods/QVFormulas.h"
#include "engine/methods/QVOutputRules.h"

namespace qv::kernel {

namespace {

// A function of one double whose results for recent arguments are kept. An
// orbit that settles into a cycle repeats its values bit for bit, and libm
// gives the same bits for the same argument, so a repeated argument needs no
// second call. Direct-mapped on the argument's bits; every slot starts as the
// argument +0 with its true result, so no slot is ever invalid.
template <class Function>
class Remembered {
 public:
  explicit Remembered(Function f) : f_(f) {
    const Entry zero{std::bit_cast<uint64_t>(0.0), f_(0.0)};
    table_.fill(zero);
  }
  double operator()(double x) {
    const uint64_t bits = std::bit_cast<uint64_t>(x);
    Entry& e = table_[(bits * 0x9E3779B97F4A7C15ull) >> 58];
    if (e.key != bits) e = {bits, f_(x)};
    return e.value;
  }

 private:
  struct Entry {
    uint64_t key;
    double value;
  };
  Function f_;
  std::array<Entry, 64> table_;
};

template <class F, class D, class O>
bool ScalarRow(const RowSetup& s, double pointIm, FractalPixel* out) {
  const SlotValues divergenceSlots = s.DivergenceSlots;
  typename O::template Walker<Remembered> output(s.OutputSlots.data());
  const double range = s.Range;
  const auto stopped = [&s] { return s.Stopped(); };
  for (int32_t col = 0; col < s.Width; ++col) {
    const QVComplex point{s.ColumnRe[col], pointIm};
    QVComplex z = s.Julia ? point : s.Constant;
    const QVComplex c = s.Julia ? s.Constant : point;
    output.Start();
    const bool finished = RunOrbit(
        s.Depth,
        [&](int32_t j) {
          z = F::Step(formula::ScalarArithmetic{}, z, c);  // as the fractal method
          output.Step(j, z);
          return z.re * z.re + z.im * z.im > range ||
                 divergence::Diverged<D>(j, z, divergenceSlots.data());
        },
        stopped);
    if (!finished) return false;
    out[col] = output.R;
  }
  return true;
}

struct ScalarKernels {
  template <class F, class D, class O>
  struct Kernel {
    static constexpr RowKernel Get() { return &ScalarRow<F, D, O>; }
  };
};

}  // namespace

RowKernel ScalarRowKernel(int32_t fractal, int32_t divergence, int32_t output) {
  return FindKernel<ScalarKernels>(fractal, divergence, output);
}

}  // namespace qv::kernel
