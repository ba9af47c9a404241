#include "ui/UnitParameter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/QVDecimal.h"
#include "base/QVScan.h"
#include "engine/QVMain.h"
#include "engine/QVParameter.h"
#include "ui/QVEditorSettings.h"
#include "ui/QVEngineNames.h"
#include "ui/QVErrorBox.h"
#include "ui/QVMagnification.h"
#include "ui/QVNumberEntry.h"
#include "ui/QVStatusLine.h"
#include "ui/QVText.h"
#include "ui/UnitMethod.h"

namespace {

QLabel* Label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

}  // namespace

TFrameParameter::TFrameParameter(QWidget* parent) : QWidget(parent) {
  BuildRows();
  for (const std::string& name : FractalTypeNames) {
    ComboBoxFractalType->addItem(qv::DisplayName(name));
  }
  for (const char* item : {"1", "1/2", "1/4", "1/8"}) ComboBoxMagnification->addItem(item);
  ComboBoxFractalType->setCurrentIndex(0);
  ComboBoxMagnification->setCurrentIndex(0);
  const QString parameter =
      tr("マンデルブロでは z の初期値、ジュリアでは式の定数 C。その%1（浮動小数点数）");
  EditParameterR->setToolTip(parameter.arg(tr("実部")));
  EditParameterI->setToolTip(parameter.arg(tr("虚部")));
  const QString viewpoint =
      tr("画像の中心に来る点の%1。浮動小数点数。ビューアのクリックでも変わる");
  EditViewpointR->setToolTip(viewpoint.arg(tr("実部")));
  EditViewpointI->setToolTip(viewpoint.arg(tr("虚部")));
  EditScale->setToolTip(
      tr("画像の幅が複素平面で占める長さ。0 "
         "より大きい数。小さいほど拡大される（ホイールでも変わる）"));
  CheckBoxAutoDepth->setToolTip(
      tr("オン: 描画のたびに、視点倍率が 4 より 1 桁小さくなるごとに深さを 1000 "
         "ずつ上げる（設定した深さより大きいときだけ。プロジェクトの深さは変えない）"));
  EditWidth->setToolTip(tr("画像の幅（画素）。1 以上の整数"));
  EditHeight->setToolTip(tr("画像の高さ（画素）。1 以上の整数"));
  ComboBoxMagnification->setToolTip(
      tr("描画する大きさ: 1/2 なら幅と高さを半分にして描画する（下描きを速くする）"));
  ComboBoxFractalType->setToolTip(
      tr("マンデルブロ: 点が C、z は定数から始まる。ジュリア: z が点から始まり、C は定数"));
  FrameFractalMethod->SetMethodList(FractalMethods());
  FrameFractalMethod->SetStatusLine(LabelStatus);
  marks_.SetStatusLine(LabelStatus);
  ConnectHandlers();
}

void TFrameParameter::BuildRows() {
  auto* grid = new QGridLayout();
  LabelParameter = Label(tr("パラメーター"), this);
  LabelViewpoint = Label(tr("視点"), this);
  LabelScale = Label(tr("視点倍率"), this);
  LabelImageSize = Label(tr("画像サイズ"), this);
  LabelMagnification = Label(tr("拡大率"), this);
  LabelFractalType = Label(tr("演算方式"), this);
  EditParameterR = new QLineEdit(this), EditParameterI = new QLineEdit(this);
  EditViewpointR = new QLineEdit(this), EditViewpointI = new QLineEdit(this);
  EditScale = new QLineEdit(this);
  CheckBoxAutoDepth = new QCheckBox(tr("深さ自動"), this);
  CheckBoxAutoDepth->setChecked(qv::EditorSettings::AutoDepth());
  EditWidth = new QLineEdit(this), EditHeight = new QLineEdit(this);
  ComboBoxMagnification = new QComboBox(this);
  ComboBoxFractalType = new QComboBox(this);
  const std::pair<QLabel*, std::pair<QWidget*, QWidget*>> rows[] = {
      {LabelParameter, {EditParameterR, EditParameterI}},
      {LabelViewpoint, {EditViewpointR, EditViewpointI}},
      {LabelScale, {EditScale, CheckBoxAutoDepth}},
      {LabelImageSize, {EditWidth, EditHeight}},
      {LabelMagnification, {ComboBoxMagnification, nullptr}},
      {LabelFractalType, {ComboBoxFractalType, nullptr}}};
  int row = 0;
  for (const auto& [label, boxes] : rows) {
    grid->addWidget(label, row, 0);
    grid->addWidget(boxes.first, row, 1);
    if (boxes.second) grid->addWidget(boxes.second, row, 2);
    ++row;
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);
  grid->setVerticalSpacing(2);  // the rows fit the main window's opening height
  FrameFractalMethod = new TFrameMethod(this);
  FrameFractalMethod->GroupBoxMethod->setTitle(tr("フラクタル演算方法"));
  LabelStatus = new QVStatusLine(this);
  LabelStatus->setStyleSheet(QStringLiteral("color: #b00000"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(4);
  column->addLayout(grid);
  column->addWidget(FrameFractalMethod);
  column->addWidget(LabelStatus);
  column->addStretch(1);
}

// Typing only checks a box (and marks it); Enter or leaving it stores.
void TFrameParameter::ConnectHandlers() {
  const std::pair<QLineEdit*, void (TFrameParameter::*)()> reals[] = {
      {EditParameterR, &TFrameParameter::EditParameterRChange},
      {EditParameterI, &TFrameParameter::EditParameterIChange},
      {EditViewpointR, &TFrameParameter::EditViewpointRChange},
      {EditViewpointI, &TFrameParameter::EditViewpointIChange}};
  for (const auto& entry : reals) {
    QLineEdit* box = entry.first;
    const auto handler = entry.second;
    QVEntryMarks::Watch(
        box, [this, box] { marks_.Real(box); }, [this, handler] { (this->*handler)(); });
  }
  QVEntryMarks::Watch(
      EditScale, [this] { Scale(); }, [this] { EditScaleChange(); });
  QVEntryMarks::Watch(
      EditWidth, [this] { Size(EditWidth); }, [this] { EditWidthChange(); });
  QVEntryMarks::Watch(
      EditHeight, [this] { Size(EditHeight); }, [this] { EditHeightChange(); });
  connect(CheckBoxAutoDepth, &QCheckBox::clicked, this, &TFrameParameter::CheckBoxAutoDepthClick);
  connect(ComboBoxMagnification, &QComboBox::currentIndexChanged, this,
          &TFrameParameter::ComboBoxMagnificationChange);
  connect(ComboBoxFractalType, &QComboBox::currentIndexChanged, this,
          &TFrameParameter::ComboBoxFractalTypeChange);
  connect(FrameFractalMethod->ComboBoxMethod, &QComboBox::currentIndexChanged, this,
          &TFrameParameter::FrameFractalMethodComboBoxMethodChange);
}

void TFrameParameter::SetParameter(QVParameter* parameter, QVMain* main) {
  parameter_ = parameter;
  main_ = main;
  FrameFractalMethod->SetEngine(main);
  if (main_) main_->AutoDepth = CheckBoxAutoDepth->isChecked();
}

void TFrameParameter::CheckBoxAutoDepthClick() {
  qv::Guarded(this, [this] {
    const bool on = CheckBoxAutoDepth->isChecked();
    qv::EditorSettings::SetAutoDepth(on);
    if (main_) main_->AutoDepth = on;
    if (OnAutoDepthChanged) OnAutoDepthChanged();
  });
}

void TFrameParameter::UpdateView() {
  if (!parameter_) return;
  // The engine keeps what the text keeps: the boxes show it and store nothing.
  auto show = [this](QLineEdit* box, double v) { marks_.Show(box, QVNumberEntry::RealText(v)); };
  // A part held with more digits than a double's 15 shows every one, from
  // its first digit on.
  auto showPart = [&](QLineEdit* box, const qv::Decimal& precise, double v) {
    if (qv::SignificantDigits(precise) <= 15) return show(box, v);
    marks_.Show(box, qv::DecimalToText(precise));
    box->setCursorPosition(0);
  };
  showPart(EditParameterR, parameter_->PreciseFractalParameter().re,
           parameter_->FractalParameter().re);
  showPart(EditParameterI, parameter_->PreciseFractalParameter().im,
           parameter_->FractalParameter().im);
  showPart(EditViewpointR, parameter_->PreciseViewpoint().re, parameter_->Viewpoint().re);
  showPart(EditViewpointI, parameter_->PreciseViewpoint().im, parameter_->Viewpoint().im);
  show(EditScale, parameter_->Scale());
  const QVMagnification::Shown size =
      QVMagnification::Refresh(parameter_->Width(), parameter_->Height(), typedWidth_, typedHeight_,
                               ComboBoxMagnification->currentIndex());
  {
    const QSignalBlocker block(ComboBoxMagnification);
    ComboBoxMagnification->setCurrentIndex(size.Index);
  }
  ShowSize(EditWidth, size.Width);
  ShowSize(EditHeight, size.Height);
  typedWidth_ = size.Width, typedHeight_ = size.Height;
  const int type = parameter_->FractalType();
  if (type >= 0 && static_cast<size_t>(type) < FractalTypeNames.size()) {
    const int i = ComboBoxFractalType->findText(qv::DisplayName(FractalTypeNames[type]));
    const QSignalBlocker block(ComboBoxFractalType);
    if (i >= 0) ComboBoxFractalType->setCurrentIndex(i);
  }
  FrameFractalMethod->Method = &parameter_->FractalMethod();
  FrameFractalMethod->UpdateView();
}

void TFrameParameter::ShowNotice(const std::string& message) {
  LabelStatus->SetMessage(qv::ToQString(message));
}

// A refresh shows the size without storing it again.
void TFrameParameter::ShowSize(QLineEdit* box, int32_t value) {
  marks_.Show(box, QVNumberEntry::IntegerText(value));
}

template <typename Handler>
void TFrameParameter::Edit(Handler handler) {
  qv::Guarded(this, [&] {
    if (parameter_) handler(*parameter_);
  });
}

std::optional<double> TFrameParameter::Scale() {
  return marks_.Check(EditScale, QVNumberEntry::ToPositive(qv::FromQString(EditScale->text()),
                                                           qv::FromQString(tr("視点倍率"))));
}

// A size of at least 1 that the magnification does not shrink to 0.
std::optional<int32_t> TFrameParameter::Size(QLineEdit* box) {
  const QString text = box->text();
  QVConverted<int32_t> size =
      QVNumberEntry::ToCount(qv::FromQString(text), qv::FromQString(tr("画像サイズ")));
  const int index = ComboBoxMagnification->currentIndex();
  if (size.Ok() && QVMagnification::Stored(*size.Value, index) < 1) {
    size.Message = qv::FromQString(tr("'%1' は拡大率 %2 で 0 になります（%3 以上にしてください）")
                                       .arg(text, ComboBoxMagnification->currentText())
                                       .arg(1 << index));
    size.Value.reset();
  }
  return marks_.Check(box, size);
}

// Each handler (Enter, or the focus leaving the box) converts first; only a
// value that converted and is in range is stored. A part typed with more
// than 15 digits is stored with every one; otherwise the text keeps 15, and a
// part left as shown keeps every digit it had. A typed part leaves the
// other's digits alone.
void TFrameParameter::StorePart(QLineEdit* box,
                                const qv::DecimalComplex& (QVParameter::*field)() const,
                                bool realPart,
                                void (QVParameter::*setter)(const qv::DecimalComplex&)) {
  Edit([&](QVParameter& p) {
    const std::optional<double> v = marks_.Real(box);
    if (!v) return;
    qv::DecimalComplex c = (p.*field)();
    qv::Decimal& part = realPart ? c.re : c.im;
    const qv::Decimal typed =
        qv::DecimalFromText(QVNumberEntry::Normalise(qv::FromQString(box->text())));
    if (qv::SignificantDigits(typed) > 15) {
      if (typed == part) return;
      part = typed;
    } else {
      if (qv::DecimalToDouble(part) == qv::KeptNumber(*v)) return;
      part = qv::DecimalFromDouble(*v);
    }
    (p.*setter)(c);
  });
}

void TFrameParameter::EditParameterRChange() {
  StorePart(EditParameterR, &QVParameter::PreciseFractalParameter, true,
            &QVParameter::ChangePreciseFractalParameter);
}

void TFrameParameter::EditParameterIChange() {
  StorePart(EditParameterI, &QVParameter::PreciseFractalParameter, false,
            &QVParameter::ChangePreciseFractalParameter);
}

void TFrameParameter::EditViewpointRChange() {
  StorePart(EditViewpointR, &QVParameter::PreciseViewpoint, true,
            &QVParameter::ChangePreciseViewpoint);
}

void TFrameParameter::EditViewpointIChange() {
  StorePart(EditViewpointI, &QVParameter::PreciseViewpoint, false,
            &QVParameter::ChangePreciseViewpoint);
}

void TFrameParameter::EditScaleChange() {
  Edit([this](QVParameter& p) {
    const std::optional<double> v = Scale();
    if (!v) return;
    p.ChangeScale(*v);
  });
}

void TFrameParameter::EditWidthChange() {
  Edit([this](QVParameter& p) {
    const std::optional<int32_t> v = Size(EditWidth);
    if (!v) return;
    typedWidth_ = *v;
    p.ChangeWidth(QVMagnification::Stored(*v, ComboBoxMagnification->currentIndex()));
  });
}

void TFrameParameter::EditHeightChange() {
  Edit([this](QVParameter& p) {
    const std::optional<int32_t> v = Size(EditHeight);
    if (!v) return;
    typedHeight_ = *v;
    p.ChangeHeight(QVMagnification::Stored(*v, ComboBoxMagnification->currentIndex()));
  });
}

void TFrameParameter::ComboBoxMagnificationChange() {
  EditWidthChange();
  EditHeightChange();
}

void TFrameParameter::ComboBoxFractalTypeChange() {
  Edit([this](QVParameter& p) {
    const QString text = ComboBoxFractalType->currentText();
    for (size_t i = 0; i < FractalTypeNames.size(); ++i) {
      if (text == qv::DisplayName(FractalTypeNames[i])) {
        p.ChangeFractalType(static_cast<int32_t>(i));
        return;
      }
    }
  });
}

void TFrameParameter::FrameFractalMethodComboBoxMethodChange() {
  Edit([this](QVParameter& p) {
    std::unique_ptr<QVFractalMethod> method = FrameFractalMethod->CloneSelected(FractalMethods());
    if (!method) return;
    p.ChangeFractalMethod(std::move(method));
    FrameFractalMethod->Method = &p.FractalMethod();
    FrameFractalMethod->UpdateView();
  });
}
