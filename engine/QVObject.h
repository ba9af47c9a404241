#pragma once
// QVObject: the base of every engine object (methods, global parameters, nodes,
// engine root) and its stamp.
//
// What a render recomputes is decided by stamps alone: every object carries a
// Stamp, an increasing number (shared by every project) taken whenever its
// output changes (a setter, or a node's completed computation). A node
// remembers the largest input stamp it was computed from, so a node whose
// inputs moved on while it was not recomputed (a stopped pass, a node not
// reached) is found out of date by the next pass, and any other is not.
#include <cstdint>
#include <string>
#include <utility>

/// Base of every engine object. Owned by its owner (methods by their node or
/// parameters, nodes by the node graph); used on the UI thread for edits and on
/// the render thread during a pass, never both at once.
class QVObject {
 public:
  QVObject() = default;
  QVObject(const QVObject&) = delete;
  QVObject& operator=(const QVObject&) = delete;
  virtual ~QVObject() = default;

  /// A node's name is set through its graph (QVNodeGraph::Rename), a method's
  /// is its class's display name, the parameters' through QVParameter::SetName.
  const std::string& Name() const { return name_; }
  /// When this object's output last changed (see file comment).
  uint64_t Stamp() const { return stamp_; }
  /// What every setter does: a fresh Stamp.
  void MarkChanged();

 protected:
  void AssignName(std::string name) { name_ = std::move(name); }
  /// A frozen copy's: the stamp of the object it copies.
  void KeepStamp(const QVObject& source) { stamp_ = source.stamp_; }

 private:
  std::string name_;
  uint64_t stamp_ = 0;
};

namespace qv {

/// A fresh stamp, larger than every stamp handed out before.
uint64_t NextStamp();

}  // namespace qv
