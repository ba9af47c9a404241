#include "ui/UnitEffector.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "ui/QVColorBarWidgets.h"
#include "ui/QVErrorBox.h"
#include "ui/QVLinkChoice.h"
#include "ui/QVNameEntry.h"
#include "ui/QVNumberEntry.h"
#include "ui/QVStatusLine.h"
#include "ui/QVText.h"
#include "ui/UnitMethod.h"

using qv::ColorBarView;

namespace {

constexpr int kBarLeft = 20;  // the bar's left edge in its row, after the previous button
constexpr int kBarTop = 8;    // the marker stands this far above and below the bar
constexpr int kBarHeight = 17;
constexpr int kMarkerHeight = 33;
constexpr int kStopsHeight = 11;  // the stops stand under the marker

// "'TEXT' は別の項目の入力値 INPUT と同じです".
std::string TakenInputMessage(const QString& typed, double taken) {
  return qv::FromQString(
      QCoreApplication::translate("TFrameEffector", "'%1' は別の項目の入力値 %2 と同じです")
          .arg(typed, qv::ToQString(QVNumberEntry::RealText(taken))));
}

}  // namespace

TFrameEffector::TFrameEffector(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  EditName = new QLineEdit(this);
  layout->addWidget(EditName);
  ChoiceGenerator = new QVLinkChoice(tr("ジェネレータ"), this);
  ChoiceGenerator->ComboBox->setToolTip(tr("このエフェクタが色を付けるジェネレータ"));
  layout->addWidget(ChoiceGenerator);
  layout->addWidget(BuildBarRow());
  layout->addWidget(BuildEntryRow());
  FrameRenderingMethod = new TFrameMethod(this);
  FrameRenderingMethod->GroupBoxMethod->setTitle(tr("色彩変換方法"));
  FrameRenderingMethod->SetMethodList(RenderingMethods());
  layout->addWidget(FrameRenderingMethod);
  layout->addWidget(BuildDifferentialGroup());
  layout->addStretch(1);
  ComboBoxDifferential = new QComboBox(this);  // filled by the window; never shown
  ComboBoxDifferential->hide();
  Button1 = new QPushButton(tr("Ok"), this);
  Button1->setGeometry(-200, -200, 75, 25);  // outside the visible area, reached by Enter
  ColorDialog1 = new QColorDialog(this);
  RunColorDialog = [](QColorDialog* dialog) { return dialog->exec() == QDialog::Accepted; };
  SetUpPresetDialogs();
  SetToolTips();
  Connect();
}

// What each control does, its range and its gesture.
void TFrameEffector::SetToolTips() {
  EditName->setToolTip(tr("エフェクタの名前（ほかのノードと別の名前）"));
  ButtonColorBarPreset->setToolTip(
      tr("用意された色帯を適用する。いまの色帯をプリセットとして保存し、色帯をファイルから読み込み、ファイルへ書き出す"));
  ImageColorBar->setToolTip(tr("カラーバー: ダブルクリックで色を追加（その位置の色で）"));
  ShapeColorBarMarker->setToolTip(tr("選んだ色の位置"));
  ButtonColorBarDec->setToolTip(tr("前の色を選ぶ"));
  ButtonColorBarInc->setToolTip(tr("次の色を選ぶ"));
  EditX->setToolTip(
      tr("選んだ色の入力値: 色彩変換の値がこの値のとき、この色になる。"
         "浮動小数点数（Enter か、ほかへ移ると確定）"));
  ImagePalette->setToolTip(tr("選んだ色。クリックで色を選び直す"));
  ButtonDelete->setToolTip(tr("選んだ色を削除する（最後の 2 色は消せない）"));
  CheckBoxDifferentialSW->setToolTip(
      tr("オン: 色彩変換の値そのものでなく、隣の画素との差（方向の向き）で色を付ける"));
  CheckBoxDifferentialRegularSW->setToolTip(
      tr("差を画素の間の距離で割る: 拡大しても同じ濃さに見える"));
  CheckBoxDifferentialEdgeSW->setToolTip(tr("反復回数の境目をまたぐ差を避け、境目の線を消す"));
  const QString vector = tr("差を取る向きの%1（浮動小数点数）");
  EditDifferentialVectorR->setToolTip(vector.arg(tr("実部")));
  EditDifferentialVectorI->setToolTip(vector.arg(tr("虚部")));
}

QWidget* TFrameEffector::BuildBarRow() {
  auto* row = new QWidget(this);
  row->setFixedSize(kBarLeft + ColorBarView::BarWidth + kBarLeft, kMarkerHeight + kStopsHeight);
  ButtonColorBarDec = new QToolButton(row);
  ButtonColorBarDec->setArrowType(Qt::LeftArrow);
  ButtonColorBarDec->setGeometry(0, kBarTop, kBarLeft - 2, kBarHeight);
  ImageColorBar = new qv::ColorBarImage(ColorBarView::BarWidth, kBarHeight, row);
  ImageColorBar->move(kBarLeft, kBarTop);
  ButtonColorBarInc = new QToolButton(row);
  ButtonColorBarInc->setArrowType(Qt::RightArrow);
  ButtonColorBarInc->setGeometry(kBarLeft + ColorBarView::BarWidth + 2, kBarTop, kBarLeft - 2,
                                 kBarHeight);
  ShapeColorBarMarker = new qv::ColorBarMarker(ColorBarView::MarkerWidth, kMarkerHeight, row);
  ShapeColorBarMarker->move(kBarLeft + ColorBarView::MarkerLeft(0), 0);
  ImageColorBarStops = new qv::ColorBarStops(ColorBarView::BarWidth, kStopsHeight, row);
  ImageColorBarStops->move(kBarLeft - qv::ColorBarStops::Pad, kMarkerHeight);
  ImageColorBarStops->setToolTip(QCoreApplication::translate(
      "TFrameEffector",
      "ドラッグまたは矢印キーで移動、色帯の外へドラッグで削除、ダブルクリックで色を選択"));
  return row;
}

QWidget* TFrameEffector::BuildEntryRow() {
  auto* row = new QWidget(this);
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  LabelX = new QLabel(tr("入力値"), row);
  EditX = new QLineEdit(row);
  // Wide enough for the longest number text, sign and exponent included.
  EditX->setMinimumWidth(
      EditX->fontMetrics().horizontalAdvance(QStringLiteral("-8.88888888888888E-308")) + 16);
  LabelY = new QLabel(tr("色"), row);
  ImagePalette = new qv::ColorSwatch(row);
  ButtonDelete = new QPushButton(tr("削除"), row);
  ButtonColorBarPreset = new QToolButton(row);
  ButtonColorBarPreset->setText(tr("プリセット"));
  ButtonColorBarPreset->setPopupMode(QToolButton::InstantPopup);
  ButtonColorBarPreset->setMenu(new QMenu(ButtonColorBarPreset));
  for (QWidget* w :
       {static_cast<QWidget*>(LabelX), static_cast<QWidget*>(EditX), static_cast<QWidget*>(LabelY),
        static_cast<QWidget*>(ImagePalette), static_cast<QWidget*>(ButtonDelete),
        static_cast<QWidget*>(ButtonColorBarPreset)}) {
    h->addWidget(w);
  }
  h->addStretch(1);
  return row;
}

// The differential switch stands where the group's title would be.
QGroupBox* TFrameEffector::BuildDifferentialGroup() {
  GroupBox1 = new QGroupBox(this);
  CheckBoxDifferentialSW = new QCheckBox(tr("差分法"), GroupBox1);
  CheckBoxDifferentialSW->setAutoFillBackground(true);
  CheckBoxDifferentialSW->move(8, 0);
  CheckBoxDifferentialSW->adjustSize();
  auto* grid = new QGridLayout(GroupBox1);
  grid->setContentsMargins(8, CheckBoxDifferentialSW->height() + 2, 8, 6);
  CheckBoxDifferentialRegularSW = new QCheckBox(tr("正規化"), GroupBox1);
  CheckBoxDifferentialEdgeSW = new QCheckBox(tr("輪郭除去"), GroupBox1);
  LabelDifferentialVector = new QLabel(tr("方向"), GroupBox1);
  EditDifferentialVectorR = new QLineEdit(GroupBox1);
  EditDifferentialVectorI = new QLineEdit(GroupBox1);
  grid->addWidget(CheckBoxDifferentialRegularSW, 0, 1);
  grid->addWidget(CheckBoxDifferentialEdgeSW, 0, 2);
  grid->addWidget(LabelDifferentialVector, 1, 0);
  grid->addWidget(EditDifferentialVectorR, 1, 1);
  grid->addWidget(EditDifferentialVectorI, 1, 2);
  return GroupBox1;
}

void TFrameEffector::Connect() {
  // Typing only checks the name; Enter or leaving the box stores it.
  QVEntryMarks::Watch(
      EditName, [this] { qv::CheckName(marks_, EditName, Effector()); },
      [this] { EditNameChange(); });
  connect(ComboBoxDifferential, &QComboBox::currentIndexChanged, this,
          [this] { ComboBoxDifferentialChange(); });
  connect(FrameRenderingMethod->ComboBoxMethod, &QComboBox::currentIndexChanged, this,
          [this] { FrameRenderingMethodComboBoxMethodChange(); });
  connect(ButtonColorBarDec, &QToolButton::clicked, this, [this] { ButtonColorBarDecClick(); });
  connect(ButtonColorBarInc, &QToolButton::clicked, this, [this] { ButtonColorBarIncClick(); });
  connect(EditX, &QLineEdit::editingFinished, this, [this] {
    if (EditX->isModified()) EditXChange();
  });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  ImagePalette->OnClick = [this] { ImagePaletteClick(); };
  ImageColorBar->OnMouseDown = [this](int x) { ImageColorBarMouseDown(x); };
  ImageColorBar->OnDoubleClick = [this] { ImageColorBarDblClick(); };
  ImageColorBarStops->OnPress = [this](int x, int y) { ImageColorBarStopsMouseDown(x, y); };
  ImageColorBarStops->OnMove = [this](int x, int y) { ImageColorBarStopsMouseMove(x, y); };
  ImageColorBarStops->OnRelease = [this](int x, int y) { ImageColorBarStopsMouseUp(x, y); };
  ImageColorBarStops->OnDoubleClick = [this](int x) { ImageColorBarStopsDblClick(x); };
  ImageColorBarStops->OnArrow = [this](int dir) { ImageColorBarStopsArrow(dir); };
  connect(ButtonDelete, &QPushButton::clicked, this, [this] { ButtonDeleteClick(); });
  connect(ButtonColorBarPreset->menu(), &QMenu::aboutToShow, this,
          [this] { ButtonColorBarPresetMenu(ButtonColorBarPreset->menu()); });
  ChoiceGenerator->OnChoose = [this](int32_t i) {
    Edit([i](QVEffector& e) {
      const std::vector<QVGenerator*>& generators = e.Graph().Generators;
      e.SetGenerator(i >= 0 && static_cast<size_t>(i) < generators.size() ? generators[i]
                                                                          : nullptr);
    });
  };
  connect(CheckBoxDifferentialSW, &QCheckBox::toggled, this,
          [this] { CheckBoxDifferentialSWClick(); });
  connect(CheckBoxDifferentialRegularSW, &QCheckBox::toggled, this,
          [this] { CheckBoxDifferentialRegularSWClick(); });
  connect(CheckBoxDifferentialEdgeSW, &QCheckBox::toggled, this,
          [this] { CheckBoxDifferentialEdgeSWClick(); });
  // Typing only checks a box (and marks it); Enter or leaving it stores.
  QVEntryMarks::Watch(
      EditDifferentialVectorR, [this] { marks_.Real(EditDifferentialVectorR); },
      [this] { EditDifferentialVectorRChange(); });
  QVEntryMarks::Watch(
      EditDifferentialVectorI, [this] { marks_.Real(EditDifferentialVectorI); },
      [this] { EditDifferentialVectorIChange(); });
}

void TFrameEffector::SetEngine(QVMain* main) {
  main_ = main;
  FrameRenderingMethod->SetEngine(main);
}

void TFrameEffector::SetStatusLine(QVStatusLine* label) {
  status_ = label;
  marks_.SetStatusLine(label);
  FrameRenderingMethod->SetStatusLine(label);
}

void TFrameEffector::SetEffector(QVEffector* effector) {
  bar_.SetEffector(effector);
  FrameRenderingMethod->Method = effector ? &effector->RenderingMethod() : nullptr;
  EditX->setModified(false);  // a pending input belongs to the previous effector
  drag_.reset();
  dragOff_ = false;
  bar_.ThawSpan();
}

template <typename Body>
void TFrameEffector::Edit(Body body) {
  qv::Guarded(this, [&] {
    if (!Effector()) return;
    body(*Effector());
  });
}

void TFrameEffector::UpdateView() {
  QVEffector* e = Effector();
  if (!e) return;
  EditName->setText(qv::ToQString(e->Name()));
  UpdateGeneratorChoice();
  CheckBoxDifferentialSW->setChecked(e->Differential());
  CheckBoxDifferentialRegularSW->setChecked(e->DifferentialRegularSW());
  CheckBoxDifferentialEdgeSW->setChecked(e->DifferentialEdgeSW());
  marks_.Show(EditDifferentialVectorR, QVNumberEntry::RealText(e->DifferentialVector().re));
  marks_.Show(EditDifferentialVectorI, QVNumberEntry::RealText(e->DifferentialVector().im));
  FrameRenderingMethod->Method = &e->RenderingMethod();
  FrameRenderingMethod->UpdateView();
  DrawColorBar();
  ShowSelected();
}

void TFrameEffector::UpdateGeneratorChoice() {
  const QVEffector* e = Effector();
  if (!e) return;
  const std::vector<QVGenerator*>& generators = e->Graph().Generators;
  std::vector<std::string> names;
  for (const QVGenerator* g : generators) names.push_back(g->Name());
  const auto at = std::find(generators.begin(), generators.end(), e->Generator());
  ChoiceGenerator->Show(
      names, at == generators.end() ? -1 : static_cast<int32_t>(at - generators.begin()));
}

void TFrameEffector::DrawColorBar() { ImageColorBar->SetColors(bar_.ColumnColors()); }

void TFrameEffector::DrawStops() {
  ImageColorBarStops->SetStops(bar_.EntryColumns(), bar_.HasSelection() ? bar_.Selected() : -1,
                               dragOff_);
}

void TFrameEffector::ShowBar() {
  DrawColorBar();
  ShowSelected();
}

void TFrameEffector::ShowStatus(const QString& message) {
  if (status_) status_->SetMessage(message);
}

void TFrameEffector::ShowSelected() {
  ShapeColorBarMarker->move(ImageColorBar->x() + ColorBarView::MarkerLeft(bar_.SelectedColumn()),
                            0);
  EditX->setText(bar_.HasSelection() ? qv::ToQString(QVNumberEntry::RealText(bar_.SelectedInput()))
                                     : QString());
  marks_.Mark(EditX, "");
  const int32_t color = bar_.SelectedColor();
  ImagePalette->SetColor(color);
  ColorDialog1->setCurrentColor(qv::ToQColor(color));
  EditX->setCursorPosition(0);  // the sign and the leading digits, if it ever overflows
  DrawStops();
}

void TFrameEffector::EditNameChange() {
  qv::StoreName(marks_, EditName, Effector());
}

void TFrameEffector::ComboBoxDifferentialChange() {
  const int index = ComboBoxDifferential->currentIndex();
  if (index != 0 && index != 1) return;
  Edit([&](QVEffector& e) { e.SetDifferential(index == 1); });
}

void TFrameEffector::FrameRenderingMethodComboBoxMethodChange() {
  Edit([&](QVEffector& e) {
    auto method = FrameRenderingMethod->CloneSelected(RenderingMethods());
    if (!method) return;
    e.SetRenderingMethod(std::move(method));
    FrameRenderingMethod->Method = &e.RenderingMethod();
    FrameRenderingMethod->UpdateView();
  });
}

void TFrameEffector::ButtonColorBarDecClick() {
  if (!CommitPendingInput() || !CheckEntries()) return;
  if (bar_.SelectPrevious()) ShowSelected();
}

void TFrameEffector::ButtonColorBarIncClick() {
  if (!CommitPendingInput() || !CheckEntries()) return;
  if (bar_.SelectNext()) ShowSelected();
}

bool TFrameEffector::CommitPendingInput() {
  if (!EditX->isModified()) return true;
  Button1Click();
  return !EditX->isModified();
}

bool TFrameEffector::CheckEntries() {
  if (!Effector() || bar_.HasSelection()) return true;
  ShowStatus(QCoreApplication::translate(
      "TFrameEffector",
      "色帯に項目がありません。色帯をダブルクリックすると黒から白の色帯を作ります"));
  return false;
}

// A text that does not convert, or an input another entry has (as the project
// text keeps it, so that reading would merge the two), is marked and stores
// nothing; the box keeps it (and stays modified) so the user can correct it.
void TFrameEffector::EditXChange() {
  const auto x = marks_.Real(EditX);
  if (!x || !CheckEntries()) return;
  if (const int32_t other = bar_.OtherEntryAt(*x); other >= 0) {
    marks_.Mark(EditX, TakenInputMessage(EditX->text(), Effector()->EntryInput(other)));
    return;
  }
  Edit([&](QVEffector&) {
    bar_.SetSelectedInput(*x);
    ShowBar();
  });
}

void TFrameEffector::Button1Click() {
  if (!EditX->isModified()) return;
  EditXChange();
  if (!marks_.Marked(EditX)) EditX->setModified(false);
}

void TFrameEffector::ImagePaletteClick() {
  qv::Guarded(this, [&] {
    if (!CommitPendingInput() || !CheckEntries() || !RunColorDialog(ColorDialog1)) return;
    const int32_t color = qv::FromQColor(ColorDialog1->currentColor());
    Edit([&](QVEffector&) {
      bar_.SetSelectedColor(color);
      ShowBar();
    });
  });
}

void TFrameEffector::ImageColorBarMouseDown(int x) { MouseDownX = x; }

// A bar of fewer than two entries has no span to insert into: the
// double-click completes it instead, so such a bar can be repaired here.
void TFrameEffector::ImageColorBarDblClick() {
  if (!CommitPendingInput()) return;
  Edit([&](QVEffector& e) {
    const bool complete = e.EntryCount() < 2;
    complete ? bar_.Complete() : bar_.InsertAtColumn(MouseDownX);
    ShowBar();
    if (complete)
      ShowStatus(QCoreApplication::translate("TFrameEffector", "色帯に項目を補いました"));
  });
}

void TFrameEffector::ButtonDeleteClick() {
  if (!CommitPendingInput() || !CheckEntries()) return;
  if (Effector() && Effector()->EntryCount() < 3) return;
  Edit([&](QVEffector&) {
    bar_.DeleteSelected();
    ShowBar();
  });
}

void TFrameEffector::ImageColorBarStopsMouseDown(int x, int /*y*/) {
  if (!CommitPendingInput() || !CheckEntries()) return;
  const int32_t stop = ImageColorBarStops->StopAt(x);
  if (stop < 0) return;
  bar_.Select(stop);
  drag_.emplace(bar_.Inputs(), stop, x);
  dragOff_ = false;
  bar_.FreezeSpan();
  ShowSelected();
}

void TFrameEffector::ImageColorBarStopsMouseMove(int x, int y) {
  if (!drag_) return;
  dragOff_ = qv::StopDrag::IsOff(y, kBarTop - kMarkerHeight, kStopsHeight);
  if (!dragOff_) {
    if (const auto input = drag_->AtPointer(x); input && *input != bar_.SelectedInput()) {
      Edit([&](QVEffector&) { bar_.SetSelectedInput(*input); });
    }
  }
  ShowBar();
}

void TFrameEffector::ImageColorBarStopsMouseUp(int x, int y) {
  if (!drag_) return;
  ImageColorBarStopsMouseMove(x, y);
  const bool off = dragOff_;
  drag_.reset();
  dragOff_ = false;
  bar_.ThawSpan();
  const bool keep = off && Effector()->EntryCount() < 3;
  if (off && !keep) Edit([&](QVEffector&) { bar_.DeleteSelected(); });
  ShowBar();
  if (keep) {
    ShowStatus(
        QCoreApplication::translate("TFrameEffector", "色帯には少なくとも2つの項目が必要です"));
  }
}

void TFrameEffector::ImageColorBarStopsDblClick(int x) {
  if (!CommitPendingInput() || !CheckEntries()) return;
  const int32_t stop = ImageColorBarStops->StopAt(x);
  if (stop < 0) return;
  if (bar_.Select(stop)) ShowSelected();
  ImagePaletteClick();
}

void TFrameEffector::ImageColorBarStopsArrow(int dir) {
  if (drag_ || !CommitPendingInput() || !CheckEntries()) return;
  const auto input = qv::StopDrag(bar_.Inputs(), bar_.Selected()).Step(dir);
  if (!input) return;
  Edit([&](QVEffector&) {
    bar_.SetSelectedInput(*input);
    ShowBar();
  });
}

void TFrameEffector::CheckBoxDifferentialSWClick() {
  Edit([&](QVEffector& e) { e.SetDifferential(CheckBoxDifferentialSW->isChecked()); });
}

void TFrameEffector::CheckBoxDifferentialRegularSWClick() {
  Edit([&](QVEffector& e) {
    e.SetDifferentialRegularSW(CheckBoxDifferentialRegularSW->isChecked());
  });
}

void TFrameEffector::CheckBoxDifferentialEdgeSWClick() {
  Edit([&](QVEffector& e) { e.SetDifferentialEdgeSW(CheckBoxDifferentialEdgeSW->isChecked()); });
}

void TFrameEffector::EditDifferentialVectorRChange() { EditVector(EditDifferentialVectorR, true); }

void TFrameEffector::EditDifferentialVectorIChange() { EditVector(EditDifferentialVectorI, false); }

void TFrameEffector::EditVector(QLineEdit* box, bool realPart) {
  const auto value = marks_.Real(box);
  if (!value) return;
  Edit([&](QVEffector& e) {
    QVComplex v = e.DifferentialVector();
    (realPart ? v.re : v.im) = *value;
    e.SetDifferentialVector(v);
  });
}

void TFrameEffector::ApplyColorBar(const qv::ColorBar& bar, const QString& name) {
  if (!CommitPendingInput()) return;
  Edit([&](QVEffector& e) {
    e.SetColorBar(bar);
    bar_.SetEffector(&e);
    ShowBar();
    ShowStatus(QCoreApplication::translate("TFrameEffector", "色帯「%1」を適用しました").arg(name));
  });
}
