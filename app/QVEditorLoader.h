#pragma once
// Opening the editor from the command line. The editor (Qt) lives in a
// module of its own, qvell-editor.so, which qvell loads only when the editor
// opens, so the commands never load Qt. The module is looked for next to the
// qvell executable (the build tree), then in ../lib/qvell/ beside its folder
// (an installed layout). Main thread.
#include <string>
#include <vector>

namespace qv {

/// The name of the function the module exports:
/// int qvell_editor_main(const char* project) — project may be "" (the
/// default project); returns the process's exit code.
inline constexpr const char* kEditorEntry = "qvell_editor_main";
inline constexpr const char* kEditorModule = "qvell-editor.so";

/// True when a display is there to open the editor on: DISPLAY or
/// WAYLAND_DISPLAY set, or a Qt platform given in QT_QPA_PLATFORM.
bool HasDisplay();

/// The paths tried for the module, in order, for an executable in exeDir.
std::vector<std::string> EditorModuleCandidates(const std::string& exeDir);

/// Loads the module and runs the editor with project ("" = default project).
/// Returns the exit code; a missing or broken module is reported as
/// CommandError does, naming the places searched.
int RunEditor(const std::string& project);

}  // namespace qv
