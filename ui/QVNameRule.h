#pragma once
// The rule for a name typed into a node editor: the engine's name check for
// the node's kind, and no other node of any kind may already have it. Project
// text links nodes by name, so a shared name would reload a project linked to
// the wrong node. UI thread only.
#include <string>

#include "engine/QVGraph.h"

class QVObject;

namespace qv {

/// Why name cannot become the name of node (a node of a project: no other
/// node of its graph, of any kind, may have it), as a message for the editor's
/// status line; empty when it can.
std::string CheckEditorName(const std::string& name, const QVObject* node);

}  // namespace qv
