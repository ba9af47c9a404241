// qvell-screenshots OUT: draws every editor window into PNG files in the
// folder OUT (scripts/screenshots runs it under Xvfb or offscreen). Each
// picture carries a strip with the window's caption, since a window grab
// shows no title bar.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <string>

#include "app/editor/QVEditorStart.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "source/QVSourceWriter.h"
#include "ui/QVEditSession.h"
#include "ui/QVHelp.h"
#include "ui/QVText.h"
#include "ui/UnitController.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitFormEffector.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitFormMixer.h"
#include "ui/UnitPanel.h"
#include "ui/UnitParameter.h"
#include "ui/UnitViewer.h"

namespace {

// Runs the event loop until done() or the timeout; false on a timeout.
bool WaitFor(const char* what, const std::function<bool()>& done, int milliseconds = 60000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > milliseconds) {
      std::fprintf(stderr, "timed out waiting for %s\n", what);
      return false;
    }
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

bool Save(QWidget* window, const QString& path) {
  QApplication::processEvents();
  const QPixmap grab = window->grab();
  const int strip = 24;
  QImage shot(grab.width(), grab.height() + strip, QImage::Format_RGB32);
  shot.fill(QColor(60, 60, 70));
  QPainter painter(&shot);
  painter.setPen(Qt::white);
  painter.setFont(QApplication::font());
  painter.drawText(QRect(8, 0, grab.width() - 16, strip), Qt::AlignVCenter, window->windowTitle());
  painter.drawPixmap(0, strip, grab);
  painter.end();
  const bool ok = shot.save(path, "PNG");
  std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
  return ok;
}

void Mouse(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, QPointF(p), target->mapToGlobal(QPointF(p)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qvell-screenshots OUT\n");
    return 1;
  }
  QApplication app(argc, argv);
  qv::ConfigureApplication(app);
  // The windows as a first run shows them: the user's remembered geometry
  // stays out, and nothing is remembered from here.
  const QTemporaryDir settings;
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.path())) return 1;
  std::unique_ptr<qv::EditorWindows> windows = qv::StartEditor("");
  TForm1& form = *windows->Form1;
  TFormViewer& viewer = *windows->Viewer;
  bool ok = true;
  form.Button1Click();  // the source page shows the default project
  ok &= WaitFor("the source page", [&] { return !form.Busy(); });
  // A click on a panel selects it and shows its node's editor, bound to the node.
  const auto clickPanel = [&](qv::NodeKind kind) {
    QWidget* body = form.FrameController1->Panels(kind)[0]->Panel1;
    Mouse(body, QEvent::MouseButtonPress, {60, 24}, Qt::LeftButton);
    Mouse(body, QEvent::MouseButtonRelease, {60, 24}, Qt::LeftButton);
  };
  form.FrameController1->Panels(qv::NodeKind::Generator)[0]->Copy->trigger();  // "複製"
  for (qv::NodeKind kind : {qv::NodeKind::Generator, qv::NodeKind::Mixer, qv::NodeKind::Effector}) {
    clickPanel(kind);
  }
  const char* pages[] = {"main-parameter.png", "main-controller.png", "main-source.png"};
  for (int i = 0; i < 3; ++i) {
    form.PageControl1->setCurrentIndex(i);
    ok &= Save(&form, out.filePath(pages[i]));
  }
  form.PageControl1->setCurrentIndex(0);
  if (QWidget* help = qv::ShowHelp(&form)) {  // what F1 shows
    ok &= Save(help, out.filePath("help.png"));
    help->close();
  }
  const std::pair<QWidget*, const char*> editors[] = {
      {windows->FormGenerator.get(), "editor-generator.png"},
      {windows->FormEffector.get(), "editor-effector.png"},
      {windows->FormMixer.get(), "editor-mixer.png"}};
  for (const auto& [window, file] : editors) ok &= Save(window, out.filePath(file));

  // A render of the default project, then a selection placed on it.
  form.Button2Click();
  ok &= WaitFor("the first render",
                [&] { return !form.Main().Rendering() && !viewer.Picture().isNull(); });
  WaitFor(
      "the plain caption",
      [&] { return viewer.windowTitle() == qv::ToQString(viewer.BaseCaption); }, 5000);
  Mouse(viewer.ImageViewer, QEvent::MouseButtonPress, {200, 130}, Qt::LeftButton);
  Mouse(viewer.ImageViewer, QEvent::MouseMove, {260, 150}, Qt::LeftButton);
  Mouse(viewer.ImageViewer, QEvent::MouseButtonRelease, {260, 150}, Qt::LeftButton);
  ok &= Save(&viewer, out.filePath("viewer-selection.png"));

  // A larger and deeper picture, caught while it renders (the caption shows
  // progress); deep enough to outlast the caption's 100 ms timer anywhere.
  Mouse(viewer.ImageViewer, QEvent::MouseButtonRelease, {0, 0}, Qt::RightButton);
  form.FrameParameter1->EditWidth->setText("1200");
  form.FrameParameter1->EditHeight->setText("900");
  form.Main().Graph().Generators.front()->SetDepth(1000000);
  form.Button2Click();
  ok &= WaitFor("a progress caption", [&] { return viewer.windowTitle().contains('/'); });
  ok &= Save(&viewer, out.filePath("viewer-rendering.png"));
  // The same render's first preview: the exact pixels of every 8th row and
  // column, each filling its block, until finer passes and the picture come.
  ok &= WaitFor("a preview", [&] { return !viewer.Preview().isNull(); });
  ok &= Save(&viewer, out.filePath("viewer-preview.png"));
  form.Main().StopRender();
  QApplication::processEvents();

  // A long project loading in the background: the row above the buttons says
  // what goes on, with 中止.
  std::string big = qv::WriteProject(form.Main());
  const std::string last = "\tConvertData: 1 255 255 255\n";
  std::string entries;
  for (int i = 2; i < 1000000; ++i) entries += "\tConvertData: " + std::to_string(i) + " 9 9 9\n";
  big.insert(big.find(last) + last.size(), entries);
  const QString bigFile = QDir(settings.path()).filePath("long-project.qvl");
  QFile file(bigFile);
  ok &= file.open(QIODevice::WriteOnly) &&
        file.write(big.data(), qint64(big.size())) == qint64(big.size());
  file.close();
  form.Session().AskSave = [](const std::string&) { return QVEditSession::Answer::Discard; };
  form.LoadFile(qv::FromQString(bigFile));
  ok &= WaitFor("the progress row", [&] { return form.ProgressRow->isVisible(); });
  ok &= Save(&form, out.filePath("main-progress.png"));
  form.StopJob();
  return ok ? 0 : 1;
}
