// The generator's per-pixel loop specialised for one combination of formula,
// divergence test and output method: the same steps as the plain loop, in
// the same order and with the same operations, but with every method inlined
// instead of called through its virtual operations. It serves every
// combination, and is the only fast form of the outputs that call libm.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/kernels/QVGeneratorKernelTable.h"
#include "engine/kernels/QVOrbitLoop.h"
#include "engine/methods/QVFormulas.h"

namespace qv::kernel {

namespace {

// The divergence tests: true stops the orbit after step j.
template <int32_t D>
struct Divergence {
  explicit Divergence(const RowSetup& s) : w(s.DivergenceWidth), n(s.DivergenceSkip.re) {}
  bool Diverged(int32_t j, QVComplex z) const {
    if constexpr (D == Norm) {
      return false;
    } else if constexpr (D == Stalks) {
      if (j <= n) return false;
      return w.re > std::fabs(z.re) || w.im > std::fabs(z.im);
    } else {
      if (j <= n) return false;
      if (std::fabs(z.re) <= w.re) return false;
      return !(std::fabs(z.im) <= w.im);
    }
  }
  QVComplex w;
  double n;
};

int32_t Incremented(int32_t count) {
  return count < std::numeric_limits<int32_t>::max() ? count + 1 : count;
}

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

struct Sine {
  double operator()(double x) const { return std::sin(x); }
};

// x raised to a fixed power.
struct Power {
  double k;
  double operator()(double x) const { return std::pow(x, k); }
};

// The output methods' per-pixel state and steps, one struct per kind.
template <int32_t O>
struct Output;

template <>
struct Output<EndPoint> {
  explicit Output(const RowSetup&) {}
  void Start() { r = {{0.0, 0.0}, 0}; }
  void Step(int32_t j, QVComplex z) { r = {z, j}; }
  FractalPixel r;
};

template <>
struct Output<Ball> {
  explicit Output(const RowSetup& s) : p(s.Output0), from(s.Output1.re) {}
  void Start() {
    best = 1e100;
    r = {{0.0, 0.0}, 1};
  }
  void Step(int32_t j, QVComplex z) {
    if (!(j >= from)) return;
    const QVComplex d = Sub(z, p);
    const double dist = std::hypot(d.re, d.im);
    if (dist >= best) return;
    r = {d, j};
    best = dist;
  }
  QVComplex p;
  double from;
  double best = 1e100;
  FractalPixel r;
};

template <>
struct Output<Trace> {
  explicit Output(const RowSetup& s)
      : powerRe(Power{s.Output0.re}), powerIm(Power{s.Output0.im}), from(s.Output1.re) {}
  void Start() {
    previous = {0.0, 0.0};
    r = {{0.0, 0.0}, 0};
  }
  void Step(int32_t j, QVComplex z) {
    if (j >= from) {
      const double a = powerRe(std::fabs(z.re - previous.re));
      const double b = powerIm(std::fabs(z.im - previous.im));
      r.Z = Add(r.Z, {a, b});
      r.Count = Incremented(r.Count);
    }
    previous = z;
  }
  Remembered<Power> powerRe, powerIm;
  double from;
  QVComplex previous;
  FractalPixel r;
};

template <>
struct Output<TraceChecker> {
  explicit Output(const RowSetup& s)
      : w(s.Output0), bias(s.Output1.re), from(s.Output2.re), sineU(Sine{}), sineV(Sine{}) {}
  void Start() { r = {{0.0, 0.0}, 0}; }
  void Step(int32_t j, QVComplex z) {
    if (!(j >= from)) return;
    const double u = z.re / w.re;
    const double v = z.im / w.im;
    const double e = sineU(u) * sineV(v) + bias;
    // The sign of e follows the checkerboard, which no branch predictor can
    // guess: count without a branch (saturating, as Incremented does).
    r.Count += static_cast<int32_t>(e >= 0.0) & static_cast<int32_t>(r.Count != INT32_MAX);
    r.Z.re = r.Z.re + e;
  }
  QVComplex w;
  double bias;
  double from;
  Remembered<Sine> sineU, sineV;
  FractalPixel r;
};

template <class F, int32_t D, int32_t O>
bool ScalarRow(const RowSetup& s, double pointIm, FractalPixel* out) {
  const Divergence<D> divergence(s);
  Output<O> output(s);
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
          return z.re * z.re + z.im * z.im > range || divergence.Diverged(j, z);
        },
        stopped);
    if (!finished) return false;
    out[col] = output.r;
  }
  return true;
}

struct ScalarKernels {
  template <class F, int32_t D, int32_t O>
  struct Kernel {
    static constexpr RowKernel Get() { return &ScalarRow<F, D, O>; }
  };
};

}  // namespace

RowKernel ScalarRowKernel(int32_t fractal, int32_t divergence, int32_t output) {
  return FindKernel<ScalarKernels>(fractal, divergence, output);
}

}  // namespace qv::kernel
