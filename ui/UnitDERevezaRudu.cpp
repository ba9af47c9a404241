#include "ui/UnitDERevezaRudu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "engine/QVMain.h"
#include "engine/QVSnapshot.h"
#include "image/QVPngReader.h"
#include "image/QVSupersample.h"
#include "source/QVProjectFile.h"
#include "source/QVProjectInput.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "ui/QVBackgroundJob.h"
#include "ui/QVCaption.h"
#include "ui/QVDocumentTitle.h"
#include "ui/QVEditHistory.h"
#include "ui/QVEditSession.h"
#include "ui/QVErrorBox.h"
#include "ui/QVExamples.h"
#include "ui/QVFileDialogs.h"
#include "ui/QVFileDrop.h"
#include "ui/QVFileMessages.h"
#include "ui/QVLanguageMenu.h"
#include "ui/QVPictureSaveJob.h"
#include "ui/QVText.h"
#include "ui/QVTextFill.h"
#include "ui/UnitController.h"
#include "ui/UnitEffector.h"
#include "ui/UnitFormEffector.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitFormMixer.h"
#include "ui/UnitMixer.h"
#include "ui/UnitParameter.h"
#include "ui/UnitViewer.h"

namespace {

// What a PNG that did not give a project says: that it carries none (an
// ordinary picture), or why it cannot be read at all.
std::string PictureLoadError(const std::string& path, const qv::PngReadError& error) {
  if (dynamic_cast<const qv::PngNoProjectError*>(&error)) {
    return qv::FromQString(
        QCoreApplication::translate("TForm1",
                                    "「%1」はプロジェクトを含まない PNG です。"
                                    "Q-Vell で保存した PNG か、ソース（*.qvl）を選んでください。"
                                    "何も変更していません。")
            .arg(qv::ToQString(path)));
  }
  return qv::LoadFailureText(path, std::string(error.what()));
}

// What a long read or write does, shortened to the room beside the page
// tabs; the whole text is the tip.
void ShowJobLabel(QLabel* label, const QString& text) {
  label->setToolTip(text);
  label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, 96));
}

// Whether path names a file now (a failed save then says that it stays).
bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

// Runs write; a failure is told with the file's name, in the editor's words.
template <typename Write>
void WriteOrSay(const std::string& path, Write&& write) {
  const bool hadFile = FileExists(path);
  try {
    write();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const qv::ProjectFileError& e) {
    throw std::runtime_error(qv::SaveFailureText(path, hadFile, e));
  } catch (const std::exception& e) {
    throw std::runtime_error(qv::SaveFailureText(path, hadFile, e.what()));
  }
}

}  // namespace

TForm1::TForm1(TFormViewer* viewer) : viewer_(viewer), main_(std::make_unique<QVMain>()) {
  main_->OnRenderStart = [this] { qv::Guarded(viewer_, [this] { RenderStart(); }); };
  main_->OnRenderEnd = [this] { qv::Guarded(viewer_, [this] { RenderEnd(); }); };
  main_->OnRenderError = [this](const QVMain::RenderFailure& failure) {
    qv::Guarded(viewer_, [&] { RenderError(qv::RenderFailureText(failure)); });
  };
  setWindowTitle(qv::ToQString(BaseCaption));
  setAcceptDrops(true);
  resize(467, 443);
  BuildPages();
  BuildButtons();
  ProgressTimer = new QTimer(this);
  ProgressTimer->setInterval(100);
  SaveTimer = new QTimer(this);
  SaveTimer->setInterval(100);
  JobTimer = new QTimer(this);
  JobTimer->setInterval(100);
  saveJob_ = std::make_unique<QVPictureSaveJob>(savePoster_);
  job_ = std::make_unique<QVBackgroundJob>(savePoster_);
  fill_ = new QVTextFill(Memo1);
  RunOpenDialog = [this] { return OpenDialog1Execute(); };
  RunSaveDialog = [this] { return SavePictureDialog1Execute(); };
  ExamplesDir = qv::ExamplesFolder(qv::FromQString(QCoreApplication::applicationDirPath()));
  ConnectHandlers();
  FormCreate();
  session_ = new QVEditSession(*this);
}

// A running save is stopped and its thread joined within milliseconds (its
// end never runs; the old file stays), and the engine stops: no render may
// outlive the canvas or the hooks.
TForm1::~TForm1() {
  saveJob_.reset();
  job_.reset();
  main_->StopRender();
}

void TForm1::closeEvent(QCloseEvent* event) {
  bool close = false;
  qv::Guarded(this, [&] { close = session_->ConfirmDiscard(); });
  if (!close) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
  // exit, not quit: quit would ask every window to close again, and ask again.
  QApplication::exit(0);
}

// Enter that no box took (a line edit passes it on; the source page keeps
// it) and F5 press the default button, "描画"; Esc stops a running save, or
// else the render.
void TForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
      event->key() == Qt::Key_F5) {
    Button2->click();
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    if (Busy()) {
      StopJob();
    } else if (Saving()) {
      StopSave();
    } else {
      viewer_->StopRender();
    }
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm1::BuildPages() {
  PageControl1 = new QTabWidget(this);
  TabSheet1 = new QWidget(), TabSheet2 = new QWidget(), TabSheet3 = new QWidget();
  PageControl1->addTab(TabSheet1, tr("パラメータ"));
  PageControl1->addTab(TabSheet2, tr("コントローラ"));
  PageControl1->addTab(TabSheet3, tr("ソース"));
  // The language choice sits in the free corner beside the page tabs.
  ButtonLanguage = qv::MakeLanguageButton(this, [this](const QString& notice) {
    QMessageBox::information(this, QStringLiteral("Q-Vell"), notice);
  });
  ButtonLanguage->setAutoRaise(true);
  FrameParameter1 = new TFrameParameter(TabSheet1);
  auto* parameterPage = new QVBoxLayout(TabSheet1);
  parameterPage->setContentsMargins(6, 6, 6, 4);  // the page fits the window's opening height
  parameterPage->addWidget(FrameParameter1);
  auto* controllerPage = new QVBoxLayout(TabSheet2);  // FrameController1 fills it
  controllerPage->setContentsMargins(0, 0, 0, 0);
  FrameController1 = new TFrameController(TabSheet2);
  controllerPage->addWidget(FrameController1);
  Memo1 = new QPlainTextEdit(TabSheet3);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setTabChangesFocus(false);  // the tab key types a tab
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setTabStopDistance(QFontMetricsF(Memo1->font()).horizontalAdvance(QLatin1Char(' ')) * 4);
  (new QVBoxLayout(TabSheet3))->addWidget(Memo1);
  Memo1->viewport()->installEventFilter(this);  // a dropped file loads, it is not typed in
  PageControl1->setTabToolTip(0, tr("全体の設定: 視点、視点倍率、画像サイズ、フラクタルの式"));
  PageControl1->setTabToolTip(1, tr("ノードのグラフ: パネルをクリックするとそのノードを編集する"));
  PageControl1->setTabToolTip(
      2, tr("プロジェクトのテキスト。「ソース抽出」で書き出し、「ソース書込」で読み込む"));
  Memo1->setToolTip(PageControl1->tabToolTip(2));
  PageControl1->setCurrentIndex(0);
  // "サンプル" sits in the free end of the tab row, where the button row
  // has no room left at the window's opening width.
  ButtonExamples = new QToolButton(PageControl1);
  ButtonExamples->setText(tr("サンプル"));
  ButtonExamples->setToolTip(tr("付属のサンプルプロジェクトを開く"));
  ButtonExamples->setPopupMode(QToolButton::InstantPopup);
  MenuExamples = new QMenu(ButtonExamples);
  ButtonExamples->setMenu(MenuExamples);
}

void TForm1::BuildButtons() {
  Button5 = new QPushButton(tr("読み込み"), this);
  Button3 = new QPushButton(tr("保存"), this);
  Button1 = new QPushButton(tr("ソース抽出"), this);
  Button4 = new QPushButton(tr("ソース書込"), this);
  Button2 = new QPushButton(tr("描画"), this);
  Button2->setDefault(true);
  Button6 = new QPushButton(tr("保存を中止"), this);
  Button6->hide();
  // The arrow beside 読み込み opens the recent files (so does a right click).
  ToolButtonRecent = new QToolButton(this);
  ToolButtonRecent->setArrowType(Qt::DownArrow);
  ToolButtonRecent->setToolTip(tr("最近のファイル"));
  ToolButtonRecent->setFixedWidth(16);
  auto* load = new QHBoxLayout();
  load->setSpacing(0);
  load->addWidget(Button5);
  load->addWidget(ToolButtonRecent);
  Button5->setToolTip(
      tr("プロジェクト（*.qvl）か、プロジェクト入りの PNG "
         "を開く（Ctrl＋O、▼ か右クリックで最近のファイル）"));
  Button3->setToolTip(tr("画像（BMP・JPEG・PNG）かプロジェクト（*.qvl）を保存する（Ctrl＋S）"));
  Button6->setToolTip(tr("画像の保存を止める（Esc）。前のファイルはそのまま"));
  Button1->setToolTip(tr("いまのプロジェクトをテキストにしてソースのページに書き出す"));
  Button4->setToolTip(tr("ソースのページのテキストを読み込み、プロジェクトにする"));
  Button2->setToolTip(tr("画像を描画する（F5 か Enter、Esc で中止）"));
  auto* row = new QHBoxLayout();
  row->addLayout(load);
  row->addWidget(Button3);
  row->addWidget(Button6);
  row->addStretch(1);
  row->addWidget(Button1);
  row->addWidget(Button4);
  row->addWidget(Button2);
  // The progress of a long read or write sits beside the page tabs, so that
  // the window keeps its size.
  ProgressRow = new QWidget(PageControl1);
  LabelJob = new QLabel(ProgressRow);
  ProgressBar1 = new QProgressBar(ProgressRow);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setFixedWidth(40);
  Button7 = new QPushButton(tr("中止"), ProgressRow);
  Button7->setMaximumWidth(48);
  auto* progress = new QHBoxLayout(ProgressRow);
  progress->setContentsMargins(4, 0, 2, 2);
  progress->addWidget(LabelJob, 1);
  progress->addWidget(ProgressBar1);
  progress->addWidget(Button7);
  // The free corner beside the page tabs holds the examples and the language,
  // and while a long read or write runs, its progress in their place.
  auto* corner = new QWidget(PageControl1);
  auto* cornerRow = new QHBoxLayout(corner);
  cornerRow->setContentsMargins(0, 0, 0, 0);
  cornerRow->setSpacing(0);
  for (QWidget* w : {static_cast<QWidget*>(ProgressRow), static_cast<QWidget*>(ButtonExamples),
                     static_cast<QWidget*>(ButtonLanguage)}) {
    w->setParent(corner);
    cornerRow->addWidget(w);
  }
  PageControl1->setCornerWidget(corner, Qt::TopRightCorner);
  ShowProgressRow(false);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  column->setSpacing(4);
  column->addWidget(PageControl1, 1);
  column->addLayout(row);
}

void TForm1::ConnectHandlers() {
  const std::pair<QPushButton*, void (TForm1::*)()> buttons[] = {
      {Button1, &TForm1::Button1Click}, {Button2, &TForm1::Button2Click},
      {Button3, &TForm1::Button3Click}, {Button4, &TForm1::Button4Click},
      {Button5, &TForm1::Button5Click}, {Button6, &TForm1::Button6Click},
      {Button7, &TForm1::Button7Click}};
  for (const auto& entry : buttons) {
    const auto handler = entry.second;
    connect(entry.first, &QPushButton::clicked, this,
            [this, handler] { qv::Guarded(this, [this, handler] { (this->*handler)(); }); });
  }
  connect(MenuExamples, &QMenu::aboutToShow, this,
          [this] { qv::Guarded(this, [this] { MenuExamplesPopup(); }); });
  connect(ProgressTimer, &QTimer::timeout, this,
          [this] { qv::Guarded(viewer_, [this] { ProgressTimerTimer(); }); });
  connect(SaveTimer, &QTimer::timeout, this,
          [this] { qv::Guarded(this, [this] { SaveTimerTimer(); }); });
  connect(JobTimer, &QTimer::timeout, this,
          [this] { qv::Guarded(this, [this] { JobTimerTimer(); }); });
}

void TForm1::FormCreate() {
  viewer_->SetTarget(main_.get(), FrameParameter1);
  FrameParameter1->SetParameter(&main_->Parameter, main_.get());
  FrameParameter1->OnAutoDepthChanged = [this] { Button2Click(); };
  FrameParameter1->UpdateView();
  FrameController1->SetMain(main_.get());
  viewer_->OnFileDropped = [this](const std::string& path) {
    if (session_->ConfirmDiscard()) LoadFile(path);
  };
  viewer_->OnRenderRequest = [this] { Button2->click(); };
  FrameController1->OnGraphEdited = [this] {
    if (session_) session_->Checkpoint();
    RefreshNodeViews();
  };
  FrameController1->OnShowInViewer = [this](qv::NodeKind kind, int32_t row) {
    viewer_->show();
    viewer_->ShowNode(kind, row);
  };
  UpdateNodeViews();
}

void TForm1::SetNodeEditors(TFormGenerator* generator, TFormEffector* effector, TFormMixer* mixer) {
  FormGenerator = generator;
  FormEffector = effector;
  FormMixer = mixer;
  FrameController1->SetEditors(generator, effector, mixer);
  // A file dropped on a node editor loads as on this window.
  for (QWidget* window : {static_cast<QWidget*>(generator), static_cast<QWidget*>(effector),
                          static_cast<QWidget*>(mixer)}) {
    if (!window) continue;
    window->setAcceptDrops(true);
    window->installEventFilter(this);
  }
}

void TForm1::UpdateNodeViews() { FrameController1->UpdateView(); }

void TForm1::RefreshNodeViews() {
  FrameController1->UpdateView();
  if (FormMixer) FormMixer->FrameMixer1->UpdateLinks();
  if (FormEffector) FormEffector->FrameEffector1->UpdateGeneratorChoice();
}

// Each editor's node reference is cleared (with its signals blocked) before
// the window hides, so no handler, such as a commit when the focus leaves a
// box, can reach a node of the replaced graph.
void TForm1::ReleaseNodeEditors() {
  if (FormGenerator) FormGenerator->Release();
  if (FormEffector) FormEffector->Release();
  if (FormMixer) FormMixer->Release();
}

// The text is written from a frozen copy on the job's thread, and put into
// the page a slice at a time: tens of megabytes take seconds either way.
void TForm1::Button1Click() {
  RefuseWhileBusy();
  auto snapshot = std::make_shared<const QVSnapshot>(main_->Parameter, main_->Graph());
  StartJob(
      qv::FromQString(tr("ソースを作成中…")),
      [this, snapshot] {
        auto text = std::make_shared<QString>(qv::ToQString(qv::WriteProject(*snapshot)));
        return [this, text] { FillSource(std::move(*text)); };
      },
      "");
}

void TForm1::FillSource(QString text) {
  ShowJobLabel(LabelJob, tr("ソースを表示中…"));
  fill_->Start(std::move(text), [this] { ShowJob(false); });
  ShowJob(fill_->Running());
}

// A long text goes to the job's thread as it is, to be converted there.
void TForm1::Button4Click() {
  RefuseWhileBusy();
  if (!session_->ConfirmDiscard()) return;
  if (Memo1->document()->characterCount() >= BackgroundBytes) {
    ApplyInBackground(
        qv::FromQString(tr("ソースを読み取り中…")),
        [text = Memo1->toPlainText()] { return qv::FromQString(text); }, "");
    return;
  }
  ApplyProject(qv::FromQString(Memo1->toPlainText()));
}

void TForm1::Button5Click() {
  if (!session_->ConfirmDiscard()) return;
  const std::string path = RunOpenDialog();
  if (path.empty()) return;
  LoadFile(path);
}

// Built each time it opens, so it lists the folder as it is now; a folder
// that is missing or empty says so in the menu.
void TForm1::MenuExamplesPopup() {
  MenuExamples->clear();
  const std::vector<std::string> projects =
      ExamplesDir.empty() ? std::vector<std::string>() : qv::ExampleProjects(ExamplesDir);
  for (const std::string& path : projects) {
    const QString name = qv::ToQString(std::filesystem::path(path).stem().string());
    connect(MenuExamples->addAction(name), &QAction::triggered, this, [this, path] {
      qv::Guarded(this, [&] {
        if (session_->ConfirmDiscard()) LoadFile(path);
      });
    });
  }
  if (projects.empty()) {
    std::string where = ExamplesDir;
    if (where.empty()) {
      for (const std::string& folder :
           qv::ExampleFolderCandidates(qv::FromQString(QCoreApplication::applicationDirPath()))) {
        where += (where.empty() ? "" : "、") + folder;
      }
    }
    MenuExamples->addAction(tr("サンプルが見つかりません（%1）").arg(qv::ToQString(where)))
        ->setEnabled(false);
  }
}

bool TForm1::LoadFile(const std::string& path) {
  RefuseWhileBusy();
  std::error_code error;
  const auto bytes = std::filesystem::file_size(path, error);
  if (!error && static_cast<int64_t>(bytes) >= BackgroundBytes) {
    ApplyInBackground(
        qv::FromQString(tr("「%1」を読み込み中…").arg(qv::ToQString(qv::FileNameOfPath(path)))),
        [path] { return qv::ReadProjectOrPicture(path); }, path);
    return false;
  }
  std::unique_ptr<qv::StagedProject> staged;
  try {
    staged = qv::StageProject(qv::ReadProjectOrPicture(path));
  } catch (const std::exception&) {
    ShowLoadFailure(path, std::current_exception());
    return false;
  }
  return LoadStaged(*staged, path);
}

bool TForm1::LoadStaged(qv::StagedProject& staged, const std::string& path, std::string written) {
  if (!PutStaged(staged, path, std::move(written))) return false;
  session_->ProjectLoaded(path);
  projectEncoding_ = qv::ProjectEncoding::Utf8;  // a save writes it the Linux way
  Button2Click();  // a loaded project shows its picture without a click
  return true;
}

// Reading, and writing the text the undo history keeps, happen on the job's
// thread; only the exchange of the projects happens here. fileName names the
// file loaded ("" for the source page).
void TForm1::ApplyInBackground(const std::string& label, std::function<std::string()> text,
                               const std::string& fileName) {
  StartJob(
      label,
      [this, text = std::move(text), fileName] {
        std::shared_ptr<qv::StagedProject> staged = qv::StageProject(text());
        auto written = std::make_shared<std::string>(
            staged->Result.Ok ? qv::WriteProject(staged->Parameter, staged->Graph) : "");
        return [this, staged, written, fileName] {
          if (fileName.empty()) {
            PutStaged(*staged, fileName, std::move(*written));
          } else {
            LoadStaged(*staged, fileName, std::move(*written));
          }
        };
      },
      fileName);
}

// A file that cannot be read is told in the editor's words; anything else
// goes on to the general error handling.
void TForm1::ShowLoadFailure(const std::string& path, std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const qv::PngReadError& e) {
    qv::ShowError(this, PictureLoadError(path, e));
  } catch (const qv::ProjectFileError& e) {  // unreadable, not text, too large
    qv::ShowError(this, qv::LoadFailureText(path, e));
  }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) { TakeDrop(event); }

void TForm1::dropEvent(QDropEvent* event) { TakeDrop(event); }

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  const bool dropTarget = watched == Memo1->viewport() || watched == FormGenerator ||
                          watched == FormEffector || watched == FormMixer;
  if (dropTarget && TakeDrop(event)) return true;
  return QWidget::eventFilter(watched, event);
}

bool TForm1::TakeDrop(QEvent* event) {
  return qv::TakeFileDrop(this, event, [this](const std::string& path) {
    if (session_->ConfirmDiscard()) LoadFile(path);
  });
}

bool TForm1::ApplyProject(const std::string& text, const std::string& fileName) {
  RefuseWhileBusy();
  if (static_cast<int64_t>(text.size()) >= BackgroundBytes) {
    ApplyInBackground(
        qv::FromQString(tr("ソースを読み取り中…")), [text] { return text; }, fileName);
    return false;
  }
  return PutStaged(*qv::StageProject(text), fileName);
}

// A text that did not read changes nothing; one that did replaces the project
// and refreshes every view.
bool TForm1::PutStaged(qv::StagedProject& staged, const std::string& fileName,
                       std::string written) {
  if (!staged.Result.Ok) {
    qv::ShowError(this, qv::ReadFailureText(fileName, staged.Result));
    return false;
  }
  qv::ReplaceProject(*main_, staged);
  FrameParameter1->UpdateView();
  UpdateNodeViews();
  ReleaseNodeEditors();
  session_->Checkpoint(std::move(written));
  return true;
}

void TForm1::Button2Click() {
  viewer_->SetImageSize(main_->Parameter.Width(), main_->Parameter.Height());
  viewer_->show();
  viewer_->StartRender();
}

void TForm1::Button3Click() {
  RefuseWhileSaving();
  const SaveChoice choice = RunSaveDialog();
  if (!choice.Path.empty()) SaveToFile(choice.Path, choice.Supersample, choice.Encoding, true);
}

bool TForm1::Saving() const { return saveJob_->Running(); }

void TForm1::RefuseWhileSaving() const {
  if (Saving()) {
    throw std::runtime_error(qv::FromQString(
        tr("保存中です。いまの保存が終わってから、もう一度「保存」を押してください。")));
  }
}

void TForm1::SaveToFile(const std::string& path, int supersample,
                        std::optional<qv::ProjectEncoding> encoding, bool background) {
  RefuseWhileSaving();
  const std::optional<qv::PictureFormat> format =
      qv::PictureFormatFromName(qv::FileNameOfPath(path));
  if (!format) {
    const qv::ProjectEncoding chosen = encoding.value_or(projectEncoding_);
    if (background && SaveProjectInBackground(path, chosen)) return;
    WriteOrSay(path, [&] { qv::SaveProjectFile(*main_, path, chosen); });
    projectEncoding_ = chosen;
    session_->ProjectSaved(path);
    return;
  }
  if (!viewer_->PictureRef() || !viewer_->PictureSnapshot()) {
    throw std::runtime_error(
        qv::FromQString(tr("保存する画像がまだありません。先に「描画」を押してください。")));
  }
  if (supersample < 1 || supersample > qv::kMaxSupersample) {
    throw std::runtime_error(qv::FromQString(tr("アンチエイリアスのサンプル数は 1 から 8 です。")));
  }
  StartSave(path, *format, supersample);
}

// The text the undo history keeps of the current state is what is written;
// edits made meanwhile stay unsaved. False when the project is short (the
// caller saves it at once).
bool TForm1::SaveProjectInBackground(const std::string& path, qv::ProjectEncoding encoding) {
  RefuseWhileBusy();
  session_->Checkpoint();
  const QVEditHistory& history = session_->History();
  if (static_cast<int64_t>(history.Current().size()) < BackgroundBytes) return false;
  auto text = std::make_shared<const std::string>(history.Current());
  const uint64_t serial = history.CurrentSerial();
  const bool hadFile = FileExists(path);
  StartJob(
      qv::FromQString(tr("「%1」を保存中…").arg(qv::ToQString(qv::FileNameOfPath(path)))),
      [this, text, path, hadFile, serial, encoding] {
        std::shared_ptr<const qv::ProjectFileError> failure;
        try {
          qv::WriteProjectFile(path, *text, encoding);
        } catch (const qv::ProjectFileError& e) {
          failure = std::make_shared<const qv::ProjectFileError>(e);
        }
        return [this, failure, path, hadFile, serial, encoding] {
          if (failure) {
            qv::ShowError(this, qv::SaveFailureText(path, hadFile, *failure));
          } else {
            projectEncoding_ = encoding;
            session_->ProjectSaved(path, serial);
          }
        };
      },
      path);
  return true;
}

void TForm1::Button6Click() { StopSave(); }

void TForm1::StopSave() {
  if (!Saving()) return;
  saveJob_->Stop();
  ShowSaving(false);
}

bool TForm1::Busy() const { return job_->Running() || fill_->Running(); }

void TForm1::RefuseWhileBusy() const {
  if (Busy()) {
    throw std::runtime_error(
        qv::FromQString(tr("ソースの読み書き中です。終わるのを待つか「中止」を押してから、もう一度"
                           "操作してください。")));
  }
}

void TForm1::Button7Click() { StopJob(); }

void TForm1::StopJob() {
  job_->Stop();
  fill_->Stop();
  ShowJob(false);
}

// work runs on the job's thread and returns what finishes it here. A file
// that cannot be read is told naming failedFile.
void TForm1::StartJob(const std::string& label, std::function<std::function<void()>()> work,
                      const std::string& failedFile) {
  ShowJobLabel(LabelJob, qv::ToQString(label));
  job_->Start(
      [this, work = std::move(work)](std::stop_token, QVBackgroundJob&) {
        return [this, finish = work()] {
          ShowJob(false);
          qv::Guarded(this, finish);
        };
      },
      [this, failedFile](std::exception_ptr error) {
        ShowJob(false);
        qv::Guarded(this, [&] { ShowLoadFailure(failedFile, error); });
      });
  ShowJob(true);
}

// The row shows once the job has taken a poll interval, so that a short one
// does not flash it. Each finish is guarded on its own.
void TForm1::ShowJob(bool busy) {
  if (busy) {
    JobTimer->start();
    return;
  }
  JobTimer->stop();
  ShowProgressRow(false);
}

void TForm1::ShowProgressRow(bool shown) {
  ProgressRow->setVisible(shown);
  ButtonExamples->setVisible(!shown);
  ButtonLanguage->setVisible(!shown);
}

void TForm1::JobTimerTimer() {
  if (!Busy()) {
    ShowJob(false);
    return;
  }
  if (fill_->Running()) {
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(
        static_cast<int>(fill_->Done() * 1000 / std::max<qsizetype>(1, fill_->Total())));
  } else {
    ProgressBar1->setRange(0, 0);  // how long reading or writing takes is not known
  }
  ShowProgressRow(true);
}

// The shown picture and the frozen copy it was rendered from go to the save
// thread; later edits and renders do not reach them.
void TForm1::StartSave(const std::string& path, qv::PictureFormat format, int supersample) {
  QVPictureSaveJob::Request request;
  request.Path = path;
  request.Format = format;
  request.Supersample = supersample;
  request.Workers = main_->Workers();
  request.Picture = viewer_->PictureRef();
  request.Snapshot = viewer_->PictureSnapshot();
  const bool hadFile = FileExists(path);
  saveJob_->Start(std::move(request),
                  [this, path, hadFile](const qv::PictureWriteFailure& failure) {
                    qv::Guarded(this, [&] { SaveEnded(path, hadFile, failure); });
                  });
  savingFile_ = qv::FileNameOfPath(path);
  ShowSaving(true);
}

void TForm1::SaveEnded(const std::string& path, bool hadFile,
                       const qv::PictureWriteFailure& failure) {
  ShowSaving(false);
  if (failure.Failed()) {
    qv::ShowError(this, qv::PictureSaveFailureText(path, hadFile, failure));
  }
}

// The caption names the file while it is being saved; the stop button shows
// only then.
void TForm1::ShowSaving(bool saving) {
  // "保存を中止" takes the place of "保存", so the button row keeps its width.
  Button3->setVisible(!saving);
  Button6->setVisible(saving);
  if (saving) {
    SaveTimer->start();
    setWindowTitle(qv::ToQString(QVCaption::Saving(BaseCaption, savingFile_)));
  } else {
    SaveTimer->stop();
    setWindowTitle(qv::ToQString(BaseCaption));
  }
}

// The caption adds the share of rows written (or rendered) so far.
void TForm1::SaveTimerTimer() {
  if (!Saving()) return;
  const int64_t total = saveJob_->Total(), done = std::clamp<int64_t>(saveJob_->Done(), 0, total);
  const int64_t percent = total > 0 ? done * 100 / total : 0;
  setWindowTitle(qv::ToQString(
      QVCaption::Saving(BaseCaption, savingFile_ + " " + std::to_string(percent) + "%")));
}

// The start hook shows the base caption with the render mark (never the
// caption of a render still shown, which would stay for good).
void TForm1::RenderStart() {
  viewer_->setWindowTitle(qv::ToQString(QVCaption::Rendering(viewer_->BaseCaption)));
  shownFinishes_ = 0;
  ProgressTimer->start();
  FrameController1->RenderStarted();
}

// The viewer's caption and status line say how the render ended. A node that
// finished after the last poll (the last one always does) first shows its
// full count for one poll interval, so the count is seen to reach the height.
void TForm1::RenderEnd() {
  ProgressTimer->stop();
  viewer_->RenderEnded();
  const QVProgress::Snapshot progress = main_->Progress();
  if (progress.Generation != viewer_->RenderGeneration() || progress.Finishes <= shownFinishes_ ||
      viewer_->Status.Current() != QVViewerStatus::State::Finished) {
    return;
  }
  shownFinishes_ = progress.Finishes;
  const QString finished =
      qv::ToQString(QVCaption::Progress(viewer_->BaseCaption, progress.FinishedName,
                                        progress.FinishedHeight, progress.FinishedHeight));
  viewer_->setWindowTitle(finished);
  QTimer::singleShot(ProgressTimer->interval(), viewer_, [this, finished] {
    if (viewer_->windowTitle() == finished) viewer_->SetCaption();
  });
}

void TForm1::RenderError(const std::string& message) {
  viewer_->RenderFailed(message);
  qv::ShowError(viewer_,
                qv::FromQString(tr("描画できませんでした: %1").arg(qv::ToQString(message))));
}

void TForm1::ProgressTimerTimer() {
  const QVProgress::Snapshot progress = main_->Progress();
  if (progress.Generation != viewer_->RenderGeneration() || progress.Name.empty()) return;
  if (progress.Finishes > shownFinishes_) {  // a node finished since the last poll
    shownFinishes_ = progress.Finishes;
    viewer_->setWindowTitle(
        qv::ToQString(QVCaption::Progress(viewer_->BaseCaption, progress.FinishedName,
                                          progress.FinishedHeight, progress.FinishedHeight)));
    return;
  }
  viewer_->setWindowTitle(qv::ToQString(
      QVCaption::Progress(viewer_->BaseCaption, progress.Name, progress.Done, progress.Height)));
}

std::string TForm1::OpenDialog1Execute() {
  QFileDialog dialog(this);
  qv::SetUpOpenDialog(dialog);
  return qv::RunInLastFolder(dialog);
}

// Below the file name: the samples per side of a pixel for a picture (1: the
// shown picture as it is).
TForm1::SaveChoice TForm1::SavePictureDialog1Execute() {
  QFileDialog dialog(this);
  qv::SetUpSaveDialog(dialog, viewer_->Picture());
  auto* samples = new QSpinBox(&dialog);
  samples->setRange(1, qv::kMaxSupersample);
  samples->setValue(1);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(tr("アンチエイリアス（一辺のサンプル数）"), &dialog), row, 0);
    grid->addWidget(samples, row, 1, Qt::AlignLeft);
  }
  std::string path = qv::RunInLastFolder(dialog);
  if (path.empty()) return {};
  return {std::move(path), samples->value(), qv::ChosenProjectEncoding(dialog)};
}
