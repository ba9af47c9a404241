#include "ui/UnitPanelMixer.h"

#include <QMenu>

#include "ui/UnitController.h"

TFramePanel* TFramePanelMixer::SelectedPanel = nullptr;

TFramePanelMixer::TFramePanelMixer(TFrameController* controller, QWidget* parent)
    : TFramePanel(controller, parent) {
  SetClickHandler([this] { Panel1Click(); });
  PopupMenuConnection = new QMenu(this);
  for (const QString& item :
       {tr("入力"), tr("入力（マスク）"), tr("透過入力"), tr("透過入力（マスク）")}) {
    PopupMenuConnection->addAction(item)->setEnabled(false);
  }
}

TFramePanelMixer::~TFramePanelMixer() {
  if (SelectedPanel == this) SelectedPanel = nullptr;
}

void TFramePanelMixer::Panel1Click() {
  controller_->ShowEditor(*this);
  Select(SelectedPanel);
}
