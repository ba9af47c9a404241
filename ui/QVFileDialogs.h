#pragma once
// The editor's file dialogs: the project open dialog and the picture-save
// dialog (whose chosen type gives a typed name without an extension its
// extension, and which previews the picture), both opened in the last
// folder used. Qt's own dialog, not the platform's, so the additions show
// everywhere. UI thread.
#include <QImage>
#include <string>

#include "source/QVProjectFile.h"

class QFileDialog;

namespace qv {

/// The extension a name filter's last "(*.ext)" gives ("qvl" for
/// "ソース（*.qvl） (*.qvl)"); "" when it has none.
std::string SuffixOfNameFilter(const std::string& filter);

/// Sets up dialog as the open dialog: project files and PNGs that carry one.
void SetUpOpenDialog(QFileDialog& dialog);
/// Sets up dialog as the picture-save dialog: bitmap, JPEG, PNG and project
/// text (UTF-8, or Shift-JIS for older files); the default extension follows
/// the chosen type; a preview shows the selected picture file, or shown (the
/// picture to save) when none is.
void SetUpSaveDialog(QFileDialog& dialog, const QImage& shown);
/// The project encoding of the type chosen in a dialog SetUpSaveDialog set up.
ProjectEncoding ChosenProjectEncoding(const QFileDialog& dialog);

/// Runs dialog in the last folder used and remembers the chosen file's
/// folder. The chosen file, or "" when cancelled.
std::string RunInLastFolder(QFileDialog& dialog);

}  // namespace qv
