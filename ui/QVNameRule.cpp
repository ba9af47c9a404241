#include "ui/QVNameRule.h"

#include <algorithm>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"

namespace qv {

namespace {

template <typename Node>
bool TakenIn(const std::vector<Node*>& nodes, const std::string& name, const QVObject* self) {
  return std::any_of(nodes.begin(), nodes.end(), [&](const Node* n) {
    return static_cast<const QVObject*>(n) != self && n->Name == name;
  });
}

bool TakenByAnother(const std::string& name, const QVObject* self) {
  const QVNodeGraph& g = LiveGraph();
  return TakenIn(g.Generators, name, self) || TakenIn(g.Effectors, name, self) ||
         TakenIn(g.Mixers, name, self);
}

}  // namespace

std::string CheckEditorName(const std::string& name, NodeKind kind, const QVObject* node) {
  if (name.empty()) return "名前を入力してください";
  if (TakenByAnother(name, node)) return "'" + name + "' は他のノードの名前です";
  if (!IsValidNodeName(name, kind, node)) return "名前に空白や制御文字は使えません";
  return "";
}

}  // namespace qv
