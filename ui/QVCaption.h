#pragma once
// The viewer's caption texts during a render: the base caption while a render
// starts, then the latest node's progress ("Q-Vell Viewer [Generator1
// 12/320]": rows done of the height), and the base caption again at the end.
// The editing window's caption while a save renders: its base caption with
// the file being written. Plain class; UI thread.
#include <QCoreApplication>
#include <cstdint>
#include <optional>
#include <string>

class QVCaption {
  Q_DECLARE_TR_FUNCTIONS(QVCaption)

 public:
  /// base + " [描画中]".
  static std::string Rendering(const std::string& base);
  /// base + " [NAME DONE/HEIGHT]".
  static std::string Progress(const std::string& base, const std::string& name, int done,
                              int height);
  /// base + " [保存中… FILE]".
  static std::string Saving(const std::string& base, const std::string& file);
};
