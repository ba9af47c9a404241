#pragma once
// How an effector turns one recorded pixel (Count, Z) into the number it
// colours, in list order. An effector owns one clone; Value only reads it, so
// the effector's workers share it. The centred methods measure d = z - m from
// their "中心点" m; of "定数" K and "ループサイズ" L only the real part counts.
#include <cstdint>
#include <memory>

#include "engine/methods/QVMethod.h"

/// "回数": count / (K.re + count); the largest double when count + trunc(K.re) is 0.
class QVRenderingMethod_Count final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 0;
  QVRenderingMethod_Count();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
  QVComplex Constant() const { return ParamValues[0]; }
};

/// "回数0": the count itself.
class QVRenderingMethod_Count0 final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 1;
  QVRenderingMethod_Count0();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
};

/// "実部": z.re.
class QVRenderingMethod_REAL final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 2;
  QVRenderingMethod_REAL();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
};

/// "虚部": z.im.
class QVRenderingMethod_IMAG final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 3;
  QVRenderingMethod_IMAG();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
};

/// "実数虚数比": d.re / d.im, or d.re * GuardValue when |d.im| < GuardLimit.
class QVRenderingMethod_RATE final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 4;
  QVRenderingMethod_RATE();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
  QVComplex Centre() const { return ParamValues[0]; }
};

/// "実数虚数積": d.re * d.im.
class QVRenderingMethod_MULTIPL final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 5;
  QVRenderingMethod_MULTIPL();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
  QVComplex Centre() const { return ParamValues[0]; }
};

/// "大きさ": |d|.
class QVRenderingMethod_ABS final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 6;
  QVRenderingMethod_ABS();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
  QVComplex Centre() const { return ParamValues[0]; }
};

/// "角度": the angle of d in degrees, in (-180, 180]; 0 at d = (0, 0).
class QVRenderingMethod_ARG final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 7;
  QVRenderingMethod_ARG();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
  QVComplex Centre() const { return ParamValues[0]; }
};

/// "回数(ループ)": count % trunc(L.re) with the sign of count; the count itself
/// when trunc(L.re) is 0.
class QVRenderingMethod_CountLoop final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 8;
  QVRenderingMethod_CountLoop();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
  QVComplex LoopSize() const { return ParamValues[0]; }
};

/// "十字": of z.re / w.re and z.im / w.im the one nearer 0 (the imaginary one
/// on a tie); a zero part of w leaves only the other, both zero give 0.
class QVRenderingMethod_Cross final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 9;
  QVRenderingMethod_Cross();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
  QVComplex Width() const { return ParamValues[0]; }
};

/// "log(大きさ)": ln |d|, with |d| raised to at least GuardLimit.
class QVRenderingMethod_LOG_ABS final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 10;
  QVRenderingMethod_LOG_ABS();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
  QVComplex Centre() const { return ParamValues[0]; }
};

/// "log(log(大きさ))": ln ln |d|, each logarithm's argument raised to at least GuardLimit.
class QVRenderingMethod_LOG_LOG_ABS final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 11;
  QVRenderingMethod_LOG_LOG_ABS();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override;
  QVComplex Centre() const { return ParamValues[0]; }
};
