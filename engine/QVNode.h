#pragma once
// QVNode: what generators, effectors and mixers share on top of QVObject —
// the graph that holds them and the stamps that keep a result honest across
// passes. A node is out of date when the largest stamp of its settings and
// inputs (SourceStamp) is newer than the one its result was computed from;
// only a computation that ran to its end records new stamps, so a node that
// was stopped part-way, or not reached, is recomputed by the next pass.
//
// Frozen copies. A render computes a frozen copy of the project (QVSnapshot),
// never the nodes the user edits. A node's frozen copy has the node's settings
// and stamps, and shares its result (the field and the two stamps below) with
// the node, so a render leaves its results where the next copy finds them and
// a node whose inputs did not change is not computed again. One render at a
// time computes a project's results; the owner reads them only while none
// runs.
#include <cstdint>
#include <memory>

#include "engine/QVGraph.h"
#include "engine/QVObject.h"
#include "engine/QVPass.h"

namespace qv {
/// Selects the constructors that build a node's frozen copy. Shared: the
/// copy shares the node's result (a render of the project itself); else it
/// starts without one (a job that renders beside the project's renders, at
/// another size or window).
struct FrozenCopy {
  bool Shared = true;
};
}  // namespace qv

class QVNode : public QVObject {
 private:
  struct Stamps {
    uint64_t From = 0;
    uint64_t Result = 0;
  };
  std::shared_ptr<Stamps> stamps_;

 public:
  explicit QVNode(QVNodeGraph& graph) : stamps_(std::make_shared<Stamps>()), graph_(&graph) {}
  /// A frozen copy of source in graph: the same Name and Stamp, and the
  /// result stamps shared with source when frozen.Shared.
  QVNode(QVNodeGraph& graph, const QVNode& source, qv::FrozenCopy frozen)
      : stamps_(frozen.Shared ? source.stamps_ : std::make_shared<Stamps>()), graph_(&graph) {
    AssignName(source.Name());
    KeepStamp(source);
  }

  /// The largest stamp of this node's own settings and of what it reads.
  virtual uint64_t SourceStamp() const = 0;
  /// Computes the node's result; false when the pass was stopped.
  virtual bool Compute(const qv::Pass& pass) = 0;

  /// The SourceStamp the result was last completely computed from (0: never).
  uint64_t ComputedFrom() const { return stamps_->From; }
  /// Taken when the result was last completely computed; what readers compare.
  uint64_t ResultStamp() const { return stamps_->Result; }
  /// The graph whose registry holds this node.
  QVNodeGraph& Graph() const { return *graph_; }

 protected:
  /// The end of every node's Update, once its inputs are up to date: a node
  /// whose SourceStamp is newer than ComputedFrom is computed. False when the
  /// pass was stopped before the result was complete.
  bool FinishUpdate(const qv::Pass& pass);
  /// Runs work, the body of Compute, and records the stamps when it completes.
  template <typename Work>
  bool RecordCompletion(Work work) {
    const uint64_t from = SourceStamp();
    if (!work()) return false;
    stamps_->From = from;
    stamps_->Result = qv::NextStamp();
    return true;
  }

 private:
  friend class QVNodeGraph;  // renames: the graph keeps an index of the names
  QVNodeGraph* graph_;
};
