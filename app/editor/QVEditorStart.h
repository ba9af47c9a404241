#pragma once
// Start-up of the editor: the application's name and font, then the windows
// in their order: the viewer (the main window: closing it ends the program),
// the editing window, then the node editor windows, hidden. Main thread.
#include <QApplication>
#include <memory>
#include <string>

class TForm1;
class TFormViewer;

namespace qv {

/// The editor's windows. Members are destroyed in reverse order: the editing
/// window (which owns the engine and stops its render) before the viewer,
/// whose canvas the render paints on.
struct EditorWindows {
  std::unique_ptr<TFormViewer> Viewer;
  std::unique_ptr<TForm1> Form1;
  ~EditorWindows();
};

/// Sets the application name "Q-Vell" and the editor's font.
void ConfigureApplication(QApplication& app);

/// Creates the windows in order and shows the viewer and the editing window.
/// A project, when given, is loaded as the load button does; a project that
/// cannot be loaded is reported and the default project stays.
std::unique_ptr<EditorWindows> StartEditor(const std::string& project);

}  // namespace qv
