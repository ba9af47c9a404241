#include "engine/QVParameter.h"

#include <algorithm>
#include <cmath>

#include "base/QVScan.h"

const std::array<std::string, 2> FractalTypeNames = {"マンデルブロ", "ジュリア"};

QVParameter::QVParameter() : fractalMethod_(qv::CloneAs(*FractalMethods().front())) {}

void QVParameter::ChangeFractalType(int32_t type) {
  fractalType_ = type;
  MarkChanged();
}

void QVParameter::ChangeFractalMethod(std::unique_ptr<QVFractalMethod> method) {
  fractalMethod_ = std::move(method);
  MarkChanged();
}

// The real settings are stored as the project text keeps them, so a project
// renders the same before and after it is saved and read.
void QVParameter::ChangeFractalParameter(QVComplex c) {
  fractalParameter_ = qv::KeptComplex(c);
  preciseFractalParameter_ = qv::DecimalFromComplex(c);
  MarkChanged();
}

void QVParameter::ChangeViewpoint(QVComplex v) {
  viewpoint_ = qv::KeptComplex(v);
  preciseViewpoint_ = qv::DecimalFromComplex(v);
  MarkChanged();
}

void QVParameter::ChangePreciseFractalParameter(const qv::DecimalComplex& c) {
  preciseFractalParameter_ = c;
  fractalParameter_ = qv::DecimalToComplex(c);
  MarkChanged();
}

void QVParameter::ChangePreciseViewpoint(const qv::DecimalComplex& v) {
  preciseViewpoint_ = v;
  viewpoint_ = qv::DecimalToComplex(v);
  MarkChanged();
}

// 2^-20 of the view's size is finer than any pixel of a picture up to a
// million pixels wide, and the deep path starts at 2^-42 of it per pixel:
// wherever the generator needs more than the doubles, the text has the digits.
bool QVParameter::WritesAllDigits() const {
  const auto largest = [](QVComplex z) {
    return std::max({1.0, std::fabs(z.re), std::fabs(z.im)});
  };
  const double limit = std::ldexp(std::max(largest(viewpoint_), largest(fractalParameter_)), -20);
  return std::fabs(scale_) < limit;
}

void QVParameter::ChangeScale(double s) {
  scale_ = qv::KeptNumber(s);
  MarkChanged();
}

void QVParameter::ChangeWidth(int32_t w) {
  width_ = w;
  MarkChanged();
}

void QVParameter::ChangeHeight(int32_t h) {
  height_ = h;
  MarkChanged();
}

void QVParameter::ChangeWindow(qv::PixelRect window) {
  window_ = window;
  MarkChanged();
}

qv::PixelRect QVParameter::ComputedRect() const {
  const qv::PixelRect whole{0, 0, std::max(width_, 0), std::max(height_, 0)};
  return window_.Empty() ? whole : qv::Intersect(window_, whole);
}

void QVParameter::CopyFrom(const QVParameter& other) {
  AssignName(other.Name());
  fractalType_ = other.fractalType_;
  fractalMethod_ = qv::CloneAs(*other.fractalMethod_);
  fractalParameter_ = other.fractalParameter_;
  viewpoint_ = other.viewpoint_;
  preciseFractalParameter_ = other.preciseFractalParameter_;
  preciseViewpoint_ = other.preciseViewpoint_;
  scale_ = other.scale_;
  width_ = other.width_;
  height_ = other.height_;
  window_ = other.window_;
  MarkChanged();
}

// The copies keep the original's stamps: whether a copy is computed is
// decided by the stamps alone.
void QVParameter::FreezeFrom(const QVParameter& other) {
  CopyFrom(other);  // the method's clone keeps its stamp
  KeepStamp(other);
}

uint64_t QVParameter::OutputStamp() const { return std::max(Stamp(), fractalMethod_->Stamp()); }

namespace qv {

PlaneMapping::PlaneMapping(const QVParameter& p)
    : PlaneMapping(p.Viewpoint(), p.Scale(), p.Width(), p.Height()) {}

PlaneMapping::PlaneMapping(QVComplex viewpoint, double scale, int32_t pictureWidth,
                           int32_t pictureHeight)
    : v(viewpoint),
      s(scale),
      w(pictureWidth),
      h(pictureHeight),
      hw(pictureWidth / 2),
      hh(pictureHeight / 2),
      k((static_cast<double>(pictureHeight) * scale) / pictureWidth),
      width(pictureWidth) {}

}  // namespace qv
