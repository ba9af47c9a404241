#pragma once
// QVNode: what generators, effectors and mixers share on top of QVObject —
// the graph that holds them and the stamps that keep a result honest across
// passes. A node is out of date when the largest stamp of its settings and
// inputs (SourceStamp) is newer than the one its result was computed from;
// only a computation that ran to its end records new stamps, so a node that
// was stopped part-way, or not reached, is recomputed by the next pass.
// Edited on the UI thread, computed on the render thread.
#include <cstdint>

#include "engine/QVGraph.h"
#include "engine/QVObject.h"

class QVNode : public QVObject {
 public:
  QVNode() : OwnerGraph(&qv::ConstructionGraph()) {}

  /// The largest stamp of this node's own settings and of what it reads.
  virtual uint64_t SourceStamp() const = 0;
  /// Computes the node's result; false when the pass was stopped.
  virtual bool Compute() = 0;

  /// The SourceStamp the result was last completely computed from (0: never).
  uint64_t ComputedFrom = 0;
  /// Taken when the result was last completely computed; what readers compare.
  uint64_t ResultStamp = 0;
  /// The graph whose registry holds this node.
  QVNodeGraph* OwnerGraph;

 protected:
  /// The end of every node's Update, once its inputs have been asked: an out
  /// of date node becomes Changed; a Changed node is computed and becomes
  /// Updated, unless the pass is stopped (it then stays Changed); any other
  /// becomes Unchanged. Returns State.
  int32_t FinishUpdate();
  /// Runs work, the body of Compute, and records the stamps when it completes.
  template <typename Work>
  bool RecordCompletion(Work work) {
    const uint64_t from = SourceStamp();
    if (!work()) return false;
    ComputedFrom = from;
    ResultStamp = qv::NextStamp();
    return true;
  }
};
