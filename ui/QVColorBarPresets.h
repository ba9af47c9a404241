#pragma once
// Colour-bar presets: the built-in bars, the bars the user saved in a folder
// of colour-bar files (by default "colorbars" under the application's data
// folder), and the import and export of one colour-bar file. Each failure
// comes back as a message for the user, in the editor's language; nothing
// here shows anything. UI thread.
#include <QString>
#include <vector>

#include "engine/QVColorBar.h"

namespace qv {

struct ColorBarPreset {
  QString Name;
  ColorBar Bar;
};

/// The built-in bars, in menu order, with their names translated.
std::vector<ColorBarPreset> BuiltinColorBars();

/// Reads the colour-bar file at path into bar; "" on success, else what went
/// wrong and where (bar is then unchanged).
QString ImportColorBar(const QString& path, ColorBar& bar);
/// Writes bar to path, replacing it whole or not at all; "" or the message.
QString ExportColorBar(const QString& path, const ColorBar& bar);

class ColorBarPresetFolder {
 public:
  /// The folder at path; it is created when the first preset is saved.
  explicit ColorBarPresetFolder(QString path) : path_(std::move(path)) {}
  /// "colorbars" under the application's writable data folder.
  static QString DefaultPath();
  const QString& Path() const { return path_; }

  /// The presets saved in the folder, by name; a file that does not read adds
  /// its message to problems (may be null) and is left out.
  std::vector<ColorBarPreset> Load(QStringList* problems) const;
  /// Saves bar as the preset name, replacing one of that name; "" or the
  /// message (a name that cannot be a file name is refused).
  QString Save(const QString& name, const ColorBar& bar) const;

 private:
  QString FileOf(const QString& name) const;

  QString path_;
};

}  // namespace qv
