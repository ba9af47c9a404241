#pragma once
// QVSnapshot: a frozen copy of a project, what a render computes. It copies
// the global parameters and every node with its settings and stamps, so the
// owner may go on editing (or delete nodes) while a render runs: the render
// never looks at the nodes the user edits. Copies are cheap: the colour bars
// are shared (an effector replaces its bar on every edit, never changes it in
// place), and so are the results, unless the copy is detached (see
// qv::FrozenCopy), so a node whose inputs did not change is not computed again.
//
// A snapshot is taken on the thread that owns the project; afterwards it
// belongs to whoever runs it (one pass at a time). Its settings never change,
// so another thread may read them (to write the project text) at any time.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "engine/QVGraph.h"
#include "engine/QVNode.h"
#include "engine/QVParameter.h"
#include "engine/QVPass.h"

class QVMixer;

class QVSnapshot {
 public:
  QVSnapshot(const QVParameter& parameter, const QVNodeGraph& graph, qv::FrozenCopy frozen = {});
  QVSnapshot(const QVSnapshot&) = delete;
  QVSnapshot& operator=(const QVSnapshot&) = delete;

  const QVParameter& Parameter() const { return parameter_; }
  const QVNodeGraph& Graph() const { return graph_; }
  /// The same graph, for whoever runs the copy to compute single nodes in
  /// place (their results only; the settings stay as frozen).
  QVNodeGraph& ComputedGraph() { return graph_; }
  /// The picture's mixer (the last one), or null.
  const QVMixer* Output() const;

  /// Changes the window of the copy (a band or a region of the picture; see
  /// QVParameter::Window). For detached copies: the results of a shared copy
  /// belong to the whole picture.
  void SetWindow(qv::PixelRect window) { parameter_.ChangeWindow(window); }
  /// Changes the picture size of the copy (a supersampled render computes the
  /// same framing w x h). For detached copies only, as SetWindow.
  void SetSize(int32_t w, int32_t h) {
    parameter_.ChangeWidth(w);
    parameter_.ChangeHeight(h);
  }

  /// Runs one pass on the calling thread (see qv::RunPass).
  bool RunPass(const qv::Pass& pass, int64_t hostBytes = 0);

 private:
  QVParameter parameter_;
  QVNodeGraph graph_;  // after parameter_: the generators point at it
};

namespace qv {

/// Bytes a pass over graph at parameter's size holds at once: the fields of
/// every node (those already of the right size count as nothing), the
/// workers' row buffers, the copy of the picture handed to the host, and
/// hostBytes. INT64_MAX when it cannot be counted.
int64_t RequiredBytes(const QVParameter& parameter, const QVNodeGraph& graph, int32_t workers,
                      int64_t hostBytes);
/// "a picture of W x H pixels needs N MiB of memory ..., but only M MiB are
/// available; lower Width and Height".
std::string MemoryMessage(const QVParameter& parameter, int64_t required);
/// What RunPass throws for a picture that needs more memory than is available.
class MemoryRefusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One pass over graph on the calling thread: brings the last mixer up to
/// date. Returns false when stopped (the nodes not finished stay out of date).
/// Throws when the memory the pass needs is not available, and on errors.
bool RunPass(const QVParameter& parameter, QVNodeGraph& graph, const Pass& pass,
             int64_t hostBytes = 0);

}  // namespace qv
