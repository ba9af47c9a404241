#include "ui/UnitPanelGenerator.h"

#include <QAction>

#include "ui/UnitController.h"

TFramePanel* TFramePanelGenerator::SelectedPanel = nullptr;

TFramePanelGenerator::TFramePanelGenerator(TFrameController* controller, QWidget* parent)
    : TFramePanel(controller, parent) {
  SetClickHandler([this] { PanelClick(); });
  Copy->setEnabled(true);
  connect(Copy, &QAction::triggered, this, [this] { CopyClick(); });
}

TFramePanelGenerator::~TFramePanelGenerator() {
  if (SelectedPanel == this) SelectedPanel = nullptr;
}

void TFramePanelGenerator::PanelClick() {
  controller_->ShowEditor(*this);
  Select(SelectedPanel);
}

void TFramePanelGenerator::CopyClick() { controller_->CopyGenerator(*this); }
