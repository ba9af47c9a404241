#include "engine/deep/QVScaledDifference.h"

namespace qv {

namespace {

double Largest(QVComplex a, QVComplex b) {
  return std::max({std::fabs(a.re), std::fabs(a.im), std::fabs(b.re), std::fabs(b.im)});
}

QVComplex Ldexp(QVComplex z, int32_t e) { return {std::ldexp(z.re, e), std::ldexp(z.im, e)}; }

}  // namespace

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

void ScaledDifference::Rebase(QVComplex Z) {
  const QVComplex zw = Add(Divided(Z), w_);
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
