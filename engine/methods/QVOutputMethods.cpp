#include "engine/methods/QVOutputMethods.h"

#include <cmath>
#include <limits>

namespace {

// Count + 1, saturating: a count never exceeds the number of steps, an int32,
// but the output method must not overflow whoever steps it.
int32_t Incremented(int32_t count) {
  return count < std::numeric_limits<int32_t>::max() ? count + 1 : count;
}

}  // namespace

QVOutputMethod_EndPoint::QVOutputMethod_EndPoint() : QVOutputMethod("終点", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVOutputMethod_EndPoint::Clone() const {
  return std::make_unique<QVOutputMethod_EndPoint>(*this);
}

void QVOutputMethod_EndPoint::Start() {
  Z = {0.0, 0.0};
  Count = 0;
}

void QVOutputMethod_EndPoint::Step(int32_t j, QVComplex z) {
  Z = z;
  Count = j;
}

QVOutputMethod_Ball::QVOutputMethod_Ball()
    : QVOutputMethod("球", KindIndex, {"位置", "開始回数"}, {{0, 0}, {0, 0}}) {}

std::unique_ptr<QVMethod> QVOutputMethod_Ball::Clone() const {
  return std::make_unique<QVOutputMethod_Ball>(*this);
}

void QVOutputMethod_Ball::Start() {
  Best = 1e100;
  Z = {0.0, 0.0};
  Count = 1;
}

void QVOutputMethod_Ball::Step(int32_t j, QVComplex z) {
  if (!(j >= StartStep().re)) return;
  const QVComplex d = qv::Sub(z, Position());
  const double r = std::hypot(d.re, d.im);
  if (r >= Best) return;
  Z = d;
  Count = j;
  Best = r;
}

QVOutputMethod_Trace::QVOutputMethod_Trace()
    : QVOutputMethod("差分累積", KindIndex, {"定数", "開始回数"}, {{0.5, 0.5}, {1, 0}}) {}

std::unique_ptr<QVMethod> QVOutputMethod_Trace::Clone() const {
  return std::make_unique<QVOutputMethod_Trace>(*this);
}

void QVOutputMethod_Trace::Start() {
  Previous = {0.0, 0.0};
  Z = {0.0, 0.0};
  Count = 0;
}

void QVOutputMethod_Trace::Step(int32_t j, QVComplex z) {
  if (j >= StartStep().re) {
    const QVComplex k = Power();
    const double a = std::pow(std::fabs(z.re - Previous.re), k.re);
    const double b = std::pow(std::fabs(z.im - Previous.im), k.im);
    Z = qv::Add(Z, {a, b});
    Count = Incremented(Count);
  }
  Previous = z;
}

QVOutputMethod_TraceChecker::QVOutputMethod_TraceChecker()
    : QVOutputMethod("市松模様累積", KindIndex, {"幅", "バイアス", "開始回数"},
                     {{0.1, 0.1}, {0, 0}, {0, 0}}) {}

std::unique_ptr<QVMethod> QVOutputMethod_TraceChecker::Clone() const {
  return std::make_unique<QVOutputMethod_TraceChecker>(*this);
}

void QVOutputMethod_TraceChecker::Start() {
  Z = {0.0, 0.0};
  Count = 0;
}

void QVOutputMethod_TraceChecker::Step(int32_t j, QVComplex z) {
  if (!(j >= StartStep().re)) return;
  const QVComplex w = Width();
  const double u = z.re / w.re;
  const double v = z.im / w.im;
  const double e = std::sin(u) * std::sin(v) + Bias().re;
  if (e >= 0.0) Count = Incremented(Count);
  Z.re = Z.re + e;
}
