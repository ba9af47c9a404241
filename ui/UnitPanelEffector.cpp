#include "ui/UnitPanelEffector.h"

#include "ui/UnitController.h"

TFramePanel* TFramePanelEffector::SelectedPanel = nullptr;

TFramePanelEffector::TFramePanelEffector(TFrameController* controller, QWidget* parent)
    : TFramePanel(controller, parent) {
  SetClickHandler([this] { Panel1Click(); });
}

TFramePanelEffector::~TFramePanelEffector() {
  if (SelectedPanel == this) SelectedPanel = nullptr;
}

void TFramePanelEffector::Panel1Click() {
  controller_->ShowEditor(*this);
  Select(SelectedPanel);
}
