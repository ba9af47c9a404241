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

#include "base/QVScan.h"

/// Base of every engine object. Owned by its owner (methods by their node or
/// parameters, nodes by the node graph); used on the UI thread for edits and on
/// the render thread during a pass, never both at once.
class QVObject {
 public:
  QVObject() = default;
  QVObject(const QVObject&) = delete;
  QVObject& operator=(const QVObject&) = delete;
  virtual ~QVObject() = default;

  std::string Name;
  uint64_t Stamp = 0;     ///< When this object's output last changed (see file comment).

  /// The body of this object as project text, every line prefixed with indent.
  virtual std::string WriteSource(const std::string& indent) const = 0;
  /// Reads the body from the front of text; true = failure (recorded in text).
  virtual bool ReadSource(qv::SourceText& text) = 0;
  /// What every setter does: a fresh Stamp.
  void MarkChanged();
};

namespace qv {

/// A fresh stamp, larger than every stamp handed out before.
uint64_t NextStamp();

/// The block form of any object: name line, "{", body one tab deeper, "}", empty line.
std::string WriteBlock(const QVObject& object, const std::string& indent);
/// Reads a block: the name word into Name, "{", the body, "}", trailing whitespace.
bool ReadBlock(QVObject& object, SourceText& text);

}  // namespace qv
