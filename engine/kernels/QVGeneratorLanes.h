#pragma once
// The vector generator kernel: the orbits of several pixels of one row iterate
// side by side, one pixel per vector lane, N vectors in flight so that the
// processor always has independent work while one step waits for the last.
// A lane whose orbit ends is written out and refilled at once with the row's
// next pixel; lanes left without a pixel at the end of the row idle, masked.
//
// Every lane computes exactly the plain loop's operations: the same products,
// sums and Smith quotients with one rounding each and in the same order. A
// branch of the scalar code becomes both sides computed and a per-lane blend.
// The formulas' guard needs the hypotenuse, which has no vector form: a lane
// whose larger part is at least the limit passes it (the modulus is never
// below the larger part, and hypot, faithfully rounded, keeps that since the
// larger part is a double); a lane whose both parts are well below it (the
// modulus is at most sqrt(2) times the larger part) takes the guard value;
// the rare lanes in between, and NaN, ask the scalar hypot.
//
// The step counter is shared: t counts the steps of the vectors and each lane
// remembers the t it started at. Run iterates without looking at the counts
// until some lane escapes or diverges, or until the next step at which a lane
// reaches its depth or has its divergence test switched on; the row loop then
// settles those lanes and schedules the next run.
//
// Included only by a kernel unit, after it has defined its vector operations V
// in an unnamed namespace: all code here is templates on V (the rest is
// compile-time constants), so each unit's instantiations have internal
// linkage and run only where its instruction set exists.
// V provides T, Lanes, Set, Zero, Load, Store, And, Or, AndNot (~a & b), Abs,
// the comparisons Gt, Ge, Lt (ordered) and NotLe (!(a <= b)), Blend (mask ?
// a : b) and Bits (the lanes' mask bits); +, -, *, / act on T lane by lane.
#include <bit>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "engine/kernels/QVGeneratorKernelSetup.h"
#include "engine/kernels/QVOrbitLoop.h"
#include "engine/methods/QVFormulas.h"

namespace qv::kernel::lanes {

inline constexpr double AllOnes = std::bit_cast<double>(~uint64_t{0});
// Below this larger part the modulus is surely below the guard limit:
// 7e-11 * sqrt(2) < 0.99e-10, far more than any rounding apart.
inline constexpr double SurelyGuarded = 7e-11;

// Vectors in flight: enough independent steps to cover the latency of one
// step (a chain of products and sums, or the long divisions of a quotient),
// few enough that the polynomial formulas' state stays in the 16 registers.
template <class F>
constexpr int Groups() {
  return F::Divides ? 4 : 3;
}

// The lanes' guard test: all-ones where the modulus is below the limit or
// NaN (the formula is then replaced by the guard value).
template <class V>
[[gnu::noinline]] typename V::T GuardedByHypot(typename V::T re, typename V::T im,
                                               typename V::T guarded, uint32_t ask) {
  alignas(64) double r[V::Lanes], i[V::Lanes], g[V::Lanes];
  V::Store(r, re);
  V::Store(i, im);
  V::Store(g, guarded);
  for (int lane = 0; lane < V::Lanes; ++lane) {
    if ((ask >> lane) & 1u) g[lane] = std::hypot(r[lane], i[lane]) >= GuardLimit ? 0.0 : AllOnes;
  }
  return V::Load(g);
}

template <class V>
typename V::T Guarded(typename V::T re, typename V::T im, typename V::T active) {
  using T = typename V::T;
  const T ar = V::Abs(re), ai = V::Abs(im);
  const T limit = V::Set(GuardLimit), sure = V::Set(SurelyGuarded);
  // A NaN part makes the modulus NaN (unless the other part is infinite): such
  // lanes pass only through hypot, however large their other part.
  const T ordered = V::And(V::Ge(ar, V::Zero()), V::Ge(ai, V::Zero()));
  const T passes = V::And(V::Or(V::Ge(ar, limit), V::Ge(ai, limit)), ordered);
  const T guarded = V::And(V::Lt(ar, sure), V::Lt(ai, sure));
  const uint32_t ask = V::Bits(V::AndNot(V::Or(passes, guarded), active));
  if (ask) return GuardedByHypot<V>(re, im, guarded, ask);
  return guarded;
}

// Smith's quotient (1, 0) / (br, bi). Both branches share the shape: with p
// the part of larger magnitude (the second branch on a tie or NaN) and q the
// other, r = q / p and d = p * (r * r + 1); the numerators differ and are
// blended before the two last divisions.
template <class V>
void Reciprocal(typename V::T br, typename V::T bi, typename V::T& re, typename V::T& im) {
  using T = typename V::T;
  const T one = V::Set(1.0), zero = V::Zero();
  const T first = V::Gt(V::Abs(br), V::Abs(bi));
  const T p = V::Blend(first, br, bi);
  const T r = V::Blend(first, bi, br) / p;
  const T d = p * (r * r + one);
  const T rTimesZero = r * zero;
  // First branch: (1 + r * 0) / d and (0 - r * 1) / d.
  // Second branch: (1 * r + 0) / d and (r * 0 - 1) / d.
  re = V::Blend(first, one + rTimesZero, r + zero) / d;
  im = V::Blend(first, zero - r, rTimesZero - one) / d;
}

// The formulas' arithmetic on vectors of lanes (QVFormulas.h): the same
// operations as ScalarArithmetic, lane by lane. An orbit point carries the
// squares of its parts from the range test of the step before, so a formula
// that starts with z * z does not multiply them again. active marks the lanes
// that hold a pixel (only those may ask hypot).
template <class V>
struct LaneArithmetic {
  using T = typename V::T;
  struct Value {
    T re, im;
  };
  struct Orbit : Value {
    T re2, im2;
  };
  T active;

  static Value Add(const Value& a, const Value& b) { return {a.re + b.re, a.im + b.im}; }
  static Value Sub(const Value& a, const Value& b) { return {a.re - b.re, a.im - b.im}; }
  static Value Mul(const Value& a, const Value& b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + b.re * a.im};
  }
  static Value Square(const Value& z) { return Mul(z, z); }
  static Value Square(const Orbit& z) { return {z.re2 - z.im2, z.re * z.im + z.re * z.im}; }
  static Value Reciprocal(const Value& w) {
    Value r;
    lanes::Reciprocal<V>(w.re, w.im, r.re, r.im);
    return r;
  }
  Value Guarded(const Value& g, const Value& v) const {
    const T guarded = lanes::Guarded<V>(g.re, g.im, active);
    return {V::Blend(guarded, V::Set(GuardValue), v.re),
            V::Blend(guarded, V::Set(GuardValue), v.im)};
  }

  // The divergence tests' truths: all-ones lanes for true.
  using Mask = T;
  static T Abs(T x) { return V::Abs(x); }
  static T Gt(T a, T b) { return V::Gt(a, b); }
  static T NotLe(T a, T b) { return V::NotLe(a, b); }
  static T Or(T a, T b) { return V::Or(a, b); }
  static T And(T a, T b) { return V::And(a, b); }
  static T None() { return V::Zero(); }
};

// The pixels in flight, lane by lane (vector g holds lanes g * V::Lanes ...).
template <class V, int N>
struct LaneState {
  static constexpr int Count = V::Lanes * N;
  alignas(64) double zr[Count], zi[Count], zr2[Count], zi2[Count], cr[Count], ci[Count];
  alignas(64) double active[Count];   // all-ones while the lane holds a pixel
  alignas(64) double enabled[Count];  // all-ones while its divergence test applies
  int32_t col[Count];                 // the lane's pixel, -1 when idle
  int64_t start[Count];               // the step count t at which the pixel started
};

// Iterates every lane up to maxSteps (>= 1) steps; stops after the first step
// at which an active lane escapes or diverges, with those lanes in hits.
// Returns the number of steps done.
template <class V, class F, class D, int N>
int64_t Run(LaneState<V, N>& st, const RowSetup& s, int64_t maxSteps, uint32_t& hits) {
  using T = typename V::T;
  constexpr int L = V::Lanes;
  T zr[N], zi[N], zr2[N], zi2[N];
#pragma GCC unroll 8
  for (int g = 0; g < N; ++g) {
    zr[g] = V::Load(st.zr + g * L);
    zi[g] = V::Load(st.zi + g * L);
    zr2[g] = V::Load(st.zr2 + g * L);
    zi2[g] = V::Load(st.zi2 + g * L);
  }
  const T range = V::Set(s.Range);
  typename LaneArithmetic<V>::Value slot[MaxMethodSlots];
  for (int i = 0; i < MaxMethodSlots; ++i) {
    slot[i] = {V::Set(s.DivergenceSlots[i].re), V::Set(s.DivergenceSlots[i].im)};
  }
  int64_t k = 0;
  hits = 0;
  while (k < maxSteps) {
    T stop[N];
    T any = V::Zero();
#pragma GCC unroll 8
    for (int g = 0; g < N; ++g) {
      const LaneArithmetic<V> a{V::Load(st.active + g * L)};
      const typename LaneArithmetic<V>::Value next = F::Step(
          a, {{zr[g], zi[g]}, zr2[g], zi2[g]}, {V::Load(st.cr + g * L), V::Load(st.ci + g * L)});
      zr[g] = next.re;
      zi[g] = next.im;
      const T active = a.active;
      zr2[g] = zr[g] * zr[g];
      zi2[g] = zi[g] * zi[g];
      stop[g] = V::And(V::Gt(zr2[g] + zi2[g], range), active);
      if constexpr (D::Stops) {
        const T enabled = V::Load(st.enabled + g * L);
        stop[g] = V::Or(stop[g], V::And(D::Test(a, next, slot), enabled));
      }
      any = V::Or(any, stop[g]);
    }
    ++k;
    if (V::Bits(any)) {
#pragma GCC unroll 8
      for (int g = 0; g < N; ++g) hits |= V::Bits(stop[g]) << (g * L);
      break;
    }
  }
#pragma GCC unroll 8
  for (int g = 0; g < N; ++g) {
    V::Store(st.zr + g * L, zr[g]);
    V::Store(st.zi + g * L, zi[g]);
    V::Store(st.zr2 + g * L, zr2[g]);
    V::Store(st.zi2 + g * L, zi2[g]);
  }
  return k;
}

// Computes one row with "終点" as the output: each pixel records its last z
// and its number of steps. Requires s.Depth >= 1.
template <class V, class F, class D, int N>
class LaneRow {
 public:
  static bool Compute(const RowSetup& s, double pointIm, FractalPixel* out) {
    LaneRow row(s, pointIm, out);
    return row.Loop();
  }

 private:
  static constexpr int Count = LaneState<V, N>::Count;
  static constexpr int64_t Never = INT64_MAX;

  LaneRow(const RowSetup& s, double pointIm, FractalPixel* out)
      : s_(s), pointIm_(pointIm), out_(out), minDue_(s.Depth) {
    for (int i = 0; i < Count; ++i) Fill(i);
  }

  // Returns false when the row was given up because the pass was stopped:
  // every StopCheckSteps steps the runs end so that the stop is looked at.
  bool Loop() {
    uint32_t hits = 0;
    int64_t nextCheck = StopCheckSteps;
    while (live_ > 0) {
      Settle(hits);
      if (live_ == 0) break;
      if (t_ >= nextCheck) {
        if (s_.Stopped()) return false;
        nextCheck = t_ + StopCheckSteps;
      }
      int64_t next = minDue_ < nextSwitch_ ? minDue_ : nextSwitch_;
      if (nextCheck < next) next = nextCheck;
      t_ += Run<V, F, D, N>(st_, s_, next - t_, hits);
    }
    return true;
  }

  // Writes out the lanes whose orbit ended at step t_ (those in hits and those
  // at their depth) and refills them; then switches on the divergence tests
  // that apply from the next step. Keeps minDue_ and nextSwitch_ at or before
  // the next such event (a lane that left early only makes a needless stop).
  void Settle(uint32_t hits) {
    uint32_t ended = hits;
    const bool atDepth = t_ >= minDue_;
    if (atDepth) {
      for (int i = 0; i < Count; ++i) {
        if (st_.col[i] >= 0 && t_ - st_.start[i] == s_.Depth) ended |= 1u << i;
      }
    }
    for (; ended; ended &= ended - 1) {
      const int i = __builtin_ctz(ended);
      out_[st_.col[i]] = {{st_.zr[i], st_.zi[i]}, static_cast<int32_t>(t_ - st_.start[i])};
      --live_;
      Fill(i);
    }
    if (atDepth) {
      minDue_ = Never;
      for (int i = 0; i < Count; ++i) {
        if (st_.col[i] >= 0 && st_.start[i] + s_.Depth < minDue_) minDue_ = st_.start[i] + s_.Depth;
      }
    }
    if constexpr (D::Stops) {
      if (t_ >= nextSwitch_) SwitchTests();
    }
  }

  // The divergence test of a lane applies to its steps j > SkippedSteps, that
  // is, once t_ >= start + SkippedSteps before the step.
  void SwitchTests() {
    nextSwitch_ = Never;
    for (int i = 0; i < Count; ++i) {
      if (st_.col[i] < 0) continue;
      const int64_t on = st_.start[i] + s_.SkippedSteps;
      st_.enabled[i] = t_ >= on ? AllOnes : 0.0;
      if (t_ < on && on < nextSwitch_) nextSwitch_ = on;
    }
  }

  // Gives lane i the row's next pixel, or makes it idle (z = c = 0).
  void Fill(int i) {
    double zr = 0.0, zi = 0.0, cr = 0.0, ci = 0.0;
    st_.enabled[i] = 0.0;
    if (next_ < s_.Width) {
      st_.col[i] = next_;
      const double pr = s_.ColumnRe[next_++];
      if (s_.Julia) {
        zr = pr, zi = pointIm_, cr = s_.Constant.re, ci = s_.Constant.im;
      } else {
        zr = s_.Constant.re, zi = s_.Constant.im, cr = pr, ci = pointIm_;
      }
      st_.active[i] = AllOnes;
      st_.start[i] = t_;
      ++live_;
      if (D::Stops && s_.SkippedSteps == 0) {
        st_.enabled[i] = AllOnes;
      } else if (D::Stops && t_ + s_.SkippedSteps < nextSwitch_) {
        nextSwitch_ = t_ + s_.SkippedSteps;
      }
    } else {
      st_.col[i] = -1;
      st_.active[i] = 0.0;
    }
    st_.zr[i] = zr, st_.zi[i] = zi, st_.cr[i] = cr, st_.ci[i] = ci;
    st_.zr2[i] = zr * zr, st_.zi2[i] = zi * zi;
  }

  const RowSetup& s_;
  const double pointIm_;
  FractalPixel* const out_;
  LaneState<V, N> st_;
  int32_t next_ = 0;            // the row's next pixel without a lane
  int live_ = 0;                // lanes holding a pixel
  int64_t t_ = 0;               // steps done by the vectors
  int64_t minDue_;              // no lane reaches its depth before t_ == minDue_
  int64_t nextSwitch_ = Never;  // no divergence test switches on before
};

// The vector row functions of V for FindKernel: "終点" only (the other
// outputs call libm at every step and have no vector form).
template <class V>
struct Kernels {
  template <class F, class D, class O>
  struct Kernel {
    static constexpr RowKernel Get() {
      if constexpr (std::is_same_v<O, output::EndPoint>) {
        return &LaneRow<V, F, D, Groups<F>()>::Compute;
      }
      return nullptr;
    }
  };
};

}  // namespace qv::kernel::lanes
