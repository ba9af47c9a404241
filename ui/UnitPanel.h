#pragma once
// TFramePanel: the small panel (108 x 32) that shows one node on the
// controller workspace: its name, the "マスク" box and a pop-up menu with
// "複製" and "削除". Its inner bevel is raised while it is the selected panel
// of its kind. The three node kinds derive from it and differ only in what a
// click or a menu item does. Panels are child widgets of the workspace and
// hold a non-owning reference to their node. UI thread.
#include <QCoreApplication>
#include <QFrame>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QVObject;
class TFrameController;

class TFramePanel : public QFrame {
  Q_DECLARE_TR_FUNCTIONS(TFramePanel)

 public:
  TFramePanel(TFrameController* controller, QWidget* parent);

  QFrame* Panel1;
  QLabel* LabelName;
  QCheckBox* CheckBoxMask;
  QMenu* PopupMenuPanel;
  QAction* Copy;
  QAction* Delete;

  /// The node this panel shows (not owned); kept while the panel is hidden.
  QVObject* Node = nullptr;

  /// True while the inner bevel is raised (the panel is selected).
  bool Raised() const;
  void SetRaised(bool raised);

 protected:
  /// Makes this panel its kind's selected panel: the previous one is lowered,
  /// this one raised.
  void Select(TFramePanel*& selected);
  /// A left click on the panel's body or name runs handler.
  void SetClickHandler(std::function<void()> handler) { click_ = std::move(handler); }

  bool eventFilter(QObject* watched, QEvent* event) override;

  TFrameController* const controller_;

 private:
  std::function<void()> click_;
  bool pressed_ = false;
};
