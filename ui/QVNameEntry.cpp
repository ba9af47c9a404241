#include "ui/QVNameEntry.h"

#include <QLineEdit>

#include "engine/QVMain.h"
#include "engine/QVNode.h"
#include "ui/QVEntryMarks.h"
#include "ui/QVNameRule.h"
#include "ui/QVText.h"

namespace qv {

void CheckName(QVEntryMarks& marks, QLineEdit* box, const QVObject* node) {
  if (node) marks.Mark(box, CheckEditorName(FromQString(box->text()), node));
}

void StoreName(QVEntryMarks& marks, QLineEdit* box, QVObject* node) {
  if (!node) return;
  const std::string name = FromQString(box->text());
  const std::string message = CheckEditorName(name, node);
  marks.Mark(box, message);
  if (!message.empty() || name == node->Name()) return;
  auto& graphNode = dynamic_cast<QVNode&>(*node);
  graphNode.Graph().Rename(graphNode, name);
}

}  // namespace qv
