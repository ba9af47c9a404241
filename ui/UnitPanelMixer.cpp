#include "ui/UnitPanelMixer.h"

#include <QMenu>

#include "ui/UnitController.h"

TFramePanel* TFramePanelMixer::SelectedPanel = nullptr;

TFramePanelMixer::TFramePanelMixer(TFrameController* controller, QWidget* parent)
    : TFramePanel(controller, parent) {
  SetClickHandler([this] { Panel1Click(); });
  PopupMenuConnection = new QMenu(this);
  for (const char* item : {"入力", "入力（マスク）", "透過入力", "透過入力（マスク）"}) {
    PopupMenuConnection->addAction(QString::fromUtf8(item))->setEnabled(false);
  }
}

TFramePanelMixer::~TFramePanelMixer() {
  if (SelectedPanel == this) SelectedPanel = nullptr;
}

void TFramePanelMixer::Panel1Click() {
  controller_->ShowEditor(*this);
  Select(SelectedPanel);
}
