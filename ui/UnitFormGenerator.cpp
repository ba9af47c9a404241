#include "ui/UnitFormGenerator.h"

#include "ui/QVEditorWindow.h"
#include "ui/UnitGenerator.h"

TFormGenerator::TFormGenerator(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(tr("Q-Vell Generator"));
  FrameGenerator1 = new TFrameGenerator(this);
  LabelStatus = qv::LayOutEditor(this, FrameGenerator1);
  FrameGenerator1->SetStatusLine(LabelStatus);
}

void TFormGenerator::Release() {
  qv::ReleaseEditor(this, [this] { FrameGenerator1->SetGenerator(nullptr); });
}
