#include "ui/UnitDERevezaRudu.h"

#include <QFileDialog>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "engine/QVMain.h"
#include "image/QVPictureFile.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "ui/QVCaption.h"
#include "ui/QVErrorBox.h"
#include "ui/QVText.h"
#include "ui/UnitController.h"
#include "ui/UnitFormEffector.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitFormMixer.h"
#include "ui/UnitParameter.h"
#include "ui/UnitViewer.h"

namespace {

QPushButton* Button(const char* text, QWidget* parent) {
  return new QPushButton(QString::fromUtf8(text), parent);
}

// The part of a path after its last '/': the extension is looked for there.
std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TForm1::TForm1(TFormViewer* viewer) : viewer_(viewer), main_(std::make_unique<QVMain>()) {
  main_->OnRenderStart = [this] { qv::Guarded(viewer_, [this] { RenderStart(); }); };
  main_->OnRenderEnd = [this] { qv::Guarded(viewer_, [this] { RenderEnd(); }); };
  main_->OnRenderError = [this](const std::string& message) {
    qv::Guarded(viewer_, [&] { RenderError(message); });
  };
  setWindowTitle(QStringLiteral("DERevezaRudu"));
  resize(467, 443);
  BuildPages();
  BuildButtons();
  ProgressTimer = new QTimer(this);
  ProgressTimer->setInterval(100);
  RunOpenDialog = [this] { return OpenDialog1Execute(); };
  RunSaveDialog = [this] { return SavePictureDialog1Execute(); };
  ConnectHandlers();
  FormCreate();
}

// The engine stops first: no render may outlive the canvas or the hooks.
TForm1::~TForm1() { main_->StopRender(); }

// Enter that no box took (a line edit passes it on; the source page keeps
// it) presses the default button, "描画".
void TForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Button2->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm1::BuildPages() {
  PageControl1 = new QTabWidget(this);
  TabSheet1 = new QWidget(), TabSheet2 = new QWidget(), TabSheet3 = new QWidget();
  PageControl1->addTab(TabSheet1, QString::fromUtf8("パラメータ"));
  PageControl1->addTab(TabSheet2, QString::fromUtf8("コントローラ"));
  PageControl1->addTab(TabSheet3, QString::fromUtf8("ソース"));
  FrameParameter1 = new TFrameParameter(TabSheet1);
  (new QVBoxLayout(TabSheet1))->addWidget(FrameParameter1);
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
  PageControl1->setCurrentIndex(0);
}

void TForm1::BuildButtons() {
  Button5 = Button("読み込み", this);
  Button3 = Button("保存", this);
  Button1 = Button("ソース抽出", this);
  Button4 = Button("ソース書込", this);
  Button2 = Button("描画", this);
  Button2->setDefault(true);
  auto* row = new QHBoxLayout();
  row->addWidget(Button5);
  row->addWidget(Button3);
  row->addStretch(1);
  row->addWidget(Button1);
  row->addWidget(Button4);
  row->addWidget(Button2);
  auto* column = new QVBoxLayout(this);
  column->addWidget(PageControl1, 1);
  column->addLayout(row);
}

void TForm1::ConnectHandlers() {
  const std::pair<QPushButton*, void (TForm1::*)()> buttons[] = {{Button1, &TForm1::Button1Click},
                                                                 {Button2, &TForm1::Button2Click},
                                                                 {Button3, &TForm1::Button3Click},
                                                                 {Button4, &TForm1::Button4Click},
                                                                 {Button5, &TForm1::Button5Click}};
  for (const auto& entry : buttons) {
    const auto handler = entry.second;
    connect(entry.first, &QPushButton::clicked, this,
            [this, handler] { qv::Guarded(this, [this, handler] { (this->*handler)(); }); });
  }
  connect(ProgressTimer, &QTimer::timeout, this,
          [this] { qv::Guarded(viewer_, [this] { ProgressTimerTimer(); }); });
}

void TForm1::FormCreate() {
  viewer_->SetTarget(main_.get(), FrameParameter1);
  FrameParameter1->SetParameter(&main_->Parameter, main_.get());
  FrameParameter1->UpdateView();
  FrameController1->SetMain(main_.get());
  UpdateNodeViews();
}

void TForm1::SetNodeEditors(TFormGenerator* generator, TFormEffector* effector, TFormMixer* mixer) {
  FormGenerator = generator;
  FormEffector = effector;
  FormMixer = mixer;
  FrameController1->SetEditors(generator, effector, mixer);
}

void TForm1::UpdateNodeViews() { FrameController1->UpdateView(); }

// Each editor's node reference is cleared (with its signals blocked) before
// the window hides, so no handler, such as a commit when the focus leaves a
// box, can reach a node of the replaced graph.
void TForm1::ReleaseNodeEditors() {
  if (FormGenerator) FormGenerator->Release();
  if (FormEffector) FormEffector->Release();
  if (FormMixer) FormMixer->Release();
}

void TForm1::Button1Click() { Memo1->setPlainText(qv::ToQString(qv::WriteProject(*main_))); }

void TForm1::Button4Click() { ApplyProject(qv::FromQString(Memo1->toPlainText())); }

void TForm1::Button5Click() {
  const std::string path = RunOpenDialog();
  if (path.empty()) return;
  ApplyProject(qv::ReadProjectFile(path));
}

bool TForm1::ApplyProject(const std::string& text) {
  const qv::ReadResult result = qv::ReadProject(*main_, text);
  if (!result.Ok) {
    qv::ShowError(this, "プロジェクトを読み込めませんでした。何も変更していません。\n" +
                            std::to_string(result.Line) + " 行 " + std::to_string(result.Column) +
                            " 列: " + result.Message);
    return false;
  }
  FrameParameter1->UpdateView();
  UpdateNodeViews();
  ReleaseNodeEditors();
  return true;
}

void TForm1::Button2Click() {
  viewer_->SetImageSize(main_->Parameter.Width, main_->Parameter.Height);
  viewer_->show();
  viewer_->StartRender();
}

void TForm1::Button3Click() {
  const std::string path = RunSaveDialog();
  if (!path.empty()) SaveToFile(path);
}

void TForm1::SaveToFile(const std::string& path) {
  const std::optional<qv::PictureFormat> format = qv::PictureFormatFromName(FileNameOf(path));
  if (!format) {
    qv::SaveProjectFile(*main_, path);
    return;
  }
  const QVPictureRef& picture = viewer_->PictureRef();
  if (!picture) {
    throw std::runtime_error("保存する画像がまだありません。先に「描画」を押してください。");
  }
  qv::WritePicture(path, *picture, *format);
}

// The start hook shows the base caption with the render mark (never the
// caption of a render still shown, which would stay for good).
void TForm1::RenderStart() {
  viewer_->setWindowTitle(qv::ToQString(QVCaption::Rendering(viewer_->BaseCaption)));
  ProgressTimer->start();
}

void TForm1::RenderEnd() {
  ProgressTimer->stop();
  viewer_->setWindowTitle(qv::ToQString(viewer_->BaseCaption));
}

void TForm1::RenderError(const std::string& message) {
  qv::ShowError(viewer_, "描画できませんでした: " + message);
}

void TForm1::ProgressTimerTimer() {
  const QVProgress::Snapshot progress = main_->Progress();
  if (progress.Generation != viewer_->RenderGeneration() || progress.Name.empty()) return;
  viewer_->setWindowTitle(qv::ToQString(
      QVCaption::Progress(viewer_->BaseCaption, progress.Name, progress.Done, progress.Height)));
}

// Qt reads a filter's pattern from its last ASCII parentheses; each visible
// text is kept as it is and the added pattern is hidden.
std::string TForm1::OpenDialog1Execute() {
  QFileDialog dialog(this);
  dialog.setOptions(QFileDialog::HideNameFilterDetails | QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QString::fromUtf8("ソース（*.qvl) (*.qvl)"));
  return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
             ? qv::FromQString(dialog.selectedFiles().front())
             : "";
}

std::string TForm1::SavePictureDialog1Execute() {
  QFileDialog dialog(this);
  dialog.setOptions(QFileDialog::HideNameFilterDetails | QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("bmp"));
  dialog.setNameFilters({QString::fromUtf8("ビットマップ (*.bmp) (*.bmp)"),
                         QString::fromUtf8("JPEG イメージファイル (*.jpg) (*.jpg)"),
                         QString::fromUtf8("PNG イメージファイル (*.png) (*.png)"),
                         QString::fromUtf8("ソース（*.qvl） (*.qvl)")});
  return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
             ? qv::FromQString(dialog.selectedFiles().front())
             : "";
}
