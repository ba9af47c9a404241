#pragma once
// The difference of a deep pixel while it is too small for doubles. At views
// finer than about 1e-150 the square of a pixel's difference d from the
// reference falls below the normal doubles, and below about 1e-300 d itself;
// yet the square decides pixels whose d lies across the reference's orbit
// (the pixels on the line through c = -2 along the imaginary axis, whose
// |z|^2 exceeds the range 4 by |d|^2 alone).
// While |d| < 2^FloorExponent the pixel keeps d = w * 2^k instead: w a double
// near 1 and k an integer exponent shared by both parts, renormalised when w
// drifts beyond 2^+-16. The step is the doubles' step written in w, with the
// terms of d that are squared scaled back by 2^k, so every term the doubles
// would lose stays a normal double. Once |d| >= 2^FloorExponent (then |d|^2
// is a normal double too) the pixel goes on in plain doubles.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/QVComplex.h"
#include "engine/deep/QVDeepApproximation.h"

namespace qv {

/// The step of a difference from the reference point Z, for the formula kinds
/// of DeepFormulaKind, written as a product with the difference so no two
/// large terms cancel; u is the difference and w the same difference in the
/// units of dc (u = w on the doubles' path, u = w 2^k while it is scaled):
///   z^2+C: (2Z + u) w + dc
///   z^3+C: (3Z^2 + (3Z + u) u) w + dc
///   z+C:   w + dc
inline QVComplex DifferenceStep(int32_t formula, QVComplex Z, QVComplex u, QVComplex w,
                                QVComplex dc) {
  switch (formula) {
    case 0:  // z^2+C
      return Add(Mul(Add(Add(Z, Z), u), w), dc);
    case 1: {  // z^3+C
      const QVComplex z3 = Add(Add(Z, Z), Z);
      const QVComplex zz = Mul(Z, Z);
      const QVComplex zz3 = Add(Add(zz, zz), zz);
      return Add(Mul(Add(zz3, Mul(Add(z3, u), u)), w), dc);
    }
    default:
      return Add(w, dc);
  }
}

class ScaledDifference {
 public:
  /// Differences below 2^FloorExponent are kept scaled: their squares lie
  /// below 2^-960, close to the smallest normal double (2^-1022).
  static constexpr int32_t FloorExponent = -480;
  /// The smallest exponent k: 2^k and 2^-k stay finite normal doubles.
  static constexpr int32_t MinExponent = -1022;

  /// Whether a pixel with difference d and offset dc needs the scaled form:
  /// the larger of their parts is not 0 and below 2^FloorExponent.
  static bool Needed(QVComplex d, QVComplex dc) {
    const double a =
        std::max({std::fabs(d.re), std::fabs(d.im), std::fabs(dc.re), std::fabs(dc.im)});
    return a > 0.0 && a < 0x1p-480;  // 2^FloorExponent
  }

  bool Active() const { return active_; }
  /// Starts the scaled form with difference d and offset dc.
  void Enter(QVComplex d, QVComplex dc);
  /// One step from the reference point Z; false when the difference has grown
  /// to 2^FloorExponent (Difference() then holds it in doubles, and the form
  /// is no longer active).
  bool Step(int32_t formula, QVComplex Z) {
    w_ = DifferenceStep(formula, Z, d_, w_, dcw_);
    d_ = {w_.re * scale_, w_.im * scale_};
    const double a = std::max(std::fabs(w_.re), std::fabs(w_.im));
    if (!(a >= 0x1p-16 && a <= 0x1p16)) Renormalise();
    return active_;
  }
  /// Takes the longest run of steps the table allows from reference index m
  /// (DeepApproximation::Skip in the units of 2^k); its step count, 0 when
  /// none holds. As after Step, the form may end.
  int32_t Skip(const DeepApproximation& table, size_t& m, int64_t most) {
    const int32_t l = table.Skip(m, w_, dcw_, most, inverse_);
    if (l > 0) {
      d_ = {w_.re * scale_, w_.im * scale_};
      const double a = std::max(std::fabs(w_.re), std::fabs(w_.im));
      if (!(a >= 0x1p-16 && a <= 0x1p16)) Renormalise();
    }
    return l;
  }
  /// The difference rounded to doubles (may lose bits as a subnormal).
  QVComplex Difference() const { return d_; }
  /// Whether the pixel z = Z + d is beyond the range, given the reference
  /// point's gap |Z|^2 - range: as DeepKernel::Escaped, divided by 2^k.
  bool Escaped(QVComplex Z, double gap, QVComplex z, double range) const {
    const double g = gap * inverse_ + (2.0 * (Z.re * w_.re + Z.im * w_.im) + Norm(w_) * scale_);
    if (std::isfinite(g)) return g > 0.0;
    return Norm(z) > range;  // beyond the doubles: as the plain loop sees it
  }
  /// Whether the pixel z = Z + d is closer to 0 than d (then it rebases).
  bool Closer(QVComplex Z) const { return Norm(Add(Divided(Z), w_)) < Norm(w_); }
  /// Rebases onto the orbit of 0: d becomes z = Z + d. Stays scaled while
  /// that is below 2^FloorExponent; otherwise leaves the form, and the caller
  /// goes on with z (the argument, Z + d in doubles).
  void Rebase(QVComplex Z);

 private:
  QVComplex Divided(QVComplex z) const { return {z.re * inverse_, z.im * inverse_}; }
  void Renormalise();
  void SetExponent(int32_t k);

  QVComplex w_{};    // the difference / 2^k
  QVComplex d_{};    // w_ * 2^k in doubles
  QVComplex dc_{};   // the pixel's offset of c
  QVComplex dcw_{};  // dc_ / 2^k
  int32_t k_ = 0;
  double scale_ = 1.0;    // 2^k
  double inverse_ = 1.0;  // 2^-k
  bool active_ = false;
};

}  // namespace qv
