#include "ui/QVFileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "ui/QVErrorBox.h"
#include "ui/QVText.h"

namespace qv {

std::string DroppedFile(const QMimeData& data) {
  if (!data.hasUrls()) return "";
  const QList<QUrl> urls = data.urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return "";
  return FromQString(urls.front().toLocalFile());
}

bool TakeFileDrop(QWidget* window, QEvent* event,
                  const std::function<void(const std::string& path)>& load) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  auto* drop = static_cast<QDropEvent*>(event);  // the drag events derive from it
  const std::string path = DroppedFile(*drop->mimeData());
  if (path.empty() || !load) return false;
  drop->acceptProposedAction();
  if (type == QEvent::Drop) {
    QMetaObject::invokeMethod(
        window, [window, load, path] { Guarded(window, [&] { load(path); }); },
        Qt::QueuedConnection);
  }
  return true;
}

}  // namespace qv
