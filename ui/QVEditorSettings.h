#pragma once
// What the editor remembers between runs: the last folder a file dialog
// used, the recently opened or saved project files, each window's geometry
// the language chosen for the texts and whether the depth follows the zoom. Kept in QSettings under
// the application's organisation and name (tests point them at a scratch place). UI thread.
#include <QStringList>
#include <string>

class QWidget;

namespace qv {

/// Recent files: path moved (or added) to the front, at most max kept.
QStringList PushRecent(QStringList recent, const QString& path, int max);

class EditorSettings {
 public:
  static constexpr int kMaxRecent = 8;

  /// The folder of the last file chosen in any dialog ("" at first).
  static QString LastFolder();
  /// Remembers the folder of file.
  static void SetLastFolderOf(const QString& file);
  /// The recent project files, newest first.
  static QStringList RecentFiles();
  static void AddRecentFile(const QString& file);
  /// Saves and restores a window's geometry under key (nothing restored the
  /// first time).
  static void SaveGeometry(const QString& key, const QWidget& window);
  static void RestoreGeometry(const QString& key, QWidget& window);
  /// The chosen language ("ja", "en"; "" follows the system), read at start-up.
  static QString Language();
  static void SetLanguage(const QString& language);
  /// Whether renders raise the depth as the scale shrinks ("深さ自動"; off at first).
  static bool AutoDepth();
  static void SetAutoDepth(bool on);
};

}  // namespace qv
