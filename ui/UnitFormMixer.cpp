#include "ui/UnitFormMixer.h"

#include "ui/QVEditorWindow.h"
#include "ui/UnitMixer.h"

TFormMixer::TFormMixer(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(tr("Q-Vell Mixer"));
  FrameMixer1 = new TFrameMixer(this);
  LabelStatus = qv::LayOutEditor(this, FrameMixer1);
  FrameMixer1->SetStatusLine(LabelStatus);
}

void TFormMixer::Release() {
  qv::ReleaseEditor(this, [this] { FrameMixer1->SetMixer(nullptr); });
}
