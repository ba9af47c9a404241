#pragma once
// TFramePanelGenerator: the panel of a generator. A click shows the
// generator editor; "複製" copies the generator. UI thread.
#include "ui/UnitPanel.h"

class TFramePanelGenerator : public TFramePanel {
 public:
  TFramePanelGenerator(TFrameController* controller, QWidget* parent);
  ~TFramePanelGenerator() override;

  /// The generator panel clicked last (none at first); cleared when it is destroyed.
  static TFramePanel* SelectedPanel;

  void PanelClick();
  void CopyClick();
};
