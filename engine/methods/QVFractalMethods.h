#pragma once
// The iteration formulas z -> z' of the fractal family, in list order. None has
// parameters; c and z0 come from the generator. Each Iterate reads only its
// arguments, so one object serves every worker of a pass. The inverse powers
// return the guard value (GuardValue, GuardValue) instead of dividing by a
// modulus below GuardLimit.
#include <cstdint>
#include <memory>

#include "engine/methods/QVMethod.h"

/// "z^2+C": z*z + c.
class QVFractalMethod_Z2 final : public QVFractalMethod {
 public:
  static constexpr int32_t KindIndex = 0;
  QVFractalMethod_Z2();
  std::unique_ptr<QVMethod> Clone() const override;
  QVComplex Iterate(QVComplex z, QVComplex c) const override;
};

/// "z^3+C": (z*z)*z + c.
class QVFractalMethod_Z3 final : public QVFractalMethod {
 public:
  static constexpr int32_t KindIndex = 1;
  QVFractalMethod_Z3();
  std::unique_ptr<QVMethod> Clone() const override;
  QVComplex Iterate(QVComplex z, QVComplex c) const override;
};

/// "z+C": z + c.
class QVFractalMethod_Z final : public QVFractalMethod {
 public:
  static constexpr int32_t KindIndex = 2;
  QVFractalMethod_Z();
  std::unique_ptr<QVMethod> Clone() const override;
  QVComplex Iterate(QVComplex z, QVComplex c) const override;
};

/// "z^-1+C": 1/z + c, guarded on |z|.
class QVFractalMethod_1divZ final : public QVFractalMethod {
 public:
  static constexpr int32_t KindIndex = 3;
  QVFractalMethod_1divZ();
  std::unique_ptr<QVMethod> Clone() const override;
  QVComplex Iterate(QVComplex z, QVComplex c) const override;
};

/// "z^-2+C": 1/(z*z) + c, guarded on |z| (not on |z*z|).
class QVFractalMethod_1divZ2 final : public QVFractalMethod {
 public:
  static constexpr int32_t KindIndex = 4;
  QVFractalMethod_1divZ2();
  std::unique_ptr<QVMethod> Clone() const override;
  QVComplex Iterate(QVComplex z, QVComplex c) const override;
};

/// "z^-3+C": 1/((z*z)*z) + c, guarded on |z|.
class QVFractalMethod_1divZ3 final : public QVFractalMethod {
 public:
  static constexpr int32_t KindIndex = 5;
  QVFractalMethod_1divZ3();
  std::unique_ptr<QVMethod> Clone() const override;
  QVComplex Iterate(QVComplex z, QVComplex c) const override;
};

/// "z^-2-z^2": w = z*z + c, then (1/w - w) + c in that order, guarded on |w|.
class QVFractalMethod_1divZ2_plus_c final : public QVFractalMethod {
 public:
  static constexpr int32_t KindIndex = 6;
  QVFractalMethod_1divZ2_plus_c();
  std::unique_ptr<QVMethod> Clone() const override;
  QVComplex Iterate(QVComplex z, QVComplex c) const override;
};
