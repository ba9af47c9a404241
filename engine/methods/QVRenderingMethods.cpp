#include "engine/methods/QVRenderingMethods.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "engine/QVNumeric.h"

namespace {

// NaN fails the comparison too, so it becomes GuardLimit as well.
double AtLeastGuard(double r) { return r >= qv::GuardLimit ? r : qv::GuardLimit; }

}  // namespace

QVRenderingMethod_Count::QVRenderingMethod_Count()
    : QVRenderingMethod("回数", KindIndex, {"定数"}, {{50, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_Count::Clone() const {
  return std::make_unique<QVRenderingMethod_Count>(*this);
}

double QVRenderingMethod_Count::Value(int32_t count, QVComplex) const {
  const double k = Constant().re;
  // The guard sums in 64 bits: no int32 count and truncated K overflow there.
  if (static_cast<int64_t>(count) + qv::TruncToInt(k) == 0) {
    return std::numeric_limits<double>::max();
  }
  return count / (k + count);
}

QVRenderingMethod_Count0::QVRenderingMethod_Count0()
    : QVRenderingMethod("回数0", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_Count0::Clone() const {
  return std::make_unique<QVRenderingMethod_Count0>(*this);
}

double QVRenderingMethod_Count0::Value(int32_t count, QVComplex) const { return count; }

QVRenderingMethod_REAL::QVRenderingMethod_REAL() : QVRenderingMethod("実部", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_REAL::Clone() const {
  return std::make_unique<QVRenderingMethod_REAL>(*this);
}

double QVRenderingMethod_REAL::Value(int32_t, QVComplex z) const { return z.re; }

QVRenderingMethod_IMAG::QVRenderingMethod_IMAG() : QVRenderingMethod("虚部", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_IMAG::Clone() const {
  return std::make_unique<QVRenderingMethod_IMAG>(*this);
}

double QVRenderingMethod_IMAG::Value(int32_t, QVComplex z) const { return z.im; }

QVRenderingMethod_RATE::QVRenderingMethod_RATE()
    : QVRenderingMethod("実数虚数比", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_RATE::Clone() const {
  return std::make_unique<QVRenderingMethod_RATE>(*this);
}

double QVRenderingMethod_RATE::Value(int32_t, QVComplex z) const {
  const QVComplex d = qv::Sub(z, Centre());
  if (std::fabs(d.im) >= qv::GuardLimit) return d.re / d.im;
  return d.re * qv::GuardValue;
}

QVRenderingMethod_MULTIPL::QVRenderingMethod_MULTIPL()
    : QVRenderingMethod("実数虚数積", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_MULTIPL::Clone() const {
  return std::make_unique<QVRenderingMethod_MULTIPL>(*this);
}

double QVRenderingMethod_MULTIPL::Value(int32_t, QVComplex z) const {
  const QVComplex d = qv::Sub(z, Centre());
  return d.re * d.im;
}

QVRenderingMethod_ABS::QVRenderingMethod_ABS()
    : QVRenderingMethod("大きさ", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_ABS::Clone() const {
  return std::make_unique<QVRenderingMethod_ABS>(*this);
}

double QVRenderingMethod_ABS::Value(int32_t, QVComplex z) const {
  return qv::Abs(qv::Sub(z, Centre()));
}

QVRenderingMethod_ARG::QVRenderingMethod_ARG()
    : QVRenderingMethod("角度", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_ARG::Clone() const {
  return std::make_unique<QVRenderingMethod_ARG>(*this);
}

double QVRenderingMethod_ARG::Value(int32_t, QVComplex z) const {
  const QVComplex d = qv::Sub(z, Centre());
  // The angle of the origin is undefined; 0 keeps the picture finite there.
  if (d.re == 0.0 && d.im == 0.0) return 0.0;
  // A negative zero imaginary part would give -180, outside (-180, 180];
  // adding +0 turns it into +0 and leaves every other value as it is.
  const double im = d.im + 0.0;
  constexpr double inversePi = 1.0 / std::numbers::pi;
  return (std::atan2(im, d.re) * 180.0) * inversePi;
}

QVRenderingMethod_CountLoop::QVRenderingMethod_CountLoop()
    : QVRenderingMethod("回数(ループ)", KindIndex, {"ループサイズ"}, {{8, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_CountLoop::Clone() const {
  return std::make_unique<QVRenderingMethod_CountLoop>(*this);
}

double QVRenderingMethod_CountLoop::Value(int32_t count, QVComplex) const {
  const int64_t loop = qv::TruncToInt(LoopSize().re);
  // A zero loop has no remainder: the count passes through. 64 bits keep
  // INT32_MIN % -1 defined.
  if (loop == 0) return count;
  return static_cast<double>(static_cast<int64_t>(count) % loop);
}

QVRenderingMethod_Cross::QVRenderingMethod_Cross()
    : QVRenderingMethod("十字", KindIndex, {"幅"}, {{0.01, 0.01}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_Cross::Clone() const {
  return std::make_unique<QVRenderingMethod_Cross>(*this);
}

double QVRenderingMethod_Cross::Value(int32_t, QVComplex z) const {
  const QVComplex w = Width();
  const double a = w.re != 0.0 ? z.re / w.re : 0.0;
  const double b = w.im != 0.0 ? z.im / w.im : 0.0;
  if (w.re == 0.0) return b;
  if (w.im == 0.0) return a;
  return std::fabs(a) < std::fabs(b) ? a : b;
}

QVRenderingMethod_LOG_ABS::QVRenderingMethod_LOG_ABS()
    : QVRenderingMethod("log(大きさ)", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_LOG_ABS::Clone() const {
  return std::make_unique<QVRenderingMethod_LOG_ABS>(*this);
}

double QVRenderingMethod_LOG_ABS::Value(int32_t, QVComplex z) const {
  return std::log(AtLeastGuard(qv::Abs(qv::Sub(z, Centre()))));
}

QVRenderingMethod_LOG_LOG_ABS::QVRenderingMethod_LOG_LOG_ABS()
    : QVRenderingMethod("log(log(大きさ))", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_LOG_LOG_ABS::Clone() const {
  return std::make_unique<QVRenderingMethod_LOG_LOG_ABS>(*this);
}

double QVRenderingMethod_LOG_LOG_ABS::Value(int32_t, QVComplex z) const {
  const double r = std::log(AtLeastGuard(qv::Abs(qv::Sub(z, Centre()))));
  return std::log(AtLeastGuard(r));
}
