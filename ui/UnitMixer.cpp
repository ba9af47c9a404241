#include "ui/UnitMixer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "ui/QVEngineNames.h"
#include "ui/QVErrorBox.h"
#include "ui/QVGraphLinks.h"
#include "ui/QVLinkChoice.h"
#include "ui/QVNameEntry.h"
#include "ui/QVText.h"

namespace {

std::vector<std::string> Lines(const std::vector<qv::ElementView>& elements) {
  std::vector<std::string> lines;
  for (const qv::ElementView& e : elements) lines.push_back(qv::ElementLine(e));
  return lines;
}

}  // namespace

TFrameMixer::TFrameMixer(QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  EditName = new QLineEdit(this);
  CheckBoxMaskSW = new QCheckBox(tr("マスクスイッチ"), this);
  LabelTransparenceType = new QLabel(tr("透過法"), this);
  ComboBoxTransparenceType = new QComboBox(this);
  ComboBoxTransparenceType->setEditable(false);
  for (const std::string& name : TransparenceTypeNames) {
    ComboBoxTransparenceType->addItem(qv::DisplayName(name));
  }
  ComboBoxTransparenceType->setCurrentIndex(0);
  CheckBoxRegular = new QCheckBox(tr("正規化"), this);
  LabelSource = new QLabel(tr("Source List"), this);
  LabelTransparence = new QLabel(tr("Transparence List"), this);
  ListBoxSource = new QListWidget(this);
  ListBoxTransparence = new QListWidget(this);
  ChoiceBaseMixer = new QVLinkChoice(tr("ベースミキサー"), this);
  ChoiceBaseMixer->ComboBox->setToolTip(
      tr("このミキサーが重ねる下のミキサー（ミキサーの順番が変わる）"));
  ButtonUp = new QPushButton(tr("上へ"), this);
  ButtonDown = new QPushButton(tr("下へ"), this);
  ButtonRemove = new QPushButton(tr("削除"), this);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(ButtonUp);
  buttons->addWidget(ButtonDown);
  buttons->addWidget(ButtonRemove);
  buttons->addStretch(1);
  EditName->setToolTip(tr("ミキサーの名前（ほかのノードと別の名前）"));
  CheckBoxMaskSW->setToolTip(tr("オン: 二つのリストを無視して、下のミキサーの画像をそのまま通す"));
  ComboBoxTransparenceType->setToolTip(tr("ソースの色と透過入力の色を重ねる方法"));
  CheckBoxRegular->setToolTip(
      tr("オン: 255 を超えた色を明るさの比を保って縮める。オフ: 255 で切る"));
  ListBoxSource->setToolTip(tr("色を足し合わせる入力。右クリックかドラッグで順番を変え、削除する"));
  ListBoxTransparence->setToolTip(tr("透過に使う入力。右クリックかドラッグで順番を変え、削除する"));
  ButtonUp->setToolTip(tr("選んだ入力を一つ上へ移す"));
  ButtonDown->setToolTip(tr("選んだ入力を一つ下へ移す"));
  ButtonRemove->setToolTip(tr("選んだ入力をリストから外す（エフェクタは残る）"));
  grid->addWidget(EditName, 0, 0, 1, 2);
  grid->addWidget(CheckBoxMaskSW, 0, 2);
  grid->addWidget(ChoiceBaseMixer, 5, 0, 1, 3);
  grid->addWidget(LabelTransparenceType, 1, 0);
  grid->addWidget(ComboBoxTransparenceType, 1, 1);
  grid->addWidget(CheckBoxRegular, 1, 2);
  grid->addWidget(LabelSource, 2, 0, 1, 2);
  grid->addWidget(LabelTransparence, 2, 2);
  grid->addWidget(ListBoxSource, 3, 0, 1, 2);
  grid->addWidget(ListBoxTransparence, 3, 2);
  grid->addLayout(buttons, 4, 0, 1, 3);
  SetUpList(qv::MixerList::Source);
  SetUpList(qv::MixerList::Transparence);
  connect(ButtonUp, &QPushButton::clicked, this, [this] { MoveSelected(activeList_, -1); });
  connect(ButtonDown, &QPushButton::clicked, this, [this] { MoveSelected(activeList_, 1); });
  connect(ButtonRemove, &QPushButton::clicked, this, [this] { RemoveSelected(activeList_); });
  ChoiceBaseMixer->OnChoose = [this](int32_t i) { ChooseBase(i); };

  // Typing only checks the name; Enter or leaving the box stores it.
  QVEntryMarks::Watch(
      EditName, [this] { qv::CheckName(marks_, EditName, mixer_); }, [this] { EditNameChange(); });
  connect(ComboBoxTransparenceType, &QComboBox::currentIndexChanged, this,
          [this] { ComboBoxTransparenceTypeChange(); });
  connect(CheckBoxMaskSW, &QCheckBox::toggled, this, [this] { CheckBoxMaskSWClick(); });
  connect(CheckBoxRegular, &QCheckBox::toggled, this, [this] { CheckBoxRegularClick(); });
}

template <typename Body>
void TFrameMixer::Edit(Body body) {
  qv::Guarded(this, [&] {
    if (!mixer_) return;
    body(*mixer_);
  });
}

void TFrameMixer::UpdateView() {
  if (!mixer_) return;
  EditName->setText(qv::ToQString(mixer_->Name()));
  CheckBoxRegular->setChecked(mixer_->Regular());
  CheckBoxMaskSW->setChecked(mixer_->MaskSW());
  {
    // A type outside the five shows no item rather than indexing past them.
    const int32_t type = mixer_->TransparenceType();
    const QSignalBlocker block(ComboBoxTransparenceType);
    ComboBoxTransparenceType->setCurrentIndex(
        type >= 0 && type < ComboBoxTransparenceType->count() ? type : -1);
  }
  UpdateLinks();
}

void TFrameMixer::UpdateLinks() {
  if (!mixer_) return;
  {
    const QSignalBlocker block(CheckBoxMaskSW);
    CheckBoxMaskSW->setChecked(mixer_->MaskSW());
  }
  ShowLines(ListBoxSource, Lines(qv::SourceElements(*mixer_)));
  ShowLines(ListBoxTransparence, Lines(qv::TransparenceElements(*mixer_)));
  baseChoices_.clear();
  std::vector<std::string> names;
  for (QVMixer* m : mixer_->Graph().Mixers) {
    if (m == mixer_) continue;
    baseChoices_.push_back(m);
    names.push_back(m->Name());
  }
  const auto at = std::find(baseChoices_.begin(), baseChoices_.end(), mixer_->BaseMixer());
  ChoiceBaseMixer->Show(
      names, at == baseChoices_.end() ? -1 : static_cast<int32_t>(at - baseChoices_.begin()));
}

QListWidget* TFrameMixer::ListBox(qv::MixerList list) const {
  return list == qv::MixerList::Source ? ListBoxSource : ListBoxTransparence;
}

// A list's elements move by dragging, or from its context menu; selecting an
// element makes the buttons act on its list.
void TFrameMixer::SetUpList(qv::MixerList list) {
  QListWidget* box = ListBox(list);
  box->setDragDropMode(QAbstractItemView::InternalMove);
  box->setDefaultDropAction(Qt::MoveAction);
  connect(box, &QListWidget::currentRowChanged, this, [this, list] { activeList_ = list; });
  connect(box->model(), &QAbstractItemModel::rowsMoved, this,
          [this, list](const QModelIndex&, int start, int, const QModelIndex&, int row) {
            ElementDragged(list, start, row > start ? row - 1 : row);
          });
  box->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(box, &QWidget::customContextMenuRequested, this, [this, list, box](const QPoint& at) {
    activeList_ = list;
    const int row = box->currentRow();
    QMenu menu(this);
    QAction* up = menu.addAction(tr("上へ"));
    QAction* down = menu.addAction(tr("下へ"));
    QAction* remove = menu.addAction(tr("削除"));
    up->setEnabled(row > 0);
    down->setEnabled(row >= 0 && row + 1 < box->count());
    remove->setEnabled(row >= 0);
    QAction* chosen = menu.exec(box->viewport()->mapToGlobal(at));
    if (chosen == up) MoveSelected(list, -1);
    if (chosen == down) MoveSelected(list, 1);
    if (chosen == remove) RemoveSelected(list);
  });
}

void TFrameMixer::MoveSelected(qv::MixerList list, int32_t delta) {
  QListWidget* box = ListBox(list);
  const int32_t from = box->currentRow();
  const int32_t to = from + delta;
  if (from < 0 || to < 0 || to >= box->count()) return;
  Edit([&](QVMixer& m) { qv::MoveElement(m, list, from, to); });
  UpdateLinks();
  box->setCurrentRow(to);
}

void TFrameMixer::RemoveSelected(qv::MixerList list) {
  QListWidget* box = ListBox(list);
  const int32_t row = box->currentRow();
  if (row < 0) return;
  Edit([&](QVMixer& m) { qv::RemoveElement(m, list, row); });
  UpdateLinks();
  box->setCurrentRow(std::min(row, box->count() - 1));
}

void TFrameMixer::ElementDragged(qv::MixerList list, int32_t from, int32_t to) {
  Edit([&](QVMixer& m) { qv::MoveElement(m, list, from, to); });
  UpdateLinks();
  ListBox(list)->setCurrentRow(to);
}

void TFrameMixer::ChooseBase(int32_t index) {
  Edit([&](QVMixer& m) {
    QVMixer* base = index >= 0 && static_cast<size_t>(index) < baseChoices_.size()
                        ? baseChoices_[index]
                        : nullptr;
    m.Graph().MoveMixer(m, base);
  });
  UpdateLinks();
}

void TFrameMixer::ShowLines(QListWidget* list, const std::vector<std::string>& lines) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const QString text = qv::ToQString(lines[i]);
    if (static_cast<int>(i) < list->count()) {
      list->item(static_cast<int>(i))->setText(text);
    } else {
      list->addItem(text);
    }
  }
  while (list->count() > static_cast<int>(lines.size())) {
    delete list->takeItem(static_cast<int>(lines.size()));
  }
}

void TFrameMixer::EditNameChange() {
  qv::StoreName(marks_, EditName, mixer_);
}

void TFrameMixer::ComboBoxTransparenceTypeChange() {
  const int index = ComboBoxTransparenceType->currentIndex();
  if (index < 0 || index >= static_cast<int>(TransparenceTypeNames.size())) return;
  Edit([&](QVMixer& m) { m.SetTransparenceType(index); });
}

void TFrameMixer::CheckBoxMaskSWClick() {
  Edit([&](QVMixer& m) { m.SetMaskSW(CheckBoxMaskSW->isChecked()); });
}

void TFrameMixer::CheckBoxRegularClick() {
  Edit([&](QVMixer& m) { m.SetRegular(CheckBoxRegular->isChecked()); });
}
