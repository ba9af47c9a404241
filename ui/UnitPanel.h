#pragma once
// TFramePanel: the small panel (108 x 32) that shows one node on the
// controller workspace: its name (cut with "…" when long; the whole name is
// the tool tip), the "マスク" box (a mixer's mask switch; hidden on the other
// kinds), a thumbnail of the node's picture (effectors and mixers) and a
// pop-up menu with "複製", "削除" and "ビューアに表示". Its inner bevel is
// raised while it is the selected panel of its kind. The three node kinds
// derive from it and differ only in what a click or a menu item does. Panels
// are child widgets of the workspace and hold a non-owning reference to their
// node. UI thread.
#include <QCoreApplication>
#include <QFrame>
#include <functional>
#include <string>

#include "engine/QVPicture.h"

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
  /// The node's picture at thumbnail size (effector and mixer panels; else null).
  QLabel* ImageThumbnail = nullptr;
  QMenu* PopupMenuPanel;
  QAction* Copy;
  QAction* Delete;
  /// "ビューアに表示" (effector and mixer panels; else null).
  QAction* ShowInViewer = nullptr;

  /// The node this panel shows (not owned); kept while the panel is hidden.
  QVObject* Node = nullptr;

  /// Shows name, cut to the label's width with "…" (the tool tip holds it whole).
  void SetName(const std::string& name);
  /// The thumbnail shown (null: none).
  const QVPictureRef& Thumbnail() const { return thumbnail_; }
  void SetThumbnail(QVPictureRef picture);

  /// True while the inner bevel is raised (the panel is selected).
  bool Raised() const;
  void SetRaised(bool raised);

 protected:
  /// Makes this panel its kind's selected panel: the previous one is lowered,
  /// this one raised.
  void Select(TFramePanel*& selected);
  /// A left click on the panel's body or name runs handler.
  void SetClickHandler(std::function<void()> handler) { click_ = std::move(handler); }
  /// A left-button drag from the panel's body runs handler once it has moved
  /// the drag distance.
  void SetDragHandler(std::function<void()> handler) { drag_ = std::move(handler); }
  /// Adds the thumbnail and "ビューアに表示"; the name leaves room for it.
  void AddPicture();

  bool eventFilter(QObject* watched, QEvent* event) override;

  TFrameController* const controller_;

 private:
  std::function<void()> click_;
  std::function<void()> drag_;
  bool pressed_ = false;
  QPoint pressedAt_;
  QVPictureRef thumbnail_;
};
