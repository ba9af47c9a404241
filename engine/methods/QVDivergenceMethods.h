#pragma once
// The extra stop tests of a generator, in list order. A generator owns one
// clone; Diverged only reads it, so the generator's workers share it. Of the
// "回数" slot only the real part counts: the number of steps left untested.
#include <cstdint>
#include <memory>

#include "engine/methods/QVMethod.h"

/// "ノルム": never stops; only the generator's range test applies.
class QVDivergenceMethod_Norm final : public QVDivergenceMethod {
 public:
  static constexpr int32_t KindIndex = 0;
  QVDivergenceMethod_Norm();
  std::unique_ptr<QVMethod> Clone() const override;
  bool Diverged(int32_t j, QVComplex z) const override;
};

/// "エプシロンクロス": stops once z lies strictly inside the strip |re| < w.re
/// or the strip |im| < w.im. Slots: "幅" w, "回数" n.
class QVDivergenceMethod_Stalks final : public QVDivergenceMethod {
 public:
  static constexpr int32_t KindIndex = 1;
  QVDivergenceMethod_Stalks();
  std::unique_ptr<QVMethod> Clone() const override;
  bool Diverged(int32_t j, QVComplex z) const override;
  QVComplex Width() const { return ParamValues[0]; }
  QVComplex Skip() const { return ParamValues[1]; }
};

/// "十字": stops once z lies strictly outside both strips |re| <= w.re and
/// |im| <= w.im. Slots: "幅" w, "回数" n.
class QVDivergenceMethod_Cross final : public QVDivergenceMethod {
 public:
  static constexpr int32_t KindIndex = 2;
  QVDivergenceMethod_Cross();
  std::unique_ptr<QVMethod> Clone() const override;
  bool Diverged(int32_t j, QVComplex z) const override;
  QVComplex Width() const { return ParamValues[0]; }
  QVComplex Skip() const { return ParamValues[1]; }
};
