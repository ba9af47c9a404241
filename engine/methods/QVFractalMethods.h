#pragma once
// The iteration formulas z -> z' of the fractal family, in list order. None has
// parameters; c and z0 come from the generator. Each Iterate reads only its
// arguments, so one object serves every worker of a pass. The formulas
// themselves are written once, in QVFormulas.h; a method class is the formula
// computed on one complex value at a time.
#include <cstdint>
#include <memory>

#include "engine/methods/QVFormulas.h"
#include "engine/methods/QVMethod.h"

/// The fractal method of formula F (a struct of QVFormulas.h).
template <class F>
class QVFormulaMethod final : public QVFractalMethod {
 public:
  using Formula = F;
  static constexpr int32_t KindIndex = qv::formula::KindOf<F>;
  static_assert(KindIndex >= 0, "the formula is missing from FractalFormulas");

  QVFormulaMethod() : QVFractalMethod(F::Name, KindIndex, {}, {}) {}
  std::unique_ptr<QVMethod> Clone() const override {
    return std::make_unique<QVFormulaMethod>(*this);
  }
  QVComplex Iterate(QVComplex z, QVComplex c) const override {
    return F::Step(qv::formula::ScalarArithmetic{}, z, c);
  }
};

using QVFractalMethod_Z2 = QVFormulaMethod<qv::formula::Z2>;
using QVFractalMethod_Z3 = QVFormulaMethod<qv::formula::Z3>;
using QVFractalMethod_Z = QVFormulaMethod<qv::formula::Z1>;
using QVFractalMethod_1divZ = QVFormulaMethod<qv::formula::InvZ1>;
using QVFractalMethod_1divZ2 = QVFormulaMethod<qv::formula::InvZ2>;
using QVFractalMethod_1divZ3 = QVFormulaMethod<qv::formula::InvZ3>;
using QVFractalMethod_1divZ2_plus_c = QVFormulaMethod<qv::formula::InvZ2Minus>;
