// qvell-screenshots OUT: draws every editor window into PNG files in the
// folder OUT (scripts/screenshots runs it under Xvfb or offscreen). Each
// picture carries a strip with the window's caption, since a window grab
// shows no title bar.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>
#include <functional>
#include <string>

#include "app/editor/QVEditorStart.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "source/QVSourceWriter.h"
#include "ui/QVColorBarPresets.h"
#include "ui/QVColorBarWidgets.h"
#include "ui/QVEditSession.h"
#include "ui/QVFileDialogs.h"
#include "ui/QVHelp.h"
#include "ui/QVText.h"
#include "ui/UnitController.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitEffector.h"
#include "ui/UnitFormEffector.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitFormMixer.h"
#include "ui/UnitPanel.h"
#include "ui/UnitPanelMixer.h"
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

// window with popup (a menu open over it) painted where it shows.
bool SaveWithPopup(QWidget* window, QWidget* popup, const QString& path) {
  QApplication::processEvents();
  const QPixmap menu = popup->grab();
  const QPoint at = window->mapFromGlobal(popup->mapToGlobal(QPoint(0, 0)));
  QPixmap grab = window->grab();
  QPainter(&grab).drawPixmap(at, menu);
  QWidget copy;
  copy.setWindowTitle(window->windowTitle());
  copy.resize(grab.size());
  auto* label = new QLabel(&copy);
  label->setPixmap(grab);
  label->resize(grab.size());
  return Save(&copy, path);
}

void Mouse(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, QPointF(p), target->mapToGlobal(QPointF(p)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// The effector editor's colour bar: the fire preset with one stop added, a
// stop caught in the middle of a drag, then the preset menu.
bool SaveColorBarEditor(TFormEffector& window, const QDir& out) {
  TFrameEffector& frame = *window.FrameEffector1;
  const qv::ColorBarPreset fire = qv::BuiltinColorBars()[2];
  frame.ApplyColorBar(fire.Bar, fire.Name);
  QWidget* bar = frame.ImageColorBar;
  Mouse(bar, QEvent::MouseButtonPress, {240, 8}, Qt::LeftButton);
  QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(240, 8), bar->mapToGlobal(QPointF(240, 8)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &twice);
  Mouse(bar, QEvent::MouseButtonRelease, {240, 8}, Qt::LeftButton);
  QWidget* stops = frame.ImageColorBarStops;
  const int pad = qv::ColorBarStops::Pad;
  const int from = frame.ImageColorBarStops->Columns()[2] + pad;  // the stop at 0.6
  Mouse(stops, QEvent::MouseButtonPress, {from, 5}, Qt::LeftButton);
  Mouse(stops, QEvent::MouseMove, {from - 30, 5}, Qt::LeftButton);
  Mouse(stops, QEvent::MouseMove, {from - 60, 5}, Qt::LeftButton);
  bool ok = Save(&window, out.filePath("editor-effector-colorbar-drag.png"));
  Mouse(stops, QEvent::MouseButtonRelease, {from - 60, 5}, Qt::LeftButton);
  ok &= Save(&window, out.filePath("editor-effector-colorbar.png"));
  QMenu* menu = frame.ButtonColorBarPreset->menu();
  frame.ButtonColorBarPresetMenu(menu);
  menu->popup(
      frame.ButtonColorBarPreset->mapToGlobal(QPoint(0, frame.ButtonColorBarPreset->height())));
  ok &= Save(menu, out.filePath("editor-effector-presets.png"));
  menu->hide();
  return ok;
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
  ok &= SaveColorBarEditor(*windows->FormEffector, out);

  // The workspace once its thumbnails came: an effector and a mixer added from
  // its menu, the new effector connected to the new mixer through the mixer
  // panel's connection menu, which is shown over it.
  TFrameController& controller = *form.FrameController1;
  bool thumbnails = false;
  controller.OnThumbnailsShown = [&] { thumbnails = true; };
  controller.AddEffector();
  controller.AddMixer();
  const auto panel = [&](qv::NodeKind kind, size_t i) { return controller.Panels(kind)[i]; };
  for (TFramePanel* p : {panel(qv::NodeKind::Effector, 1), panel(qv::NodeKind::Mixer, 1)}) {
    Mouse(p->Panel1, QEvent::MouseButtonPress, {30, 24}, Qt::LeftButton);
    Mouse(p->Panel1, QEvent::MouseButtonRelease, {30, 24}, Qt::LeftButton);
  }
  auto* mixer = static_cast<TFramePanelMixer*>(panel(qv::NodeKind::Mixer, 1));
  mixer->N1->trigger();  // "入力"
  form.PageControl1->setCurrentIndex(1);
  ok &= WaitFor("the thumbnails", [&] { return thumbnails; });
  ok &= Save(&form, out.filePath("workspace-thumbnails.png"));
  form.show();
  mixer->PopupMenuPanel->popup(mixer->mapToGlobal(QPoint(40, 20)));
  ok &= SaveWithPopup(&form, mixer->PopupMenuPanel, out.filePath("workspace-connection-menu.png"));
  mixer->PopupMenuPanel->hide();
  controller.PopupMenuWorkSpace->popup(controller.ImageWorkSpace->mapToGlobal(QPoint(140, 120)));
  ok &= SaveWithPopup(&form, controller.PopupMenuWorkSpace, out.filePath("workspace-menu.png"));
  controller.PopupMenuWorkSpace->hide();
  form.PageControl1->setCurrentIndex(0);

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

  // "ビューアに表示" on the added effector's panel: its picture, named below.
  Mouse(viewer.ImageViewer, QEvent::MouseButtonRelease, {0, 0}, Qt::RightButton);
  bool nodeShown = false;
  viewer.OnNodeShown = [&] { nodeShown = true; };
  panel(qv::NodeKind::Effector, 1)->ShowInViewer->trigger();
  ok &= WaitFor("a node's picture", [&] { return nodeShown; });
  ok &= Save(&viewer, out.filePath("viewer-node.png"));

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
  WaitFor("the render to stop", [&] { return !form.Main().Rendering(); });

  // The examples menu, open over the editing window.
  // Its right edge at the button's, so the whole menu lies over the window.
  form.MenuExamplesPopup();  // filled, so that its width is known
  const QPoint below(form.ButtonExamples->width() - form.MenuExamples->sizeHint().width(),
                     form.ButtonExamples->height());
  form.MenuExamples->popup(form.ButtonExamples->mapToGlobal(below));
  WaitFor(
      "the examples menu", [&] { return form.MenuExamples->isVisible(); }, 5000);
  ok &= SaveWithPopup(&form, form.MenuExamples, out.filePath("main-examples.png"));
  // The showcase example chosen there renders at once.
  QAction* showcase = nullptr;
  for (QAction* action : form.MenuExamples->actions()) {
    if (action->text() == QStringLiteral("showcase")) showcase = action;
  }
  form.MenuExamples->hide();
  if (showcase) {
    // The edits above are dropped without the question.
    form.Session().AskSave = [](const std::string&) { return QVEditSession::Answer::Discard; };
    showcase->trigger();
    ok &= WaitFor("the showcase render",
                  [&] { return !form.Main().Rendering() && !viewer.Picture().isNull(); });
    WaitFor(
        "the plain caption",
        [&] { return viewer.windowTitle() == qv::ToQString(viewer.BaseCaption); }, 5000);
    ok &= Save(&viewer, out.filePath("viewer-showcase.png"));
  } else {
    std::fprintf(stderr, "the examples menu has no showcase (looked in %s)\n",
                 form.ExamplesDir.c_str());
    ok = false;
  }

  // The save dialog with the project type in Shift-JIS chosen, in a folder
  // that holds the showcase's picture and project.
  const QTemporaryDir folder;
  viewer.Picture().save(folder.filePath(QStringLiteral("showcase.png")));
  form.SaveToFile(qv::FromQString(folder.filePath(QStringLiteral("showcase.qvl"))));
  QFileDialog dialog(&form);
  qv::SetUpSaveDialog(dialog, viewer.Picture());
  dialog.setDirectory(folder.path());
  dialog.selectNameFilter(dialog.nameFilters().back());
  dialog.show();
  ok &= Save(&dialog, out.filePath("save-dialog.png"));
  dialog.hide();
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
