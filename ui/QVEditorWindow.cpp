#include "ui/QVEditorWindow.h"

#include <QSignalBlocker>
#include <QVBoxLayout>
#include <vector>

#include "ui/QVStatusLine.h"

namespace qv {

QVStatusLine* LayOutEditor(QWidget* window, QWidget* frame) {
  auto* layout = new QVBoxLayout(window);
  layout->addWidget(frame);
  auto* status = new QVStatusLine(window);
  layout->addWidget(status);
  return status;
}

void ReleaseEditor(QWidget* window, const std::function<void()>& clear) {
  {
    std::vector<QSignalBlocker> blockers;
    blockers.emplace_back(window);
    for (QObject* child : window->findChildren<QObject*>()) blockers.emplace_back(child);
    clear();
  }
  window->hide();
}

}  // namespace qv
