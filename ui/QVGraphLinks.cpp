#include "ui/QVGraphLinks.h"

#include <algorithm>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"

namespace qv {

namespace {

std::vector<ElementView> Elements(const QVSourceList& list) {
  std::vector<ElementView> out;
  out.reserve(list.size());
  for (const QVSourceElement& e : list) out.push_back({e.Operator, e.Effector});
  return out;
}

// Row of node in nodes, or -1.
template <typename Node>
int32_t RowOf(const std::vector<Node*>& nodes, const void* node) {
  const auto it = std::find(nodes.begin(), nodes.end(), node);
  return it == nodes.end() ? -1 : static_cast<int32_t>(it - nodes.begin());
}

}  // namespace

std::vector<ElementView> SourceElements(const QVMixer& mixer) { return Elements(mixer.SourceList()); }

std::vector<ElementView> TransparenceElements(const QVMixer& mixer) {
  return Elements(mixer.TransparenceList());
}

std::string ElementLine(const ElementView& element) {
  const auto op = static_cast<unsigned char>(element.Operator);  // one character, as written
  return std::string(1, static_cast<char>(op)) + (element.Effector ? element.Effector->Name() : "");
}

std::vector<WorkspaceLink> GraphLinks(const std::vector<QVGenerator*>& generators,
                                      const std::vector<QVEffector*>& effectors,
                                      const std::vector<QVMixer*>& mixers) {
  std::vector<WorkspaceLink> links;
  for (size_t j = 0; j < effectors.size(); ++j) {
    const int32_t from = RowOf(generators, effectors[j]->Generator());
    if (from >= 0) links.push_back({NodeKind::Generator, from, static_cast<int32_t>(j)});
  }
  for (size_t j = 0; j < mixers.size(); ++j) {
    for (const auto& list : {SourceElements(*mixers[j]), TransparenceElements(*mixers[j])}) {
      for (const ElementView& e : list) {
        const int32_t from = RowOf(effectors, e.Effector);
        if (from >= 0) links.push_back({NodeKind::Effector, from, static_cast<int32_t>(j)});
      }
    }
  }
  return links;
}

}  // namespace qv
