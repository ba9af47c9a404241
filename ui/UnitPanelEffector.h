#pragma once
// TFramePanelEffector: the panel of an effector. A click shows the effector
// editor; dragging the panel onto a mixer's panel connects them (the drop
// asks which of the four connection kinds). UI thread.
#include "ui/UnitPanel.h"

class TFramePanelEffector : public TFramePanel {
 public:
  TFramePanelEffector(TFrameController* controller, QWidget* parent);
  ~TFramePanelEffector() override;

  /// The effector panel clicked last (none at first); cleared when it is destroyed.
  static TFramePanel* SelectedPanel;
  /// The type of the drag data: the effector's registry index, as decimal text.
  static const char* const MimeType;

  void Panel1Click();
  /// Starts dragging this panel's effector (returns when the drag ends).
  void StartDrag();
};
