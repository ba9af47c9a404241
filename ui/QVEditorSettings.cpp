#include "ui/QVEditorSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QWidget>

namespace qv {

QStringList PushRecent(QStringList recent, const QString& path, int max) {
  recent.removeAll(path);
  recent.prepend(path);
  while (recent.size() > max) recent.removeLast();
  return recent;
}

QString EditorSettings::LastFolder() { return QSettings().value("LastFolder").toString(); }

void EditorSettings::SetLastFolderOf(const QString& file) {
  QSettings().setValue("LastFolder", QFileInfo(file).absolutePath());
}

QStringList EditorSettings::RecentFiles() {
  return QSettings().value("RecentFiles").toStringList();
}

void EditorSettings::AddRecentFile(const QString& file) {
  const QString path = QFileInfo(file).absoluteFilePath();
  QSettings().setValue("RecentFiles", PushRecent(RecentFiles(), path, kMaxRecent));
}

void EditorSettings::SaveGeometry(const QString& key, const QWidget& window) {
  QSettings().setValue("Geometry/" + key, window.saveGeometry());
}

void EditorSettings::RestoreGeometry(const QString& key, QWidget& window) {
  const QByteArray geometry = QSettings().value("Geometry/" + key).toByteArray();
  if (!geometry.isEmpty()) window.restoreGeometry(geometry);
}

QString EditorSettings::Language() { return QSettings().value("Language").toString(); }

void EditorSettings::SetLanguage(const QString& language) {
  QSettings().setValue("Language", language);
}

bool EditorSettings::AutoDepth() { return QSettings().value("AutoDepth", false).toBool(); }

void EditorSettings::SetAutoDepth(bool on) { QSettings().setValue("AutoDepth", on); }

}  // namespace qv
