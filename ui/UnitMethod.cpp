#include "ui/UnitMethod.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/QVMain.h"
#include "ui/QVEngineNames.h"
#include "ui/QVErrorBox.h"
#include "ui/QVNumberEntry.h"
#include "ui/QVText.h"

namespace {

constexpr char kTag[] = "Tag";  // the parameter slot a box edits

}  // namespace

TFrameMethod::TFrameMethod(QWidget* parent) : QWidget(parent) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  GroupBoxMethod = new QGroupBox(this);
  outer->addWidget(GroupBoxMethod);
  auto* grid = grid_ = new QGridLayout(GroupBoxMethod);
  ComboBoxMethod = new QComboBox(GroupBoxMethod);
  ComboBoxMethod->setEditable(false);
  grid->addWidget(ComboBoxMethod, 0, 0, 1, 3);
  for (int k = 0; k < 4; ++k) {
    labels_[k] = new QLabel(GroupBoxMethod);
    realBoxes_[k] = new QLineEdit(QStringLiteral("0"), GroupBoxMethod);
    imagBoxes_[k] = new QLineEdit(QStringLiteral("0"), GroupBoxMethod);
    realBoxes_[k]->setProperty(kTag, k);
    imagBoxes_[k]->setProperty(kTag, k);
    grid->addWidget(labels_[k], k + 1, 0);
    grid->addWidget(realBoxes_[k], k + 1, 1);
    grid->addWidget(imagBoxes_[k], k + 1, 2);
    QLineEdit* r = realBoxes_[k];
    QLineEdit* i = imagBoxes_[k];
    // Typing only checks a box (and marks it); Enter or leaving it stores.
    QVEntryMarks::Watch(
        r, [this, r] { marks_.Real(r); }, [this, r] { EditParamRChange(r); });
    QVEntryMarks::Watch(
        i, [this, i] { marks_.Real(i); }, [this, i] { EditParamIChange(i); });
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);
  grid->setContentsMargins(6, 4, 6, 4);  // compact: the main window's opening height
  grid->setVerticalSpacing(2);
  LabelParam0 = labels_[0], LabelParam1 = labels_[1], LabelParam2 = labels_[2];
  LabelParam3 = labels_[3];
  EditParam0R = realBoxes_[0], EditParam1R = realBoxes_[1], EditParam2R = realBoxes_[2];
  EditParam3R = realBoxes_[3];
  EditParam0I = imagBoxes_[0], EditParam1I = imagBoxes_[1], EditParam2I = imagBoxes_[2];
  EditParam3I = imagBoxes_[3];
}

void TFrameMethod::SetMethodNames(const std::vector<std::string>& names) {
  const QSignalBlocker block(ComboBoxMethod);
  for (const std::string& name : names) ComboBoxMethod->addItem(qv::DisplayName(name));
  ComboBoxMethod->setCurrentIndex(ComboBoxMethod->count() > 0 ? 0 : -1);
}

void TFrameMethod::FitLabelColumn(const std::vector<std::string>& labels) {
  int widest = 0;
  for (const std::string& label : labels) {
    widest = std::max(widest, labels_[0]->fontMetrics().horizontalAdvance(qv::ToQString(label)));
  }
  grid_->setColumnMinimumWidth(0, widest);
}

int TFrameMethod::SelectedIndex() const { return ComboBoxMethod->currentIndex(); }

void TFrameMethod::UpdateView() {
  if (!Method) return;
  const QString name = qv::DisplayName(Method->Name());
  for (int i = 0; i < ComboBoxMethod->count(); ++i) {
    if (ComboBoxMethod->itemText(i) == name) {
      const QSignalBlocker block(ComboBoxMethod);
      ComboBoxMethod->setCurrentIndex(i);
      break;
    }
  }
  ComboBoxMethod->setToolTip(
      tr("%1を選ぶ。下の欄は選んだ方法のパラメータ").arg(GroupBoxMethod->title()));
  // Only the method's own slots show; the rows below them hide.
  for (uint32_t k = 0; k < 4; ++k) {
    const bool used = k < Method->ParamCount();
    labels_[k]->setVisible(used);
    realBoxes_[k]->setVisible(used);
    imagBoxes_[k]->setVisible(used);
    const QString slot = qv::DisplayName(Method->ParamLabel(k));
    labels_[k]->setText(slot);
    const QVComplex v = Method->ParamValue(k);
    marks_.Show(realBoxes_[k], QVNumberEntry::RealText(v.re));  // stores nothing
    marks_.Show(imagBoxes_[k], QVNumberEntry::RealText(v.im));
    realBoxes_[k]->setToolTip(tr("「%1」の実部（浮動小数点数）").arg(slot));
    imagBoxes_[k]->setToolTip(tr("「%1」の虚部（浮動小数点数）").arg(slot));
  }
}

void TFrameMethod::EditParamRChange(QLineEdit* sender) { EditParamChange(sender, true); }

void TFrameMethod::EditParamIChange(QLineEdit* sender) { EditParamChange(sender, false); }

// A text that does not convert is marked and stores nothing; a slot the
// method lacks is converted (and marked) but stores nothing either.
void TFrameMethod::EditParamChange(QLineEdit* sender, bool realPart) {
  qv::Guarded(this, [&] {
    const std::optional<double> value = marks_.Real(sender);
    if (!value || !Method) return;
    const uint32_t k = sender->property(kTag).toUInt();
    if (k >= Method->ParamCount()) return;
    QVComplex v = Method->ParamValue(k);
    (realPart ? v.re : v.im) = *value;
    Method->SetParamValue(k, v);
  });
}
