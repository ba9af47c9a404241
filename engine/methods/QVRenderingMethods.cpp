#include "engine/methods/QVRenderingMethods.h"

QVRenderingMethod_Count::QVRenderingMethod_Count()
    : QVRenderingMethod("回数", KindIndex, {"定数"}, {{50, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_Count::Clone() const {
  return std::make_unique<QVRenderingMethod_Count>(*this);
}

QVRenderingMethod_Count0::QVRenderingMethod_Count0()
    : QVRenderingMethod("回数0", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_Count0::Clone() const {
  return std::make_unique<QVRenderingMethod_Count0>(*this);
}

QVRenderingMethod_REAL::QVRenderingMethod_REAL() : QVRenderingMethod("実部", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_REAL::Clone() const {
  return std::make_unique<QVRenderingMethod_REAL>(*this);
}

QVRenderingMethod_IMAG::QVRenderingMethod_IMAG() : QVRenderingMethod("虚部", KindIndex, {}, {}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_IMAG::Clone() const {
  return std::make_unique<QVRenderingMethod_IMAG>(*this);
}

QVRenderingMethod_RATE::QVRenderingMethod_RATE()
    : QVRenderingMethod("実数虚数比", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_RATE::Clone() const {
  return std::make_unique<QVRenderingMethod_RATE>(*this);
}

QVRenderingMethod_MULTIPL::QVRenderingMethod_MULTIPL()
    : QVRenderingMethod("実数虚数積", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_MULTIPL::Clone() const {
  return std::make_unique<QVRenderingMethod_MULTIPL>(*this);
}

QVRenderingMethod_ABS::QVRenderingMethod_ABS()
    : QVRenderingMethod("大きさ", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_ABS::Clone() const {
  return std::make_unique<QVRenderingMethod_ABS>(*this);
}

QVRenderingMethod_ARG::QVRenderingMethod_ARG()
    : QVRenderingMethod("角度", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_ARG::Clone() const {
  return std::make_unique<QVRenderingMethod_ARG>(*this);
}

QVRenderingMethod_CountLoop::QVRenderingMethod_CountLoop()
    : QVRenderingMethod("回数(ループ)", KindIndex, {"ループサイズ"}, {{8, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_CountLoop::Clone() const {
  return std::make_unique<QVRenderingMethod_CountLoop>(*this);
}

QVRenderingMethod_Cross::QVRenderingMethod_Cross()
    : QVRenderingMethod("十字", KindIndex, {"幅"}, {{0.01, 0.01}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_Cross::Clone() const {
  return std::make_unique<QVRenderingMethod_Cross>(*this);
}

QVRenderingMethod_LOG_ABS::QVRenderingMethod_LOG_ABS()
    : QVRenderingMethod("log(大きさ)", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_LOG_ABS::Clone() const {
  return std::make_unique<QVRenderingMethod_LOG_ABS>(*this);
}

QVRenderingMethod_LOG_LOG_ABS::QVRenderingMethod_LOG_LOG_ABS()
    : QVRenderingMethod("log(log(大きさ))", KindIndex, {"中心点"}, {{0, 0}}) {}

std::unique_ptr<QVMethod> QVRenderingMethod_LOG_LOG_ABS::Clone() const {
  return std::make_unique<QVRenderingMethod_LOG_LOG_ABS>(*this);
}
