#pragma once
// Fast rows for an effector: the same scalars and colours as QVThreadEffector,
// computed a whole row at a time.
//
// Design: the rendering method is resolved to its concrete class once per
// computation, so the pixel loop runs inline code with the method's constants
// instead of a virtual Value per pixel. In differential mode a worker keeps the
// rendering values of the rows its pixels' neighbours lie on (rows y - 1, y and
// y + 1, each computed once) instead of evaluating up to five values per pixel.
// The colour bar is searched by bisection and remembers its last answer. Every
// operation is the plain worker's operation in the plain worker's order, so the
// results are bit-identical (a NaN scalar may differ in sign or payload, which
// the arithmetic leaves open, and takes the same colour); the tests hold these
// rows to QVThreadEffector.
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "base/QVComplex.h"
#include "engine/QVColorBar.h"
#include "engine/QVDifferentialPlan.h"
#include "engine/QVField.h"
#include "engine/QVPass.h"

class QVEffector;
class QVRenderingMethod;

namespace qv {

/// A colour bar prepared for many lookups. ColorAt gives exactly
/// ColorBar::ColorAt for every input. Built on the render thread before the
/// workers start; read-only afterwards, so the workers share it.
class ColorLookup {
 public:
  explicit ColorLookup(const ColorBar& bar);
  int32_t ColorAt(double v) const;
  /// Colours n scalars; a run of equal inputs is looked up once.
  void ColorRow(const double* v, int32_t n, int32_t* out) const;

 private:
  // The index of the first entry whose input is >= v (v not NaN).
  size_t FirstAtOrAbove(double v) const;

  std::vector<double> inputs_;
  std::vector<int32_t> colors_;
  // spans_[i]: the bar of entries i and i + 1 alone, which interpolates
  // between them exactly as the whole bar does.
  std::vector<ColorBar> spans_;
  // Inputs free of NaN and non-decreasing: bisection finds the plain scan's index.
  bool ordered_ = true;
};

/// One worker's memory of the colours it has looked up: a direct-mapped table
/// keyed by the input's bit pattern, kept across rows. Most fields hold few
/// distinct scalars (one per count for the count methods), and a lookup
/// interpolates in long double, whose conversions go through memory and
/// stall, so remembering them pays. The colours are ColorLookup's exactly.
class ColorMemo {
 public:
  explicit ColorMemo(const ColorLookup& lookup);
  /// Colours n scalars as lookup.ColorRow does.
  void ColorRow(const double* v, int32_t n, int32_t* out);

 private:
  struct Slot {
    uint64_t Bits;
    int32_t Color;
  };
  static constexpr int kBits = 12;
  const ColorLookup& lookup_;
  std::vector<Slot> slots_;  // every slot starts as input +0 with its colour
};

/// A rendering method resolved to its class: ValueRow runs the class's Rule
/// (the very formula of its Value) over a row without virtual calls. A class
/// missing from QVRenderingMethodClasses throws std::logic_error on
/// construction: there is no silent fallback.
class RenderingKernel {
 public:
  explicit RenderingKernel(const QVRenderingMethod& method);
  double Value(int32_t count, QVComplex z) const;
  void ValueRow(const FractalPixel* in, int32_t n, double* out) const;

  /// Fills out[0..n) with the Rule of a method of class Method.
  using FillFunction = void (*)(const QVRenderingMethod&, const FractalPixel*, int32_t, double*);

 private:
  const QVRenderingMethod& method_;
  FillFunction fill_ = nullptr;
};

/// One worker's fast rows. Holds its own row buffers; shares the lookup, the
/// kernel and the plan (read-only) with the other workers of the computation.
class EffectorRows {
 public:
  EffectorRows(const QVEffector& effector, const RenderingKernel& kernel,
               const DifferentialPlan& plan, const ColorLookup& lookup);
  /// Computes and stores the colours of one row of the effector's picture.
  void ComputeRow(int32_t row);
  /// The scalars of one row (the plain worker's Scalar for every column); valid
  /// until the next call.
  const double* Scalars(int32_t row);

 private:
  // The rendering values of a row of the field, from the worker's cache.
  const double* Values(int32_t row);
  template <bool Edge>
  void AxisRow(int32_t row);
  template <bool Edge>
  void DiagonalRow(int32_t row);

  const QVFractalField& field_;
  const QVEffector& effector_;
  const RenderingKernel& kernel_;
  const DifferentialPlan& plan_;
  ColorMemo colors_;
  static constexpr int32_t kNoRow = INT32_MIN;  // an empty cache slot
  int32_t window_ = 0;                          // rows window_ - 1 .. window_ + 1 stay cached
  std::array<int32_t, 3> cachedRow_{kNoRow, kNoRow, kNoRow};
  std::array<std::vector<double>, 3> cache_;
  std::vector<double> scalars_;
};

/// Computes every row of the effector's (already resized) picture with fast
/// rows over the worker scheme. False when the pass was stopped.
/// Thread: the render thread.
bool ComputeEffectorRows(QVEffector& effector, const Pass& pass);

}  // namespace qv
