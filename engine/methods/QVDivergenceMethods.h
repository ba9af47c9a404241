#pragma once
// The extra stop tests of a generator, in list order. A generator owns one
// clone; Diverged only reads it, so the generator's workers share it. Of the
// "回数" slot only the real part counts: the number of steps left untested.
// The tests themselves are written once, in QVDivergenceRules.h; a method
// class is the test applied to one complex value at a time.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/methods/QVDivergenceRules.h"
#include "engine/methods/QVMethod.h"

/// The divergence method of test D (a struct of QVDivergenceRules.h).
template <class D>
class QVDivergenceTestMethod final : public QVDivergenceMethod {
 public:
  using Test = D;
  static constexpr int32_t KindIndex = qv::IndexOf<D, qv::divergence::DivergenceTests>;
  static_assert(KindIndex >= 0, "the test is missing from DivergenceTests");

  QVDivergenceTestMethod()
      : QVDivergenceMethod(D::Name, KindIndex, qv::SlotLabels(D::Slots),
                           qv::SlotDefaults(D::Slots)) {}
  std::unique_ptr<QVMethod> Clone() const override {
    return std::make_unique<QVDivergenceTestMethod>(*this);
  }
  bool Diverged(int32_t j, QVComplex z) const override {
    return qv::divergence::Diverged<D>(j, z, ParamValues().data());
  }
};

using QVDivergenceMethod_Norm = QVDivergenceTestMethod<qv::divergence::Norm>;
using QVDivergenceMethod_Stalks = QVDivergenceTestMethod<qv::divergence::Stalks>;
using QVDivergenceMethod_Cross = QVDivergenceTestMethod<qv::divergence::Cross>;
