#pragma once
// How an effector turns one recorded pixel (Count, Z) into the number it
// colours, in list order. An effector owns one clone; Value only reads it, so
// the effector's workers share it. The centred methods measure d = z - m from
// their "中心点" m; of "定数" K and "ループサイズ" L only the real part counts.
//
// Each class's per-pixel formula is its Rule: the method's setting read once,
// then a call per pixel. Value and the effector's fast rows both run the Rule,
// so a formula is written once; a new method is a class with its Rule and its
// entry in QVRenderingMethodClasses (which makes the prototype list too).
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <numbers>

#include "engine/QVNumeric.h"
#include "engine/methods/QVMethod.h"
#include "engine/methods/QVRuleList.h"

namespace qv {

/// r raised to at least GuardLimit; NaN fails the comparison, so it becomes
/// GuardLimit as well.
inline double AtLeastGuard(double r) { return r >= GuardLimit ? r : GuardLimit; }

/// The setting of the methods that measure d = z - m from their centre m.
struct CentredRule {
  explicit CentredRule(const QVMethod& method) : M(method.ParamValues()[0]) {}
  QVComplex M;
};

}  // namespace qv

/// "回数": count / (K.re + count); the largest double when count + trunc(K.re) is 0.
class QVRenderingMethod_Count final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 0;
  struct Rule {
    explicit Rule(const QVRenderingMethod_Count& m)
        : K(m.Constant().re), KTrunc(qv::TruncToInt(m.Constant().re)) {}
    double operator()(int32_t count, QVComplex) const {
      // The guard sums in 64 bits: no int32 count and truncated K overflow there.
      if (static_cast<int64_t>(count) + KTrunc == 0) return std::numeric_limits<double>::max();
      return count / (K + count);
    }
    double K;
    int64_t KTrunc;
  };
  QVRenderingMethod_Count();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
  QVComplex Constant() const { return ParamValues()[0]; }
};

/// "回数0": the count itself.
class QVRenderingMethod_Count0 final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 1;
  struct Rule {
    explicit Rule(const QVRenderingMethod_Count0&) {}
    double operator()(int32_t count, QVComplex) const { return count; }
  };
  QVRenderingMethod_Count0();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
};

/// "実部": z.re.
class QVRenderingMethod_REAL final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 2;
  struct Rule {
    explicit Rule(const QVRenderingMethod_REAL&) {}
    double operator()(int32_t, QVComplex z) const { return z.re; }
  };
  QVRenderingMethod_REAL();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
};

/// "虚部": z.im.
class QVRenderingMethod_IMAG final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 3;
  struct Rule {
    explicit Rule(const QVRenderingMethod_IMAG&) {}
    double operator()(int32_t, QVComplex z) const { return z.im; }
  };
  QVRenderingMethod_IMAG();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
};

/// "実数虚数比": d.re / d.im, or d.re * GuardValue when |d.im| < GuardLimit.
class QVRenderingMethod_RATE final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 4;
  struct Rule : qv::CentredRule {
    using CentredRule::CentredRule;
    double operator()(int32_t, QVComplex z) const {
      const QVComplex d = qv::Sub(z, M);
      if (std::fabs(d.im) >= qv::GuardLimit) return d.re / d.im;
      return d.re * qv::GuardValue;
    }
  };
  QVRenderingMethod_RATE();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
  QVComplex Centre() const { return ParamValues()[0]; }
};

/// "実数虚数積": d.re * d.im.
class QVRenderingMethod_MULTIPL final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 5;
  struct Rule : qv::CentredRule {
    using CentredRule::CentredRule;
    double operator()(int32_t, QVComplex z) const {
      const QVComplex d = qv::Sub(z, M);
      return d.re * d.im;
    }
  };
  QVRenderingMethod_MULTIPL();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
  QVComplex Centre() const { return ParamValues()[0]; }
};

/// "大きさ": |d|.
class QVRenderingMethod_ABS final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 6;
  struct Rule : qv::CentredRule {
    using CentredRule::CentredRule;
    double operator()(int32_t, QVComplex z) const { return qv::Abs(qv::Sub(z, M)); }
  };
  QVRenderingMethod_ABS();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
  QVComplex Centre() const { return ParamValues()[0]; }
};

/// "角度": the angle of d in degrees, in (-180, 180]; 0 at d = (0, 0).
class QVRenderingMethod_ARG final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 7;
  struct Rule : qv::CentredRule {
    using CentredRule::CentredRule;
    double operator()(int32_t, QVComplex z) const {
      const QVComplex d = qv::Sub(z, M);
      // The angle of the origin is undefined; 0 keeps the picture finite there.
      if (d.re == 0.0 && d.im == 0.0) return 0.0;
      // A negative zero imaginary part would give -180, outside (-180, 180];
      // adding +0 turns it into +0 and leaves every other value as it is.
      const double im = d.im + 0.0;
      constexpr double inversePi = 1.0 / std::numbers::pi;
      return (std::atan2(im, d.re) * 180.0) * inversePi;
    }
  };
  QVRenderingMethod_ARG();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
  QVComplex Centre() const { return ParamValues()[0]; }
};

/// "回数(ループ)": count % trunc(L.re) with the sign of count; the count itself
/// when trunc(L.re) is 0.
class QVRenderingMethod_CountLoop final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 8;
  struct Rule {
    explicit Rule(const QVRenderingMethod_CountLoop& m) : Loop(qv::TruncToInt(m.LoopSize().re)) {}
    double operator()(int32_t count, QVComplex) const {
      // A zero loop has no remainder: the count passes through. 64 bits keep
      // INT32_MIN % -1 defined.
      if (Loop == 0) return count;
      return static_cast<double>(static_cast<int64_t>(count) % Loop);
    }
    int64_t Loop;
  };
  QVRenderingMethod_CountLoop();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
  QVComplex LoopSize() const { return ParamValues()[0]; }
};

/// "十字": of z.re / w.re and z.im / w.im the one nearer 0 (the imaginary one
/// on a tie); a zero part of w leaves only the other, both zero give 0.
class QVRenderingMethod_Cross final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 9;
  struct Rule {
    explicit Rule(const QVRenderingMethod_Cross& m) : W(m.Width()) {}
    double operator()(int32_t, QVComplex z) const {
      const double a = W.re != 0.0 ? z.re / W.re : 0.0;
      const double b = W.im != 0.0 ? z.im / W.im : 0.0;
      if (W.re == 0.0) return b;
      if (W.im == 0.0) return a;
      return std::fabs(a) < std::fabs(b) ? a : b;
    }
    QVComplex W;
  };
  QVRenderingMethod_Cross();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
  QVComplex Width() const { return ParamValues()[0]; }
};

/// "log(大きさ)": ln |d|, with |d| raised to at least GuardLimit.
class QVRenderingMethod_LOG_ABS final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 10;
  struct Rule : qv::CentredRule {
    using CentredRule::CentredRule;
    double operator()(int32_t, QVComplex z) const {
      return std::log(qv::AtLeastGuard(qv::Abs(qv::Sub(z, M))));
    }
  };
  QVRenderingMethod_LOG_ABS();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
  QVComplex Centre() const { return ParamValues()[0]; }
};

/// "log(log(大きさ))": ln ln |d|, each logarithm's argument raised to at least GuardLimit.
class QVRenderingMethod_LOG_LOG_ABS final : public QVRenderingMethod {
 public:
  static constexpr int32_t KindIndex = 11;
  struct Rule : qv::CentredRule {
    using CentredRule::CentredRule;
    double operator()(int32_t, QVComplex z) const {
      const double r = std::log(qv::AtLeastGuard(qv::Abs(qv::Sub(z, M))));
      return std::log(qv::AtLeastGuard(r));
    }
  };
  QVRenderingMethod_LOG_LOG_ABS();
  std::unique_ptr<QVMethod> Clone() const override;
  double Value(int32_t count, QVComplex z) const override { return Rule(*this)(count, z); }
  QVComplex Centre() const { return ParamValues()[0]; }
};

/// Every rendering method class in list order (each class's KindIndex is its
/// position): RenderingMethods() and the effector's fast rows are built from it.
using QVRenderingMethodClasses =
    qv::TypeList<QVRenderingMethod_Count, QVRenderingMethod_Count0, QVRenderingMethod_REAL,
                 QVRenderingMethod_IMAG, QVRenderingMethod_RATE, QVRenderingMethod_MULTIPL,
                 QVRenderingMethod_ABS, QVRenderingMethod_ARG, QVRenderingMethod_CountLoop,
                 QVRenderingMethod_Cross, QVRenderingMethod_LOG_ABS, QVRenderingMethod_LOG_LOG_ABS>;
