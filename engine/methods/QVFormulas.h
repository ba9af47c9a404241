#pragma once
// The iteration formulas z -> z' of the fractal family, each written once.
// A formula is a struct with its display name, whether it divides (a hint
// for the vector kernel's scheduling) and Step(a, z, c): the formula in the
// arithmetic a. The same definition serves the fractal method classes and
// the specialised scalar kernel (ScalarArithmetic: one complex at a time) and
// the vector kernel (an arithmetic of vector lanes, where a branch becomes
// both sides and a per-lane blend), so every level performs exactly the same
// operations, one rounding each, in the same order.
//
// An arithmetic A provides the types A::Value (a complex) and A::Orbit (an
// orbit point, convertible to Value; it may carry the squares of its parts
// from the range test of the step before) and the operations Add, Sub, Mul
// (the textbook product), Square (z * z by the same operations as Mul(z, z)),
// Reciprocal (Smith's (1, 0) / w) and Guarded(g, v): v where |g| >= GuardLimit,
// else (GuardValue, GuardValue). A vector arithmetic must be a type with
// internal linkage (see QVGeneratorLanes.h), so that its instantiations stay
// in the unit compiled for its instruction set.
//
// For the stop tests of QVDivergenceRules.h an arithmetic also provides
// A::Mask (a truth per value) and the operations on the parts of a value:
// Abs, Gt (a > b), NotLe (!(a <= b), so true for NaN), Or, And and None (false).
//
// FractalFormulas lists the formulas in the family's list order: a formula's
// kind is its position. A new formula is a struct here and its list entry;
// the method class, the prototype list and the kernels follow from the list.
#include <cmath>
#include <cstdint>

#include "base/QVComplex.h"
#include "engine/methods/QVRuleList.h"

namespace qv {

/// The numeric guard of the formulas: a modulus below GuardLimit is never
/// divided by, and GuardValue (in each part) stands in for the result.
inline constexpr double GuardLimit = 1e-10;
inline constexpr double GuardValue = 1e10;

namespace formula {

/// "z^2+C": z*z + c.
struct Z2 {
  static constexpr const char* Name = "z^2+C";
  static constexpr bool Divides = false;
  template <class A>
  static typename A::Value Step(const A& a, const typename A::Orbit& z,
                                const typename A::Value& c) {
    return a.Add(a.Square(z), c);
  }
};

/// "z^3+C": (z*z)*z + c.
struct Z3 {
  static constexpr const char* Name = "z^3+C";
  static constexpr bool Divides = false;
  template <class A>
  static typename A::Value Step(const A& a, const typename A::Orbit& z,
                                const typename A::Value& c) {
    return a.Add(a.Mul(a.Square(z), z), c);
  }
};

/// "z+C": z + c.
struct Z1 {
  static constexpr const char* Name = "z+C";
  static constexpr bool Divides = false;
  template <class A>
  static typename A::Value Step(const A& a, const typename A::Orbit& z,
                                const typename A::Value& c) {
    return a.Add(z, c);
  }
};

/// "z^-1+C": 1/z + c, guarded on |z|.
struct InvZ1 {
  static constexpr const char* Name = "z^-1+C";
  static constexpr bool Divides = true;
  template <class A>
  static typename A::Value Step(const A& a, const typename A::Orbit& z,
                                const typename A::Value& c) {
    return a.Guarded(z, a.Add(a.Reciprocal(z), c));
  }
};

/// "z^-2+C": 1/(z*z) + c, guarded on |z| (not on |z*z|).
struct InvZ2 {
  static constexpr const char* Name = "z^-2+C";
  static constexpr bool Divides = true;
  template <class A>
  static typename A::Value Step(const A& a, const typename A::Orbit& z,
                                const typename A::Value& c) {
    return a.Guarded(z, a.Add(a.Reciprocal(a.Square(z)), c));
  }
};

/// "z^-3+C": 1/((z*z)*z) + c, guarded on |z|.
struct InvZ3 {
  static constexpr const char* Name = "z^-3+C";
  static constexpr bool Divides = true;
  template <class A>
  static typename A::Value Step(const A& a, const typename A::Orbit& z,
                                const typename A::Value& c) {
    return a.Guarded(z, a.Add(a.Reciprocal(a.Mul(a.Square(z), z)), c));
  }
};

/// "z^-2-z^2": w = z*z + c, then (1/w - w) + c in that order, guarded on |w|.
struct InvZ2Minus {
  static constexpr const char* Name = "z^-2-z^2";
  static constexpr bool Divides = true;
  template <class A>
  static typename A::Value Step(const A& a, const typename A::Orbit& z,
                                const typename A::Value& c) {
    const typename A::Value w = a.Add(a.Square(z), c);
    return a.Guarded(w, a.Add(a.Sub(a.Reciprocal(w), w), c));
  }
};

/// The fractal family's formulas in list order.
using FractalFormulas = TypeList<Z2, Z3, Z1, InvZ1, InvZ2, InvZ3, InvZ2Minus>;

/// The formula of kind I (a compile error for a kind out of the list).
template <int32_t I>
using At = TypeAt<I, FractalFormulas>;

/// The kind of formula F: its position in FractalFormulas.
template <class F>
inline constexpr int32_t KindOf = IndexOf<F, FractalFormulas>;

/// One complex value at a time, as the plain loop computes it.
struct ScalarArithmetic {
  using Value = QVComplex;
  using Orbit = QVComplex;
  static QVComplex Add(QVComplex a, QVComplex b) { return qv::Add(a, b); }
  static QVComplex Sub(QVComplex a, QVComplex b) { return qv::Sub(a, b); }
  static QVComplex Mul(QVComplex a, QVComplex b) { return qv::Mul(a, b); }
  static QVComplex Square(QVComplex z) { return qv::Mul(z, z); }
  static QVComplex Reciprocal(QVComplex w) { return qv::Reciprocal(w); }
  static QVComplex Guarded(QVComplex g, QVComplex v) {
    return qv::Abs(g) >= GuardLimit ? v : QVComplex{GuardValue, GuardValue};
  }

  using Mask = bool;
  static double Abs(double x) { return std::fabs(x); }
  static bool Gt(double a, double b) { return a > b; }
  static bool NotLe(double a, double b) { return !(a <= b); }
  static bool Or(bool a, bool b) { return a || b; }
  static bool And(bool a, bool b) { return a && b; }
  static bool None() { return false; }
};

}  // namespace formula
}  // namespace qv
