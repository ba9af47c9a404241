#include "ui/QVNameRule.h"

#include <QCoreApplication>
#include <algorithm>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"
#include "ui/QVText.h"

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
  if (name.empty()) {
    return FromQString(QCoreApplication::translate("QVNameRule", "名前を入力してください"));
  }
  if (TakenByAnother(name, node)) {
    return FromQString(QCoreApplication::translate("QVNameRule", "'%1' は他のノードの名前です")
                           .arg(ToQString(name)));
  }
  if (!NameTextProblem(name).empty()) {
    return FromQString(
        QCoreApplication::translate("QVNameRule", "名前に空白や制御文字は使えません"));
  }
  return "";
}

}  // namespace qv
