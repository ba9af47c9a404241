#pragma once
// TFramePanelMixer: the panel of a mixer. A click shows the mixer editor; its
// "マスク" box is the mixer's mask switch. Its pop-up menu adds
// PopupMenuConnection's four kinds, which connect the selected effector; an
// effector panel dropped on it asks for the kind with PopupMenuConnection.
// UI thread.
#include <optional>

#include "ui/QVGraphEdit.h"
#include "ui/UnitPanel.h"

class QMenu;
class TFramePanelMixer : public TFramePanel {
  Q_DECLARE_TR_FUNCTIONS(TFramePanelMixer)

 public:
  TFramePanelMixer(TFrameController* controller, QWidget* parent);
  ~TFramePanelMixer() override;

  /// The mixer panel clicked last (none at first); cleared when it is destroyed.
  static TFramePanel* SelectedPanel;

  /// "入力", "入力（マスク）", "透過入力", "透過入力（マスク）" (N1 to N4).
  QMenu* PopupMenuConnection;
  QAction* N1;
  QAction* N2;
  QAction* N3;
  QAction* N4;
  void Panel1Click();
  /// Shows the mask switch of mixer (a refresh: stores nothing).
  void ShowMaskSW(bool on);
  /// Shows PopupMenuConnection at global with every entry enabled and
  /// returns the kind chosen (none when the menu was closed).
  std::optional<qv::Connection> AskConnection(const QPoint& global);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QAction* Entry(qv::Connection kind) const;
  bool asking_ = false;  // the menu asks for a drop's kind: its entries connect nothing
};
