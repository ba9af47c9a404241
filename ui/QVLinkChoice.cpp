#include "ui/QVLinkChoice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "ui/QVText.h"

QVLinkChoice::QVLinkChoice(const QString& label, QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  Label = new QLabel(label, this);
  ComboBox = new QComboBox(this);
  ComboBox->setEditable(false);
  ComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  row->addWidget(Label);
  row->addWidget(ComboBox, 1);
  connect(ComboBox, &QComboBox::activated, this, [this](int index) {
    if (OnChoose) OnChoose(index - 1);
  });
}

void QVLinkChoice::Show(const std::vector<std::string>& names, int32_t current) {
  const QSignalBlocker block(ComboBox);
  ComboBox->clear();
  ComboBox->addItem(tr("（なし）"));
  for (const std::string& name : names) ComboBox->addItem(qv::ToQString(name));
  ComboBox->setCurrentIndex(current + 1);
}
