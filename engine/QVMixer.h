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
#include "engine/QVMixRule.h"
#include "engine/QVNode.h"

class QVEffector;

/// Names of the transparence types by index.
extern const std::array<std::string, qv::mix::TransparenceRules::Count> TransparenceTypeNames;

/// An entry of a source or transparence list: '*' multiplies into the current
/// term, any other character starts a new term.
struct QVSourceElement {
  int32_t Operator = '+';
  QVEffector* Effector = nullptr;  ///< not owned
};

/// A list of source elements, in order.
using QVSourceList = std::vector<QVSourceElement>;

class QVMixer : public QVNode {
 private:
  std::shared_ptr<QVRGBField> field_;  // first: RGBField refers to it

 public:
  /// A mixer with default settings whose base is the last mixer so far; registers itself.
  explicit QVMixer(QVNodeGraph& graph);
  /// The frozen copy of source in graph, on base with the given lists (the
  /// copies of source's base and lists): same name, settings and stamps, the
  /// picture shared (see qv::FrozenCopy).
  QVMixer(QVNodeGraph& graph, const QVMixer& source, QVMixer* base, QVSourceList sources,
          QVSourceList transparences, qv::FrozenCopy frozen);
  /// Unregisters itself; a mixer built on it takes its base instead, so the
  /// chain stays one chain in registry order.
  ~QVMixer() override;

  int32_t TransparenceType() const { return transparenceType_; }
  bool Regular() const { return regular_; }
  bool MaskSW() const { return maskSW_; }
  /// The result, shared with the frozen copies (see QVNode.h); written only by
  /// the mixer's computation.
  QVRGBField& RGBField;

  /// The mixer this one lays its picture over, or null.
  QVMixer* BaseMixer() const { return baseMixer_; }
  /// The two lists; they change only through the members below, which mark
  /// the mixer Changed. Every element names an effector of this mixer's graph.
  const QVSourceList& SourceList() const { return sourceList_; }
  const QVSourceList& TransparenceList() const { return transparenceList_; }

  void SetTransparenceType(int32_t type);
  void SetRegular(bool on);
  void SetMaskSW(bool on);
  /// base: null, or another mixer of this graph that is not built on this one
  /// (else std::invalid_argument and nothing changes). Project text stores no
  /// base: it is the mixer created before, so the graph keeps that chain.
  void SetBaseMixer(QVMixer* base);
  /// effector must be an effector of this mixer's graph (else
  /// std::invalid_argument and nothing changes).
  void AppendSource(int32_t op, QVEffector* effector);
  void AppendTransparence(int32_t op, QVEffector* effector);
  /// Removes element i (std::out_of_range outside the list).
  void RemoveSource(int32_t i);
  void RemoveTransparence(int32_t i);
  /// Replaces a whole list; every element is checked as by the appends.
  void SetSourceList(QVSourceList list);
  void SetTransparenceList(QVSourceList list);
  /// Removes every element of both lists that names effector; marks the mixer
  /// Changed only when there was one.
  void RemoveEffector(const QVEffector* effector);

  /// Updates the base chain from the bottom up, then this mixer. Iterative:
  /// a chain of many mixers would otherwise exhaust the stack.
  /// Thread: the render thread.
  bool Update(const qv::Pass& pass);
  /// Composites the lists over the base, or with MaskSW on passes the base through.
  bool Compute(const qv::Pass& pass) override;
  /// MaskSW on: copies the base picture (or black) on the calling thread;
  /// false when the pass was stopped part-way.
  bool PassThrough(const qv::Pass& pass);

  /// The picture size this mixer computes (0 x 0 when it has none).
  void PictureSize(int32_t& w, int32_t& h) const;

  uint64_t SourceStamp() const override;

 private:
  void CheckElements(const QVSourceList& list) const;
  /// Update once the base has been updated.
  bool UpdateOnBase(const qv::Pass& pass);

  int32_t transparenceType_ = 0;
  bool regular_ = true;
  bool maskSW_ = false;
  QVMixer* baseMixer_;
  QVSourceList sourceList_;
  QVSourceList transparenceList_;
};

/// One worker of a mixer: the per-pixel compositing rule, row by row.
class QVThreadMixer {
 public:
  QVThreadMixer(const QVMixer& mixer, int32_t startRow, std::stop_token stop = {});
  void ComputeRow(int32_t row);
  /// The packed result colour of pixel (x, y).
  int32_t ComputePixel(int32_t x, int32_t y) const;

  const QVMixer& Mixer;
  const int32_t StartRow;

 private:
  std::stop_token stop_;
};

namespace qv {

/// Evaluates a list expression for one channel-split pixel: '+' starts a term,
/// '*' multiplies into it (p * term / 255). Pixels outside an effector's
/// picture read as black.
void ListExpression(const QVSourceList& list, int32_t x, int32_t y, int64_t out[3]);

}  // namespace qv
