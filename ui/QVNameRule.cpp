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
    return static_cast<const QVObject*>(n) != self && n->Name() == name;
  });
}

// Names are unique within the node's own graph (its project).
bool TakenByAnother(const std::string& name, const QVObject* self) {
  const auto* node = dynamic_cast<const QVNode*>(self);
  if (!node) return false;
  const QVNodeGraph& g = node->Graph();
  return TakenIn(g.Generators, name, self) || TakenIn(g.Effectors, name, self) ||
         TakenIn(g.Mixers, name, self);
}

}  // namespace

std::string CheckEditorName(const std::string& name, const QVObject* node) {
  if (name.empty()) return "名前を入力してください";
  if (TakenByAnother(name, node)) return "'" + name + "' は他のノードの名前です";
  if (!NameTextProblem(name).empty()) return "名前に空白や制御文字は使えません";
  return "";
}

}  // namespace qv
