#pragma once
// The captions of the editor's windows: the window's own caption, the name
// of the project file and a mark for changes not saved yet, as in
// "Q-Vell Viewer — name.qvl *". Plain function; any thread.
#include <string>

namespace qv {

/// base, then " — " and the file name of path when there is one, then " *"
/// when modified.
std::string DocumentTitle(const std::string& base, const std::string& path, bool modified);

/// The part of path after its last '/'.
std::string FileNameOfPath(const std::string& path);

}  // namespace qv
