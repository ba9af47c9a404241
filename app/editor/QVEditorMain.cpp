// The editor module's entry point: qvell loads this module and calls it when
// the editor opens (see app/QVEditorLoader.h).
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/editor/QVEditorStart.h"

namespace {

// Qt ends the process on a fatal message (a display that cannot be opened);
// say so in the command line's words first.
void ReportFatal(QtMsgType type, const QMessageLogContext&, const QString& message) {
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "qvell: error: the editor cannot start (see above)\n");
    std::fflush(stderr);
    std::_Exit(3);
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int qvell_editor_main(const char* project) {
  qInstallMessageHandler(ReportFatal);
  static int argc = 1;
  static char name[] = "qvell";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  qv::ConfigureApplication(app);
  QApplication::setQuitOnLastWindowClosed(false);  // the viewer's close ends the program
  std::unique_ptr<qv::EditorWindows> windows = qv::StartEditor(project ? project : "");
  return QApplication::exec();
}
