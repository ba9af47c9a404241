#include "engine/deep/QVScaledDifference.h"

#include "engine/deep/QVDeepKernel.h"

namespace qv {

namespace {

double Norm(QVComplex z) { return z.re * z.re + z.im * z.im; }

double Largest(QVComplex a, QVComplex b) {
  return std::max({std::fabs(a.re), std::fabs(a.im), std::fabs(b.re), std::fabs(b.im)});
}

QVComplex Ldexp(QVComplex z, int32_t e) { return {std::ldexp(z.re, e), std::ldexp(z.im, e)}; }

}  // namespace

QVComplex DifferenceStep(int32_t formula, QVComplex Z, QVComplex u, QVComplex w, QVComplex dc) {
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

bool ScaledDifference::Needed(QVComplex d, QVComplex dc) {
  const double a = Largest(d, dc);
  return a > 0.0 && a < std::ldexp(1.0, FloorExponent);
}

void ScaledDifference::Enter(QVComplex d, QVComplex dc) {
  dc_ = dc;
  SetExponent(std::max(std::ilogb(Largest(d, dc)), MinExponent));
  w_ = Ldexp(d, -k_);
  d_ = d;
  active_ = true;
}

void ScaledDifference::SetExponent(int32_t k) {
  k_ = k;
  scale_ = std::ldexp(1.0, k);
  inverse_ = std::ldexp(1.0, -k);
  dcw_ = Ldexp(dc_, -k);
}

void ScaledDifference::Renormalise() {
  const double a = std::max(std::fabs(w_.re), std::fabs(w_.im));
  if (a == 0.0) return;  // d = 0 exactly: the next step gives dc
  const int32_t k = std::max(k_ + std::ilogb(a), MinExponent);
  if (k >= FloorExponent) {
    active_ = false;  // d_ holds the difference, now a normal double with a normal square
    return;
  }
  w_ = Ldexp(w_, k_ - k);
  SetExponent(k);
  d_ = {w_.re * scale_, w_.im * scale_};
}

bool ScaledDifference::Escaped(const ReferencePoint& r, QVComplex z, double range) const {
  // (|Z|^2 - range) + (2 Z.d + |d|^2) > 0, divided by 2^k.
  const double gap =
      r.Gap * inverse_ + (2.0 * (r.Z.re * w_.re + r.Z.im * w_.im) + Norm(w_) * scale_);
  if (std::isfinite(gap)) return gap > 0.0;
  return Norm(z) > range;  // beyond the doubles: as the plain loop sees it
}

bool ScaledDifference::Closer(QVComplex Z) const {
  const QVComplex zw = Add({Z.re * inverse_, Z.im * inverse_}, w_);
  return Norm(zw) < Norm(w_);
}

void ScaledDifference::Rebase(QVComplex Z) {
  const QVComplex zw = Add({Z.re * inverse_, Z.im * inverse_}, w_);
  const double a = std::max(std::fabs(zw.re), std::fabs(zw.im));
  if (!(a < std::ldexp(1.0, FloorExponent - k_))) {
    active_ = false;  // z is large enough for doubles (or beyond them)
    return;
  }
  w_ = zw;
  d_ = {w_.re * scale_, w_.im * scale_};
  Renormalise();
}

}  // namespace qv
