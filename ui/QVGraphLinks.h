#pragma once
// What the editor reads of the node graph's links: the elements of a mixer's
// two lists, and every link of the live graph as panel rows in drawing order.
// The one place in the editor that reads a mixer's lists. UI thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/QVGraph.h"

class QVEffector;
class QVGenerator;
class QVMixer;

namespace qv {

/// One element of a mixer's source or transparence list.
struct ElementView {
  int32_t Operator = '+';
  const QVEffector* Effector = nullptr;
};

std::vector<ElementView> SourceElements(const QVMixer& mixer);
std::vector<ElementView> TransparenceElements(const QVMixer& mixer);

/// The list line of an element: its operator character, then its effector's name.
std::string ElementLine(const ElementView& element);

/// A link drawn on the workspace: from a panel of kind From (generator or
/// effector) in row FromRow to the next column's panel in row ToRow.
struct WorkspaceLink {
  NodeKind From = NodeKind::Generator;
  int32_t FromRow = 0;
  int32_t ToRow = 0;
  bool operator==(const WorkspaceLink&) const = default;
};

/// Every link of the given registries in drawing order: each effector's
/// generator, then per mixer its source elements and its transparence elements.
/// A link to a node that is not in the registries has no panel and is left out.
std::vector<WorkspaceLink> GraphLinks(const std::vector<QVGenerator*>& generators,
                                      const std::vector<QVEffector*>& effectors,
                                      const std::vector<QVMixer*>& mixers);

}  // namespace qv
