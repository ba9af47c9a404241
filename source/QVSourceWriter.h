#pragma once
// The project writer: the whole engine state as project text. Lines end in a
// line feed; a body is indented one tab deeper than its block. Writing never
// fails and changes nothing. UI thread, never during a pass.
#include <string>

class QVMain;
class QVSnapshot;
class QVNodeGraph;
class QVParameter;

namespace qv {

/// The parameter block, then every generator, effector and mixer of the live
/// graph in registry order.
std::string WriteProject(const QVMain& main);
/// The project text of a frozen copy (any thread: its settings never change).
std::string WriteProject(const QVSnapshot& snapshot);
/// The same for any parameters and graph.
std::string WriteProject(const QVParameter& parameter, const QVNodeGraph& graph);

}  // namespace qv
