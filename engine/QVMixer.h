#pragma once
// QVMixer: one layer of the picture stack. Lays the sum of products of its
// source effectors' pictures over its base mixer's picture, under a
// transparence from a second list and one of five transparence types.
// Owned by the node graph; edited on the UI thread, computed on the render thread.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/QVField.h"
#include "engine/QVNode.h"

class QVEffector;

/// Names of the transparence types by index.
extern const std::array<std::string, 5> TransparenceTypeNames;

/// An entry of a source or transparence list: '*' multiplies into the current
/// term, any other character starts a new term.
struct QVSourceElement {
  int32_t Operator = '+';
  QVEffector* Effector = nullptr;  ///< not owned
};

class QVMixer : public QVNode {
 public:
  /// A mixer with default settings whose base is the last mixer so far; registers itself.
  QVMixer();
  ~QVMixer() override;

  QVMixer* const BaseMixer;
  int32_t TransparenceType = 0;
  bool Regular = true;
  bool MaskSW = false;
  QVRGBField RGBField;
  std::vector<std::unique_ptr<QVSourceElement>> SourceList;
  std::vector<std::unique_ptr<QVSourceElement>> TransparenceList;

  void SetTransparenceType(int32_t type);
  void SetRegular(bool on);
  void SetMaskSW(bool on);
  void AppendSource(int32_t op, QVEffector* effector);
  void AppendTransparence(int32_t op, QVEffector* effector);

  /// Thread: the render thread.
  int32_t Update();
  /// Composites the lists over the base, or with MaskSW on passes the base through.
  bool Compute() override;
  /// MaskSW on: copies the base picture (or black) on the calling thread;
  /// false when the pass was stopped part-way.
  bool PassThrough();
  void Reset() override;

  /// The picture size this mixer computes (0 x 0 when it has none).
  void PictureSize(int32_t& w, int32_t& h) const;

  uint64_t SourceStamp() const override;

  std::string WriteSource(const std::string& indent) const override;
  bool ReadSource(qv::SourceText& text) override;
};

/// One worker of a mixer: the per-pixel compositing rule, row by row.
class QVThreadMixer {
 public:
  QVThreadMixer(const QVMixer& mixer, int32_t startRow);
  void ComputeRow(int32_t row);
  /// The packed result colour of pixel (x, y).
  int32_t ComputePixel(int32_t x, int32_t y) const;

  const QVMixer& Mixer;
  const int32_t StartRow;
};

namespace qv {

/// Evaluates a list expression for one channel-split pixel: '+' starts a term,
/// '*' multiplies into it (p * term / 255). Pixels outside an effector's
/// picture read as black.
void ListExpression(const std::vector<std::unique_ptr<QVSourceElement>>& list, int32_t x,
                    int32_t y, int64_t out[3]);

}  // namespace qv
