#pragma once
// Start-up of the editor: the application's name and font, then the windows
// in their order: the viewer (the main window: closing it ends the program),
// the editing window, then the node editor windows, hidden. Main thread.
#include <QApplication>
#include <memory>
#include <string>

class TForm1;
class TFormEffector;
class TFormGenerator;
class TFormMixer;
class TFormViewer;

namespace qv {

/// The editor's windows. The node editors go first (their frames refer to the
/// engine), then the editing window (which owns the engine and stops its
/// render) before the viewer, whose canvas the render paints on.
struct EditorWindows {
  std::unique_ptr<TFormViewer> Viewer;
  std::unique_ptr<TForm1> Form1;
  std::unique_ptr<TFormEffector> FormEffector;
  std::unique_ptr<TFormGenerator> FormGenerator;
  std::unique_ptr<TFormMixer> FormMixer;
  ~EditorWindows();
};

/// Sets the application name "Q-Vell" and the editor's font.
void ConfigureApplication(QApplication& app);

/// Creates the windows in order and shows the viewer and the editing window.
/// A project (a project file or a PNG that carries one), when given, is loaded
/// as the load button does; a project that cannot be loaded is reported and
/// the default project stays.
std::unique_ptr<EditorWindows> StartEditor(const std::string& project);

}  // namespace qv
