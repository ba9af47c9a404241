#pragma once
// TFramePanelEffector: the panel of an effector. A click shows the effector editor. UI thread.
#include "ui/UnitPanel.h"

class TFramePanelEffector : public TFramePanel {
 public:
  TFramePanelEffector(TFrameController* controller, QWidget* parent);
  ~TFramePanelEffector() override;

  /// The effector panel clicked last (none at first); cleared when it is destroyed.
  static TFramePanel* SelectedPanel;

  void Panel1Click();
};
