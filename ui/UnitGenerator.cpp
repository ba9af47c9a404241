#include "ui/UnitGenerator.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVNumeric.h"
#include "ui/QVErrorBox.h"
#include "ui/QVNameEntry.h"
#include "ui/QVNumberEntry.h"
#include "ui/QVText.h"
#include "ui/UnitMethod.h"

TFrameGenerator::TFrameGenerator(QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  EditName = new QLineEdit(this);
  LabelDepth = new QLabel(tr("深さ"), this);
  EditDepth = new QLineEdit(this);
  LabelRange = new QLabel(tr("範囲"), this);
  EditRange = new QLineEdit(this);
  FrameDivergenceMethod = new TFrameMethod(this);
  FrameDivergenceMethod->GroupBoxMethod->setTitle(tr("発散判定方法"));
  FrameDivergenceMethod->SetMethodList(DivergenceMethods());
  FrameOutputMethod = new TFrameMethod(this);
  FrameOutputMethod->GroupBoxMethod->setTitle(tr("演算出力方法"));
  FrameOutputMethod->SetMethodList(OutputMethods());
  EditName->setToolTip(tr("ジェネレータの名前（ほかのノードと別の名前）"));
  EditDepth->setToolTip(
      tr("1 画素あたりの反復の最大回数。整数（小数は切り捨て）。大きいほど細部が出るが遅い"));
  EditRange->setToolTip(tr("発散とみなす境界: |z|² がこの値を超えると反復をやめる。浮動小数点数"));
  grid->addWidget(EditName, 0, 0, 1, 2);
  grid->addWidget(LabelDepth, 1, 0);
  grid->addWidget(EditDepth, 1, 1);
  grid->addWidget(LabelRange, 1, 2);
  grid->addWidget(EditRange, 1, 3);
  grid->addWidget(FrameDivergenceMethod, 2, 0, 1, 4);
  grid->addWidget(FrameOutputMethod, 3, 0, 1, 4);
  grid->setRowStretch(4, 1);

  // Typing only checks the name; Enter or leaving the box stores it.
  QVEntryMarks::Watch(
      EditName, [this] { qv::CheckName(marks_, EditName, generator_); },
      [this] { EditNameChange(); });
  // Typing only checks a box (and marks it); Enter or leaving it stores.
  QVEntryMarks::Watch(
      EditDepth, [this] { marks_.Real(EditDepth); }, [this] { EditDepthChange(); });
  QVEntryMarks::Watch(
      EditRange, [this] { marks_.Real(EditRange); }, [this] { EditRangeChange(); });
  connect(FrameDivergenceMethod->ComboBoxMethod, &QComboBox::currentIndexChanged, this,
          [this] { FrameDivergenceMethodComboBoxMethodChange(); });
  connect(FrameOutputMethod->ComboBoxMethod, &QComboBox::currentIndexChanged, this,
          [this] { FrameOutputMethodComboBoxMethodChange(); });
}

void TFrameGenerator::SetEngine(QVMain* main) {
  main_ = main;
  FrameDivergenceMethod->SetEngine(main);
  FrameOutputMethod->SetEngine(main);
}

void TFrameGenerator::SetStatusLine(QVStatusLine* label) {
  marks_.SetStatusLine(label);
  FrameDivergenceMethod->SetStatusLine(label);
  FrameOutputMethod->SetStatusLine(label);
}

void TFrameGenerator::SetGenerator(QVGenerator* generator) {
  generator_ = generator;
  FrameDivergenceMethod->Method = generator ? &generator->DivergenceMethod() : nullptr;
  FrameOutputMethod->Method = generator ? &generator->OutputMethod() : nullptr;
}

void TFrameGenerator::UpdateView() {
  if (!generator_) return;
  EditName->setText(qv::ToQString(generator_->Name()));
  marks_.Show(EditDepth, QVNumberEntry::IntegerText(generator_->Depth()));
  marks_.Show(EditRange, QVNumberEntry::RealText(generator_->Range()));  // stores nothing
  FrameDivergenceMethod->Method = &generator_->DivergenceMethod();
  FrameDivergenceMethod->UpdateView();
  FrameOutputMethod->Method = &generator_->OutputMethod();
  FrameOutputMethod->UpdateView();
}

void TFrameGenerator::EditNameChange() {
  qv::StoreName(marks_, EditName, generator_);
}

// The depth is read as a real and truncated toward zero into the 32-bit
// range, as the project reader reads it: 12.7 stores 12, 1e3 stores 1000.
void TFrameGenerator::EditDepthChange() {
  qv::Guarded(this, [&] {
    const auto value = marks_.Real(EditDepth);
    if (!value || !generator_) return;
    generator_->SetDepth(qv::TruncToInt(*value));
  });
}

void TFrameGenerator::EditRangeChange() {
  qv::Guarded(this, [&] {
    const auto value = marks_.Real(EditRange);
    if (!value || !generator_) return;
    generator_->SetRange(*value);
  });
}

// The kind chosen in frame replaces the method (a fresh clone of the
// prototype, with its defaults), and frame shows the new method.
template <typename T, typename Install>
void TFrameGenerator::ChangeMethod(TFrameMethod* frame, const std::vector<const T*>& list,
                                   Install install) {
  qv::Guarded(this, [&] {
    std::unique_ptr<T> method = frame->CloneSelected(list);
    if (!method || !generator_) return;
    frame->Method = install(std::move(method));
    frame->UpdateView();
  });
}

void TFrameGenerator::FrameDivergenceMethodComboBoxMethodChange() {
  ChangeMethod(FrameDivergenceMethod, DivergenceMethods(), [this](auto method) {
    generator_->SetDivergenceMethod(std::move(method));
    return &generator_->DivergenceMethod();
  });
}

void TFrameGenerator::FrameOutputMethodComboBoxMethodChange() {
  ChangeMethod(FrameOutputMethod, OutputMethods(), [this](auto method) {
    generator_->SetOutputMethod(std::move(method));
    return &generator_->OutputMethod();
  });
}
