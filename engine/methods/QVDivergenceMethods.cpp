#include "engine/methods/QVDivergenceMethods.h"

#include <cmath>

QVDivergenceMethod_Norm::QVDivergenceMethod_Norm()
    : QVDivergenceMethod("ノルム", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVDivergenceMethod_Norm::Clone() const {
  return std::make_unique<QVDivergenceMethod_Norm>(*this);
}

bool QVDivergenceMethod_Norm::Diverged(int32_t, QVComplex) const { return false; }

QVDivergenceMethod_Stalks::QVDivergenceMethod_Stalks()
    : QVDivergenceMethod("エプシロンクロス", KindIndex, {"幅", "回数"}, {{0.01, 0.01}, {0, 0}}) {}

std::unique_ptr<QVMethod> QVDivergenceMethod_Stalks::Clone() const {
  return std::make_unique<QVDivergenceMethod_Stalks>(*this);
}

bool QVDivergenceMethod_Stalks::Diverged(int32_t j, QVComplex z) const {
  if (j <= Skip().re) return false;
  const QVComplex w = Width();
  if (w.re > std::fabs(z.re)) return true;
  if (w.im > std::fabs(z.im)) return true;
  return false;
}

QVDivergenceMethod_Cross::QVDivergenceMethod_Cross()
    : QVDivergenceMethod("十字", KindIndex, {"幅", "回数"}, {{0.6, 0.6}, {0, 0}}) {}

std::unique_ptr<QVMethod> QVDivergenceMethod_Cross::Clone() const {
  return std::make_unique<QVDivergenceMethod_Cross>(*this);
}

bool QVDivergenceMethod_Cross::Diverged(int32_t j, QVComplex z) const {
  if (j <= Skip().re) return false;
  const QVComplex w = Width();
  if (std::fabs(z.re) <= w.re) return false;
  if (std::fabs(z.im) <= w.im) return false;
  return true;
}
