#include "ui/QVEditSession.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <stdexcept>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "ui/QVDocumentTitle.h"
#include "ui/QVEditorSettings.h"
#include "ui/QVErrorBox.h"
#include "ui/QVHelp.h"
#include "ui/QVText.h"
#include "ui/QVViewZoom.h"
#include "ui/UnitController.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitEffector.h"
#include "ui/UnitFormEffector.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitFormMixer.h"
#include "ui/UnitGenerator.h"
#include "ui/UnitMixer.h"
#include "ui/UnitParameter.h"
#include "ui/UnitViewer.h"

namespace qv {

std::string ProjectFingerprint(const QVMain& main) {
  std::string print;
  const auto add = [&print](const std::string& name, std::initializer_list<uint64_t> stamps) {
    print += name;
    for (const uint64_t stamp : stamps) print += ' ' + std::to_string(stamp);
    print += '\n';
  };
  add(main.Parameter.Name(), {main.Parameter.Stamp(), main.Parameter.FractalMethod().Stamp()});
  const QVNodeGraph& graph = main.Graph();
  for (const QVGenerator* g : graph.Generators) {
    add(g->Name(), {g->Stamp(), g->DivergenceMethod().Stamp(), g->OutputMethod().Stamp()});
  }
  for (const QVEffector* e : graph.Effectors)
    add(e->Name(), {e->Stamp(), e->RenderingMethod().Stamp()});
  for (const QVMixer* m : graph.Mixers) add(m->Name(), {m->Stamp()});
  return print;
}

}  // namespace qv

namespace {

QVEditSession::Answer AskWithBox(QWidget* parent, const std::string& file) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Q-Vell"),
                  file.empty() ? QVEditSession::tr("プロジェクトの変更を保存しますか？")
                               : QVEditSession::tr("「%1」への変更を保存しますか？")
                                     .arg(qv::ToQString(qv::FileNameOfPath(file))),
                  QMessageBox::NoButton, parent);
  QPushButton* save = box.addButton(QVEditSession::tr("保存"), QMessageBox::AcceptRole);
  QPushButton* discard =
      box.addButton(QVEditSession::tr("保存しない"), QMessageBox::DestructiveRole);
  box.addButton(QVEditSession::tr("キャンセル"), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.exec();
  if (box.clickedButton() == save) return QVEditSession::Answer::Save;
  if (box.clickedButton() == discard) return QVEditSession::Answer::Discard;
  return QVEditSession::Answer::Cancel;
}

bool IsProjectFile(const std::string& path) {
  const std::string name = qv::FileNameOfPath(path);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return true;  // saved as project text
  const std::string ext = QString::fromStdString(name.substr(dot + 1)).toLower().toStdString();
  return ext != "bmp" && ext != "jpg" && ext != "jpeg" && ext != "png";
}

}  // namespace

QVEditSession::QVEditSession(TForm1& form) : QObject(&form), form_(form) {
  AskSave = [this](const std::string& file) { return AskWithBox(&form_, file); };
  history_.Reset(qv::WriteProject(Main()));
  fingerprint_ = qv::ProjectFingerprint(Main());
  views_.Reset(CurrentView());
  checkpointTimer_.setSingleShot(true);
  connect(&checkpointTimer_, &QTimer::timeout, this,
          [this] { qv::Guarded(&form_, [this] { Checkpoint(); }); });
  form_.Button5->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(form_.Button5, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { ShowRecentFiles(form_.Button5->mapToGlobal(at)); });
  connect(form_.ToolButtonRecent, &QToolButton::clicked, this, [this] {
    ShowRecentFiles(form_.Button5->mapToGlobal(QPoint(0, form_.Button5->height())));
  });
  qApp->installEventFilter(this);
}

// The recent project files, newest first; choosing one loads it as the load
// button does.
void QVEditSession::ShowRecentFiles(const QPoint& at) {
  QMenu menu(&form_);
  const QStringList recent = qv::EditorSettings::RecentFiles();
  if (recent.isEmpty()) menu.addAction(tr("最近のファイルはありません"))->setEnabled(false);
  for (const QString& file : recent) {
    connect(menu.addAction(file), &QAction::triggered, this, [this, file] {
      qv::Guarded(&form_, [&] {
        if (ConfirmDiscard()) form_.LoadFile(qv::FromQString(file));
      });
    });
  }
  menu.exec(at);
}

QVMain& QVEditSession::Main() const { return form_.Main(); }

QVView QVEditSession::CurrentView() const { return qv::ViewOf(Main().Parameter); }

void QVEditSession::Checkpoint(std::string written) {
  checkpointTimer_.stop();
  std::string print = qv::ProjectFingerprint(Main());
  if (print == fingerprint_) return;
  fingerprint_ = std::move(print);
  history_.Record(written.empty() ? qv::WriteProject(Main()) : std::move(written));
  views_.Visit(CurrentView());
  UpdateTitles();
  form_.RefreshNodeViews();  // a rename or a link made in one window shows in all
}

void QVEditSession::Undo() {
  Checkpoint();  // an edit not recorded yet is undone first
  if (const std::string* text = history_.Undo()) Restore(*text);
}

void QVEditSession::Redo() {
  Checkpoint();
  if (const std::string* text = history_.Redo()) Restore(*text);
}

// The node editors let go of the old graph before it is replaced, and show
// the node of the same name in the restored one, if there is one.
void QVEditSession::Restore(const std::string& text) {
  const auto shown = [](QWidget* window, const QVObject* node) {
    return window && window->isVisible() && node ? node->Name() : std::string();
  };
  TFormGenerator* fg = form_.FormGenerator;
  TFormEffector* fe = form_.FormEffector;
  TFormMixer* fm = form_.FormMixer;
  const std::string generator = shown(fg, fg ? fg->FrameGenerator1->Generator() : nullptr);
  const std::string effector = shown(fe, fe ? fe->FrameEffector1->Effector() : nullptr);
  const std::string mixer = shown(fm, fm ? fm->FrameMixer1->Mixer() : nullptr);
  if (fg) fg->Release();
  if (fe) fe->Release();
  if (fm) fm->Release();
  const qv::ReadResult result = qv::ReadProject(Main(), text);
  if (!result.Ok) {
    throw std::runtime_error(qv::FromQString(tr("元に戻せませんでした。何も変更していません。\n%1")
                                                 .arg(qv::ToQString(result.Describe()))));
  }
  form_.FrameParameter1->UpdateView();
  form_.FrameController1->UpdateView();
  const QVNodeGraph& graph = Main().Graph();
  const auto reopen = [](QWidget* window, auto* frame, auto bind, auto* node) {
    if (!node) return;
    (frame->*bind)(node);
    frame->UpdateView();
    window->show();
  };
  if (!generator.empty()) {
    reopen(fg, fg->FrameGenerator1, &TFrameGenerator::SetGenerator, graph.FindGenerator(generator));
  }
  if (!effector.empty()) {
    reopen(fe, fe->FrameEffector1, &TFrameEffector::SetEffector, graph.FindEffector(effector));
  }
  if (!mixer.empty()) reopen(fm, fm->FrameMixer1, &TFrameMixer::SetMixer, graph.FindMixer(mixer));
  fingerprint_ = qv::ProjectFingerprint(Main());
  views_.Visit(CurrentView());
  UpdateTitles();
  if (form_.Viewer().PictureRef()) form_.Button2Click();
  form_.Viewer().RefreshPoint();
}

void QVEditSession::Back() {
  Checkpoint();
  if (const std::optional<QVView> view = views_.Back()) ShowView(*view);
}

void QVEditSession::Forward() {
  Checkpoint();
  if (const std::optional<QVView> view = views_.Forward()) ShowView(*view);
}

// The view is an edit like any other: it becomes a step of the undo history.
void QVEditSession::ShowView(const QVView& view) {
  qv::SetView(Main().Parameter, view);
  form_.FrameParameter1->UpdateView();
  Checkpoint();
  form_.Button2Click();
  form_.Viewer().RefreshPoint();
}

bool QVEditSession::ConfirmDiscard() {
  Checkpoint();
  if (!Modified()) return true;
  switch (AskSave(file_)) {
    case Answer::Save:
      return Save();
    case Answer::Discard:
      return true;
    case Answer::Cancel:
      break;
  }
  return false;
}

bool QVEditSession::Save(bool background) {
  if (file_.empty() || !IsProjectFile(file_)) return SaveAs(background);
  Checkpoint();
  bool saved = false;
  qv::Guarded(&form_, [&] {
    form_.SaveToFile(file_, 1, std::nullopt, background);
    saved = true;
  });
  return saved && !Modified();
}

bool QVEditSession::SaveAs(bool background) {
  Checkpoint();
  bool saved = false;
  qv::Guarded(&form_, [&] {
    const TForm1::SaveChoice choice = form_.RunSaveDialog();
    if (choice.Path.empty()) return;
    form_.SaveToFile(choice.Path, choice.Supersample, choice.Encoding, background);
    saved = IsProjectFile(choice.Path);
  });
  return saved && !Modified();
}

void QVEditSession::ProjectLoaded(const std::string& path) {
  Checkpoint();
  if (!path.empty()) {
    file_ = path;
    history_.MarkSaved();
    qv::EditorSettings::AddRecentFile(qv::ToQString(path));
  }
  UpdateTitles();
}

void QVEditSession::ProjectSaved(const std::string& path) {
  Checkpoint();
  ProjectSaved(path, history_.CurrentSerial());
}

void QVEditSession::ProjectSaved(const std::string& path, uint64_t serial) {
  file_ = path;
  history_.MarkSaved(serial);
  qv::EditorSettings::AddRecentFile(qv::ToQString(path));
  UpdateTitles();
}

void QVEditSession::UpdateTitles() {
  form_.BaseCaption = qv::DocumentTitle("DERevezaRudu", file_, Modified());
  if (!form_.Saving()) form_.setWindowTitle(qv::ToQString(form_.BaseCaption));
  TFormViewer& viewer = form_.Viewer();
  viewer.BaseCaption = qv::DocumentTitle("Q-Vell Viewer", file_, Modified());
  if (!Main().Rendering()) viewer.SetCaption();
}

// Keys of every window; a text edit keeps its own undo for the source page.
bool QVEditSession::TakeKey(const QKeyCombination& key, QObject* receiver) {
  const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
  // The source page, and a box holding typing not yet committed, undo and
  // redo their own typing first, as text fields do.
  const bool inSource = QApplication::focusWidget() == static_cast<QWidget*>(form_.Memo1);
  const auto* box = qobject_cast<const QLineEdit*>(receiver);
  const bool typing = box && box->isModified() && !box->isReadOnly();
  const auto is = [&key](Qt::KeyboardModifiers modifiers, Qt::Key k) {
    return key == QKeyCombination(modifiers, k);
  };
  if (is(ctrl, Qt::Key_Z) && !inSource && !(typing && box->isUndoAvailable())) {
    Undo();
  } else if ((is(ctrl | shift, Qt::Key_Z) || is(ctrl, Qt::Key_Y)) && !inSource &&
             !(typing && box->isRedoAvailable())) {
    Redo();
  } else if (is(Qt::AltModifier, Qt::Key_Left)) {
    Back();
  } else if (is(Qt::AltModifier, Qt::Key_Right)) {
    Forward();
  } else if (is(ctrl, Qt::Key_O)) {
    form_.Button5Click();
  } else if (is(ctrl, Qt::Key_S)) {
    Save(true);
  } else if (is(ctrl | shift, Qt::Key_S)) {
    SaveAs(true);
  } else if (is(Qt::NoModifier, Qt::Key_F1)) {
    QWidget* over = QApplication::activeWindow();
    qv::ShowHelp(over ? over : &form_);
  } else {
    return false;
  }
  return true;
}

void QVEditSession::ScheduleCheckpoint(int delayMs) {
  // A later wheel step puts the checkpoint off again, unless one is due now.
  if (delayMs > 0 && checkpointTimer_.isActive() && checkpointTimer_.interval() == 0) return;
  checkpointTimer_.start(delayMs);
}

// Seen before any window: the keys and the mouse's back and forward buttons
// are taken here; any other input is followed by a checkpoint once it has
// been handled (the wheel's once it rests).
bool QVEditSession::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      if (QApplication::activeModalWidget()) break;
      const QKeyCombination key = static_cast<QKeyEvent*>(event)->keyCombination();
      bool taken = false;
      qv::Guarded(&form_, [&] { taken = TakeKey(key, watched); });
      if (taken) return true;
      ScheduleCheckpoint(0);
      break;
    }
    case QEvent::MouseButtonPress: {
      const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
      if (button != Qt::BackButton && button != Qt::ForwardButton) break;
      if (QApplication::activeModalWidget()) break;
      qv::Guarded(&form_, [&] { button == Qt::BackButton ? Back() : Forward(); });
      return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Drop:
      ScheduleCheckpoint(0);
      break;
    case QEvent::Wheel:
      ScheduleCheckpoint(400);
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
