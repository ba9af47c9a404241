#include "ui/UnitMixer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "ui/QVEngineNames.h"
#include "ui/QVErrorBox.h"
#include "ui/QVGraphLinks.h"
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
  EditName->setToolTip(tr("ミキサーの名前（ほかのノードと別の名前）"));
  CheckBoxMaskSW->setToolTip(tr("オン: 二つのリストを無視して、下のミキサーの画像をそのまま通す"));
  ComboBoxTransparenceType->setToolTip(tr("ソースの色と透過入力の色を重ねる方法"));
  CheckBoxRegular->setToolTip(
      tr("オン: 255 を超えた色を明るさの比を保って縮める。オフ: 255 で切る"));
  ListBoxSource->setToolTip(tr("色を足し合わせる入力（読み取り専用。グラフで変える）"));
  ListBoxTransparence->setToolTip(tr("透過に使う入力（読み取り専用。グラフで変える）"));
  grid->addWidget(EditName, 0, 0, 1, 2);
  grid->addWidget(CheckBoxMaskSW, 0, 2);
  grid->addWidget(LabelTransparenceType, 1, 0);
  grid->addWidget(ComboBoxTransparenceType, 1, 1);
  grid->addWidget(CheckBoxRegular, 1, 2);
  grid->addWidget(LabelSource, 2, 0, 1, 2);
  grid->addWidget(LabelTransparence, 2, 2);
  grid->addWidget(ListBoxSource, 3, 0, 1, 2);
  grid->addWidget(ListBoxTransparence, 3, 2);

  connect(EditName, &QLineEdit::textChanged, this, [this] { EditNameChange(); });
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
  ShowLines(ListBoxSource, Lines(qv::SourceElements(*mixer_)));
  ShowLines(ListBoxTransparence, Lines(qv::TransparenceElements(*mixer_)));
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
