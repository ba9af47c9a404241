#pragma once
// The divergence tests of a generator, each written once. A test is a struct
// with its display name, its parameter slots (labels and defaults), SkipSlot
// (the slot whose real part n leaves the steps j <= n untested; -1: every step
// is tested), Stops (false: the test never stops an orbit, and the loops leave
// it out) and Test(a, z, slot): whether z stops the orbit, in the arithmetic a
// of QVFormulas.h (one value, or vector lanes with a per-lane truth). The same
// definition serves the method classes, the specialised scalar kernel and the
// vector kernels.
//
// DivergenceTests lists the tests in the family's list order: a test's kind is
// its position. A new test is a struct here and its list entry; the method
// class, the prototype list, the kernel tables and the names follow.
#include <array>
#include <cstdint>

#include "base/QVComplex.h"
#include "engine/methods/QVFormulas.h"
#include "engine/methods/QVRuleList.h"

namespace qv::divergence {

/// "ノルム": never stops; only the generator's range test applies.
struct Norm {
  static constexpr const char* Name = "ノルム";
  static constexpr std::array<MethodSlot, 0> Slots{};
  static constexpr int32_t SkipSlot = -1;
  static constexpr bool Stops = false;
  template <class A>
  static typename A::Mask Test(const A& a, const typename A::Value&, const typename A::Value*) {
    return a.None();
  }
};

/// "エプシロンクロス": stops once z lies strictly inside the strip |re| < w.re
/// or the strip |im| < w.im. Slots: "幅" w, "回数" n.
struct Stalks {
  static constexpr const char* Name = "エプシロンクロス";
  static constexpr std::array<MethodSlot, 2> Slots{{{"幅", {0.01, 0.01}}, {"回数", {0, 0}}}};
  static constexpr int32_t SkipSlot = 1;
  static constexpr bool Stops = true;
  template <class A>
  static typename A::Mask Test(const A& a, const typename A::Value& z,
                               const typename A::Value* slot) {
    const typename A::Value& w = slot[0];
    return a.Or(a.Gt(w.re, a.Abs(z.re)), a.Gt(w.im, a.Abs(z.im)));
  }
};

/// "十字": stops once z lies strictly outside both strips |re| <= w.re and
/// |im| <= w.im (a NaN part lies outside). Slots: "幅" w, "回数" n.
struct Cross {
  static constexpr const char* Name = "十字";
  static constexpr std::array<MethodSlot, 2> Slots{{{"幅", {0.6, 0.6}}, {"回数", {0, 0}}}};
  static constexpr int32_t SkipSlot = 1;
  static constexpr bool Stops = true;
  template <class A>
  static typename A::Mask Test(const A& a, const typename A::Value& z,
                               const typename A::Value* slot) {
    const typename A::Value& w = slot[0];
    return a.And(a.NotLe(a.Abs(z.re), w.re), a.NotLe(a.Abs(z.im), w.im));
  }
};

/// The divergence family's tests in list order.
using DivergenceTests = TypeList<Norm, Stalks, Cross>;

/// Whether test D stops the orbit after step j at z, one value at a time
/// (slot: the method's slot values).
template <class D>
bool Diverged(int32_t j, QVComplex z, const QVComplex* slot) {
  if constexpr (!D::Stops) {
    return false;
  } else {
    if constexpr (D::SkipSlot >= 0) {
      if (j <= slot[D::SkipSlot].re) return false;
    }
    return D::Test(formula::ScalarArithmetic{}, z, slot);
  }
}

/// Per kind: the slot of the untested steps, -1 for none.
template <class... D>
constexpr std::array<int32_t, sizeof...(D)> SkipSlots(TypeList<D...>) {
  return {D::SkipSlot...};
}

}  // namespace qv::divergence
