#include "engine/QVParameter.h"

#include <algorithm>

#include "base/QVScan.h"

const std::array<std::string, 2> FractalTypeNames = {"マンデルブロ", "ジュリア"};

QVParameter::QVParameter() : FractalMethod(qv::CloneAs(*FractalMethods().front())) {}

void QVParameter::ChangeFractalType(int32_t type) {
  FractalType = type;
  MarkChanged();
}

void QVParameter::ChangeFractalMethod(std::unique_ptr<QVFractalMethod> method) {
  FractalMethod = std::move(method);
  MarkChanged();
}

// The real settings are stored as the project text keeps them, so a project
// renders the same before and after it is saved and read.
void QVParameter::ChangeFractalParameter(QVComplex c) {
  FractalParameter = qv::KeptComplex(c);
  MarkChanged();
}

void QVParameter::ChangeViewpoint(QVComplex v) {
  Viewpoint = qv::KeptComplex(v);
  MarkChanged();
}

void QVParameter::ChangeScale(double s) {
  Scale = qv::KeptNumber(s);
  MarkChanged();
}

void QVParameter::ChangeWidth(int32_t w) {
  Width = w;
  MarkChanged();
}

void QVParameter::ChangeHeight(int32_t h) {
  Height = h;
  MarkChanged();
}

void QVParameter::ChangeWindow(qv::PixelRect window) {
  Window = window;
  MarkChanged();
}

qv::PixelRect QVParameter::ComputedRect() const {
  const qv::PixelRect whole{0, 0, std::max(Width, 0), std::max(Height, 0)};
  return Window.Empty() ? whole : qv::Intersect(Window, whole);
}

void QVParameter::CopyFrom(const QVParameter& other) {
  Name = other.Name;
  FractalType = other.FractalType;
  FractalMethod = qv::CloneAs(*other.FractalMethod);
  FractalParameter = other.FractalParameter;
  Viewpoint = other.Viewpoint;
  Scale = other.Scale;
  Width = other.Width;
  Height = other.Height;
  Window = other.Window;
  MarkChanged();
}

uint64_t QVParameter::OutputStamp() const { return std::max(Stamp, FractalMethod->Stamp); }

namespace qv {

PlaneMapping::PlaneMapping(const QVParameter& p)
    : v(p.Viewpoint),
      s(p.Scale),
      w(p.Width),
      h(p.Height),
      hw(p.Width / 2),
      hh(p.Height / 2),
      k((static_cast<double>(p.Height) * p.Scale) / p.Width),
      width(p.Width) {}

}  // namespace qv
