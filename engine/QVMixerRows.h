#pragma once
// Fast rows for a mixer: the same packed colours as QVThreadMixer, computed a
// whole row at a time.
//
// Design: the list elements' pictures are resolved once per computation and
// their row pointers once per row; a list is evaluated element by element over
// the whole row into planar channel buffers (loops without branches per pixel),
// and the compositing rule (QVMixRule.h) is chosen once per row. Pixels outside
// an element's or the base's picture read as black, as in qv::ListExpression.
// The integer arithmetic is the plain worker's; 32-bit channels suffice
// because lists longer than MaxFastListLength are left to the plain workers.
// A rule's keep factor stays in extended precision. Tests hold these rows to
// QVThreadMixer.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/QVField.h"
#include "engine/QVPass.h"

class QVMixer;

namespace qv {

/// Up to this many elements per list, every channel sum, product and
/// normalisation of the compositing fits in 32 bits (255 * 255 * 32768 < 2^31).
inline constexpr size_t MaxFastListLength = 32767;

/// One list element, resolved: its operator and the picture it reads (or none).
struct MixerElement {
  bool Multiply = false;
  const QVRGBField* Field = nullptr;
};

/// What every worker of one mixer computation shares, read-only: the resolved
/// lists, the base picture and the switches. Built on the render thread before
/// the workers start.
struct MixerPlan {
  explicit MixerPlan(const QVMixer& mixer);
  std::vector<MixerElement> Source, Transparence;
  const QVRGBField* Base = nullptr;  // the base mixer's picture, if there is a base mixer
  int32_t Rule = 0;                  // the transparence type's rule (mix::RuleOf)
  bool Regular = true;
  std::array<long double, 256> Keep{};  // FadeKeep(m) for m = 0..255
};

/// True when the fast rows apply to this mixer (its lists are short enough).
bool MixerRowsApply(const QVMixer& mixer);

/// One worker's fast rows, with its own channel buffers.
class MixerRows {
 public:
  MixerRows(QVRGBField& out, const MixerPlan& plan);
  /// Computes and stores one row of the mixer's picture.
  void ComputeRow(int32_t row);

 private:
  // Planar channel buffers of one row.
  struct Planes {
    std::array<std::vector<int32_t>, 3> C;
  };
  // The list's expression over the row, into sum (term is scratch). Returns
  // null when the expression is 0 on the whole row, else &sum.
  Planes* ListRow(const std::vector<MixerElement>& list, int32_t y, Planes& sum,
                  Planes& term) const;
  template <class R, bool Regular>
  void Compose(int32_t y, const Planes* s, Planes* t);

  QVRGBField& out_;
  const MixerPlan& plan_;
  const int32_t width_;
  Planes source_, transparence_, scratch_;
  Planes base_, result_;
  Planes zero_;  // stays 0: an empty list's result
};

/// Computes every row of the mixer's (already resized) picture with fast rows
/// over the worker scheme. False when the pass was stopped.
/// Thread: the render thread.
bool ComputeMixerRows(QVMixer& mixer, const Pass& pass);

}  // namespace qv
