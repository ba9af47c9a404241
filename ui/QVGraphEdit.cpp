#include "ui/QVGraphEdit.h"

#include <QCoreApplication>
#include <algorithm>
#include <stdexcept>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"
#include "ui/QVText.h"

namespace qv {

namespace {

const QVSourceList& ListOf(const QVMixer& mixer, MixerList list) {
  return list == MixerList::Source ? mixer.SourceList() : mixer.TransparenceList();
}

void Replace(QVMixer& mixer, MixerList list, QVSourceList elements) {
  if (list == MixerList::Source) {
    mixer.SetSourceList(std::move(elements));
  } else {
    mixer.SetTransparenceList(std::move(elements));
  }
}

void CheckIndex(const QVSourceList& elements, int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= elements.size()) {
    throw std::out_of_range("no list element " + std::to_string(i));
  }
}

bool Names(const QVSourceList& list, const QVEffector* effector) {
  return std::any_of(list.begin(), list.end(),
                     [effector](const QVSourceElement& e) { return e.Effector == effector; });
}

}  // namespace

std::string ConnectionText(Connection kind) {
  switch (kind) {
    case Connection::Source:
      return FromQString(QCoreApplication::translate("QVGraphEdit", "入力"));
    case Connection::SourceMask:
      return FromQString(QCoreApplication::translate("QVGraphEdit", "入力（マスク）"));
    case Connection::Transparence:
      return FromQString(QCoreApplication::translate("QVGraphEdit", "透過入力"));
    case Connection::TransparenceMask:
      return FromQString(QCoreApplication::translate("QVGraphEdit", "透過入力（マスク）"));
  }
  return "";
}

void Connect(QVMixer& mixer, QVEffector& effector, Connection kind) {
  const int32_t op =
      kind == Connection::SourceMask || kind == Connection::TransparenceMask ? '*' : '+';
  if (kind == Connection::Source || kind == Connection::SourceMask) {
    mixer.AppendSource(op, &effector);
  } else {
    mixer.AppendTransparence(op, &effector);
  }
}

void RemoveElement(QVMixer& mixer, MixerList list, int32_t i) {
  CheckIndex(ListOf(mixer, list), i);
  if (list == MixerList::Source) {
    mixer.RemoveSource(i);
  } else {
    mixer.RemoveTransparence(i);
  }
}

void MoveElement(QVMixer& mixer, MixerList list, int32_t from, int32_t to) {
  QVSourceList elements = ListOf(mixer, list);
  CheckIndex(elements, from);
  CheckIndex(elements, to);
  if (from == to) return;
  const QVSourceElement moved = elements[static_cast<size_t>(from)];
  elements.erase(elements.begin() + from);
  elements.insert(elements.begin() + to, moved);
  Replace(mixer, list, std::move(elements));
}

std::vector<std::string> NodeUsers(const QVNodeGraph& graph, const QVNode& node) {
  std::vector<std::string> users;
  for (const QVEffector* e : graph.Effectors) {
    if (e->Generator() == &node) users.push_back(e->Name());
  }
  for (const QVMixer* m : graph.Mixers) {
    const auto* effector = dynamic_cast<const QVEffector*>(&node);
    const bool lists =
        effector && (Names(m->SourceList(), effector) || Names(m->TransparenceList(), effector));
    if (lists || m->BaseMixer() == &node) users.push_back(m->Name());
  }
  return users;
}

std::string DeleteQuestion(const QVNode& node, const std::vector<std::string>& users) {
  std::string names;
  for (const std::string& user : users) names += (names.empty() ? "" : "、") + user;
  return FromQString(
      QCoreApplication::translate("QVGraphEdit",
                                  "「%1」は %2 が使っています。削除すると、その参照もなくなります。"
                                  "削除しますか？")
          .arg(ToQString(node.Name()), ToQString(names)));
}

std::string RenderProblem(const QVNodeGraph& graph) {
  if (graph.Mixers.empty()) {
    return FromQString(QCoreApplication::translate(
        "QVGraphEdit",
        "プロジェクトにミキサーがないため、描画する画像がありません。"
        "コントローラの空いた所を右クリックして、ミキサーを追加してください。"));
  }
  for (const QVMixer* m : graph.Mixers) {
    if (m->MaskSW()) continue;  // it passes its base through and reads no list
    if (m->SourceList().empty()) {
      return FromQString(QCoreApplication::translate(
                             "QVGraphEdit",
                             "ミキサー「%1」に入力がないため描画できません。"
                             "ミキサーのパネルを右クリックして、エフェクタを入力してください。")
                             .arg(ToQString(m->Name())));
    }
    for (const QVSourceList* list : {&m->SourceList(), &m->TransparenceList()}) {
      for (const QVSourceElement& e : *list) {
        if (e.Effector->Generator()) continue;
        return FromQString(
            QCoreApplication::translate("QVGraphEdit",
                                        "エフェクタ「%1」にジェネレータがないため描画できません。"
                                        "エフェクタの編集画面でジェネレータを選んでください。")
                .arg(ToQString(e.Effector->Name())));
      }
    }
  }
  return "";
}

}  // namespace qv
