#include "ui/UnitFormEffector.h"

#include <QComboBox>
#include <QPushButton>
#include <QShortcut>

#include "ui/QVEditorWindow.h"
#include "ui/UnitEffector.h"

TFormEffector::TFormEffector(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(tr("Q-Vell Effector"));
  FrameEffector1 = new TFrameEffector(this);
  LabelStatus = qv::LayOutEditor(this, FrameEffector1);
  FrameEffector1->SetStatusLine(LabelStatus);
  FrameEffector1->ComboBoxDifferential->addItems({tr("off"), tr("on")});
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* enter = new QShortcut(QKeySequence(key), this);
    enter->setContext(Qt::WindowShortcut);
    connect(enter, &QShortcut::activated, FrameEffector1->Button1, &QPushButton::click);
  }
}

void TFormEffector::Release() {
  qv::ReleaseEditor(this, [this] { FrameEffector1->SetEffector(nullptr); });
}
