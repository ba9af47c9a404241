#pragma once
// The short help: every gesture and key of the editor's windows, shown over
// the window the user works in when F1 is pressed. UI thread.
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace qv {

/// The help's rows: a gesture or key, and what it does (in the current language).
std::vector<std::pair<std::string, std::string>> HelpRows();

/// Shows the help as a window of its own over parent (one at a time; any
/// key or a click closes it) and returns it; when it is shown already, closes
/// it and returns null.
QWidget* ShowHelp(QWidget* parent);

}  // namespace qv
