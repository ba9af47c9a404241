#include "engine/methods/QVFractalMethods.h"

namespace {

constexpr QVComplex GuardResult{qv::GuardValue, qv::GuardValue};

bool Guarded(QVComplex z) { return !(qv::Abs(z) >= qv::GuardLimit); }

}  // namespace

QVFractalMethod_Z2::QVFractalMethod_Z2() : QVFractalMethod("z^2+C", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVFractalMethod_Z2::Clone() const {
  return std::make_unique<QVFractalMethod_Z2>(*this);
}

QVComplex QVFractalMethod_Z2::Iterate(QVComplex z, QVComplex c) const {
  return qv::Add(qv::Mul(z, z), c);
}

QVFractalMethod_Z3::QVFractalMethod_Z3() : QVFractalMethod("z^3+C", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVFractalMethod_Z3::Clone() const {
  return std::make_unique<QVFractalMethod_Z3>(*this);
}

QVComplex QVFractalMethod_Z3::Iterate(QVComplex z, QVComplex c) const {
  return qv::Add(qv::Mul(qv::Mul(z, z), z), c);
}

QVFractalMethod_Z::QVFractalMethod_Z() : QVFractalMethod("z+C", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVFractalMethod_Z::Clone() const {
  return std::make_unique<QVFractalMethod_Z>(*this);
}

QVComplex QVFractalMethod_Z::Iterate(QVComplex z, QVComplex c) const { return qv::Add(z, c); }

QVFractalMethod_1divZ::QVFractalMethod_1divZ() : QVFractalMethod("z^-1+C", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVFractalMethod_1divZ::Clone() const {
  return std::make_unique<QVFractalMethod_1divZ>(*this);
}

QVComplex QVFractalMethod_1divZ::Iterate(QVComplex z, QVComplex c) const {
  if (Guarded(z)) return GuardResult;
  return qv::Add(qv::Reciprocal(z), c);
}

QVFractalMethod_1divZ2::QVFractalMethod_1divZ2() : QVFractalMethod("z^-2+C", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVFractalMethod_1divZ2::Clone() const {
  return std::make_unique<QVFractalMethod_1divZ2>(*this);
}

QVComplex QVFractalMethod_1divZ2::Iterate(QVComplex z, QVComplex c) const {
  if (Guarded(z)) return GuardResult;
  return qv::Add(qv::Reciprocal(qv::Mul(z, z)), c);
}

QVFractalMethod_1divZ3::QVFractalMethod_1divZ3() : QVFractalMethod("z^-3+C", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVFractalMethod_1divZ3::Clone() const {
  return std::make_unique<QVFractalMethod_1divZ3>(*this);
}

QVComplex QVFractalMethod_1divZ3::Iterate(QVComplex z, QVComplex c) const {
  if (Guarded(z)) return GuardResult;
  return qv::Add(qv::Reciprocal(qv::Mul(qv::Mul(z, z), z)), c);
}

QVFractalMethod_1divZ2_plus_c::QVFractalMethod_1divZ2_plus_c()
    : QVFractalMethod("z^-2-z^2", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVFractalMethod_1divZ2_plus_c::Clone() const {
  return std::make_unique<QVFractalMethod_1divZ2_plus_c>(*this);
}

QVComplex QVFractalMethod_1divZ2_plus_c::Iterate(QVComplex z, QVComplex c) const {
  const QVComplex w = qv::Add(qv::Mul(z, z), c);
  if (Guarded(w)) return GuardResult;
  return qv::Add(qv::Sub(qv::Reciprocal(w), w), c);
}
