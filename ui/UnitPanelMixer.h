#pragma once
// TFramePanelMixer: the panel of a mixer. A click shows the mixer editor.
// PopupMenuConnection holds the four link kinds; no control offers it, since
// links are made only in project text. UI thread.
#include "ui/UnitPanel.h"

class QMenu;
class TFramePanelMixer : public TFramePanel {
  Q_DECLARE_TR_FUNCTIONS(TFramePanelMixer)

 public:
  TFramePanelMixer(TFrameController* controller, QWidget* parent);
  ~TFramePanelMixer() override;

  /// The mixer panel clicked last (none at first); cleared when it is destroyed.
  static TFramePanel* SelectedPanel;

  QMenu* PopupMenuConnection;
  void Panel1Click();
};
