#pragma once
// Whether two projects write the same project text, found without writing it
// all: two objects in the same place with the same stamps hold the same
// settings (every setter takes a fresh stamp, and a frozen copy keeps the
// stamps of what it copies), so only the blocks of objects whose stamps differ
// are written and compared. Names, which no stamp covers, are compared as
// they are. So a render of a large project is not started again when nothing
// changed, nor delayed by a text written in full. Each project on its own
// thread (a frozen copy on any).

class QVNodeGraph;
class QVParameter;

namespace qv {

/// True when the two projects write the same project text.
bool SameProject(const QVParameter& a, const QVNodeGraph& graphA, const QVParameter& b,
                 const QVNodeGraph& graphB);

}  // namespace qv
