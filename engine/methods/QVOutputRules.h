#pragma once
// What a generator records per pixel, each output rule written once. A rule is
// a struct with its display name, its parameter slots (labels and defaults)
// and Walker<Fn>: the per-pixel walk, built from the slot values, then Start
// before the first step, Step(j, z) after every step (the final one included),
// and the record R. Fn<F> says how a function F of libm is called: directly
// (Direct, the method classes) or through a memory of recent results (the
// specialised scalar kernel); both give the same bits.
//
// OutputRules lists the rules in the family's list order: a rule's kind is its
// position. A new rule is a struct here and its list entry; the method class,
// the prototype list, the kernel tables and the names follow. The vector
// kernels record "終点" only (the other rules call libm at every step).
//
// Of the "開始回数" s and "バイアス" b slots only the real part counts; a step j
// takes part only when j >= s.re. Included by the kernel units, so everything
// with a body here is a template or is used only through one.
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "base/QVComplex.h"
#include "engine/QVField.h"
#include "engine/methods/QVRuleList.h"

namespace qv::output {

/// x raised to a fixed power k.
struct Power {
  double k;
  double operator()(double x) const { return std::pow(x, k); }
};

struct Sine {
  double operator()(double x) const { return std::sin(x); }
};

/// Calls F itself.
template <class F>
using Direct = F;

/// Count + 1, saturating: a count never exceeds the number of steps, an int32,
/// but a rule must not overflow whoever steps it.
template <typename Int>
Int Incremented(Int count) {
  return count < std::numeric_limits<Int>::max() ? count + 1 : count;
}

/// "終点": the last orbit value and the number of steps. Start clears both,
/// so a pixel with no step records (0, 0) and 0.
struct EndPoint {
  static constexpr const char* Name = "終点";
  static constexpr std::array<MethodSlot, 0> Slots{};
  template <template <class> class Fn>
  struct Walker {
    explicit Walker(const QVComplex*) {}
    void Start() { R = {{0.0, 0.0}, 0}; }
    void Step(int32_t j, QVComplex z) { R = {z, j}; }
    FractalPixel R;
  };
};

/// "球": the offset z - p of the orbit point closest to p (the first on a tie)
/// and its step; (0, 0) and 1 when no step takes part. Slots: "位置" p, "開始回数" s.
struct Ball {
  static constexpr const char* Name = "球";
  static constexpr std::array<MethodSlot, 2> Slots{{{"位置", {0, 0}}, {"開始回数", {0, 0}}}};
  template <template <class> class Fn>
  struct Walker {
    explicit Walker(const QVComplex* slot) : p(slot[0]), from(slot[1].re) {}
    void Start() {
      best = 1e100;
      R = {{0.0, 0.0}, 1};
    }
    void Step(int32_t j, QVComplex z) {
      if (!(j >= from)) return;
      const QVComplex d = Sub(z, p);
      const double dist = std::hypot(d.re, d.im);
      if (dist >= best) return;
      R = {d, j};
      best = dist;
    }
    QVComplex p;
    double from;
    double best = 1e100;  ///< The smallest distance so far.
    FractalPixel R;
  };
};

/// "差分累積": the sum of |z_j - z_(j-1)| per part, raised to the powers k.re
/// and k.im, over the counted steps, and their number. The first difference is
/// taken against (0, 0). Slots: "定数" k, "開始回数" s.
struct Trace {
  static constexpr const char* Name = "差分累積";
  static constexpr std::array<MethodSlot, 2> Slots{{{"定数", {0.5, 0.5}}, {"開始回数", {1, 0}}}};
  template <template <class> class Fn>
  struct Walker {
    explicit Walker(const QVComplex* slot)
        : powerRe(Power{slot[0].re}), powerIm(Power{slot[0].im}), from(slot[1].re) {}
    void Start() {
      previous = {0.0, 0.0};
      R = {{0.0, 0.0}, 0};
    }
    void Step(int32_t j, QVComplex z) {
      if (j >= from) {
        const double a = powerRe(std::fabs(z.re - previous.re));
        const double b = powerIm(std::fabs(z.im - previous.im));
        R.Z = Add(R.Z, {a, b});
        R.Count = Incremented(R.Count);
      }
      previous = z;
    }
    Fn<Power> powerRe, powerIm;
    double from;
    QVComplex previous;  ///< The orbit value of the step before, counted or not.
    FractalPixel R;
  };
};

/// "市松模様累積": the sum (in Z.re) of sin(re/w.re) * sin(im/w.im) + b.re over
/// the counted steps, and the number of those terms that are >= 0.
/// Slots: "幅" w, "バイアス" b, "開始回数" s.
struct TraceChecker {
  static constexpr const char* Name = "市松模様累積";
  static constexpr std::array<MethodSlot, 3> Slots{
      {{"幅", {0.1, 0.1}}, {"バイアス", {0, 0}}, {"開始回数", {0, 0}}}};
  template <template <class> class Fn>
  struct Walker {
    explicit Walker(const QVComplex* slot)
        : w(slot[0]), bias(slot[1].re), from(slot[2].re), sineU(Sine{}), sineV(Sine{}) {}
    void Start() { R = {{0.0, 0.0}, 0}; }
    void Step(int32_t j, QVComplex z) {
      if (!(j >= from)) return;
      const double u = z.re / w.re;
      const double v = z.im / w.im;
      const double e = sineU(u) * sineV(v) + bias;
      // The sign of e follows the checkerboard, which no branch predictor can
      // guess: count without a branch (saturating, as Incremented does).
      R.Count += static_cast<int32_t>(e >= 0.0) &
                 static_cast<int32_t>(R.Count != std::numeric_limits<int32_t>::max());
      R.Z.re = R.Z.re + e;
    }
    QVComplex w;
    double bias;
    double from;
    Fn<Sine> sineU, sineV;
    FractalPixel R;
  };
};

/// The output family's rules in list order.
using OutputRules = TypeList<EndPoint, Ball, Trace, TraceChecker>;

}  // namespace qv::output
