#pragma once
// QVParameter: the global settings every generator shares (fractal type and
// formula, C, viewpoint, scale, picture size) and the pixel-to-plane mapping.
// One instance, owned by QVMain; edited on the UI thread, read by generator
// workers during a pass.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "base/QVComplex.h"
#include "base/QVDecimal.h"
#include "base/QVPixelRect.h"
#include "engine/QVObject.h"
#include "engine/methods/QVMethod.h"

/// Names of the fractal types by index: 0 Mandelbrot-like, 1 Julia-like.
extern const std::array<std::string, 2> FractalTypeNames;

class QVParameter : public QVObject {
 public:
  QVParameter();

  int32_t FractalType() const { return fractalType_; }
  /// The formula; edited in place only through its SetParamValue.
  const QVFractalMethod& FractalMethod() const { return *fractalMethod_; }
  QVFractalMethod& FractalMethod() { return *fractalMethod_; }
  QVComplex FractalParameter() const { return fractalParameter_; }
  QVComplex Viewpoint() const { return viewpoint_; }
  /// The viewpoint and C with every digit they were given (the doubles above
  /// are what the text keeps of them at ordinary scales).
  const qv::DecimalComplex& PreciseViewpoint() const { return preciseViewpoint_; }
  const qv::DecimalComplex& PreciseFractalParameter() const { return preciseFractalParameter_; }
  /// Whether the project text writes every digit of the viewpoint and C:
  /// when the scale is below 2^-20 times the larger of 1 and the largest part
  /// of the viewpoint (or of C). Above, the text is the 15 digits of the doubles.
  bool WritesAllDigits() const;
  double Scale() const { return scale_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  /// The part of the Width x Height picture the generators compute (a band, a
  /// region or a tile: every pixel keeps the plane point it has in the whole
  /// picture). Empty, the default, means the whole picture. A render setting,
  /// not part of the project text.
  qv::PixelRect Window() const { return window_; }

  /// The name the project text gives the parameter block (not a setting of
  /// the picture: no new stamp).
  void SetName(std::string name) { AssignName(std::move(name)); }
  void ChangeFractalType(int32_t type);
  void ChangeFractalMethod(std::unique_ptr<QVFractalMethod> method);
  /// The real settings are stored as the project text keeps them (qv::KeptNumber).
  void ChangeFractalParameter(QVComplex c);
  void ChangeViewpoint(QVComplex v);
  /// The viewpoint and C with all their digits; the doubles become what the
  /// text keeps of them.
  void ChangePreciseFractalParameter(const qv::DecimalComplex& c);
  void ChangePreciseViewpoint(const qv::DecimalComplex& v);
  void ChangeScale(double s);
  void ChangeWidth(int32_t w);
  void ChangeHeight(int32_t h);
  void ChangeWindow(qv::PixelRect window);

  /// The pixels a render computes: the window clipped to the picture, or the
  /// whole picture when the window is empty.
  qv::PixelRect ComputedRect() const;

  /// Copies every setting (a clone of the fractal method) and marks this Changed.
  void CopyFrom(const QVParameter& other);
  /// The frozen copy of other: every setting, and other's stamps.
  void FreezeFrom(const QVParameter& other);

  /// The largest stamp of these settings and of the fractal method.
  uint64_t OutputStamp() const;

 private:
  int32_t fractalType_ = 0;
  std::unique_ptr<QVFractalMethod> fractalMethod_;
  QVComplex fractalParameter_;
  QVComplex viewpoint_;
  qv::DecimalComplex preciseFractalParameter_;
  qv::DecimalComplex preciseViewpoint_;
  double scale_ = 4.0;
  int32_t width_ = 320;
  int32_t height_ = 320;
  qv::PixelRect window_;
};

namespace qv {

/// The mapping from pixels to the plane, evaluated in its fixed order of
/// operations: k = (H * s) / W once, dy = ((H/2 - y) * k) / H per row,
/// dx = ((x - W/2) * s) / W per pixel (W/2, H/2 truncated integers).
/// Only valid for Width and Height of at least 1.
struct PlaneMapping {
  explicit PlaneMapping(const QVParameter& p);
  /// The mapping of a view of the plane at a picture size.
  PlaneMapping(QVComplex viewpoint, double scale, int32_t pictureWidth, int32_t pictureHeight);
  double RowOffset(int32_t y) const { return (static_cast<double>(hh - y) * k) / h; }
  double ColumnOffset(int32_t x) const { return (static_cast<double>(x - hw) * s) / w; }
  int32_t Width() const { return width; }
  QVComplex Point(int32_t x, int32_t y) const {
    return {v.re + ColumnOffset(x), v.im + RowOffset(y)};
  }

  QVComplex v;
  double s;
  double w, h;
  int32_t hw, hh;
  double k;
  int32_t width;
};

}  // namespace qv
