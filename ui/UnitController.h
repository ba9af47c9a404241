#pragma once
// TFrameController: the controller workspace. One panel per node (generators
// left, effectors in the middle, mixers right; row i = registry index i) over
// a surface with one straight line per link. Panels are created when first
// needed and reused; surplus ones are hidden. A click on a panel binds and
// shows its node's editor window. The surface grows (and scrolls) with the
// longest column. It edits the graph too: its menu adds nodes, a panel's
// deletes one, a mixer panel's connects the selected effector, and an
// effector panel dropped on a mixer panel connects the two; the workspace is
// redrawn after each. Effector and mixer panels show thumbnails, computed in
// the background after each change while no render runs. Holds non-owning
// references to the engine root and the editor windows. UI thread.
#include <QTimer>
#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "engine/QVGraph.h"
#include "ui/QVGraphEdit.h"
#include "ui/QVNodePictureJob.h"
#include "ui/QVQtHost.h"
#include "ui/QVWorkspaceGeometry.h"

class QMenu;
class QScrollArea;
class QVEffector;
class QVMain;
class QVNode;
class TFormEffector;
class TFormGenerator;
class TFormMixer;
class TFramePanel;
class TFramePanelEffector;
class TFramePanelGenerator;
class TFramePanelMixer;

class TFrameController : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFrameController)

 public:
  explicit TFrameController(QWidget* parent = nullptr);
  ~TFrameController() override;

  QScrollArea* ScrollBox;
  /// The drawing surface: the lines are painted on it and the panels lie over it.
  QWidget* ImageWorkSpace;

  /// Binds the engine root.
  void SetMain(QVMain* main);
  /// The bound project's graph (an empty one while none is bound).
  const QVNodeGraph& Graph() const;
  /// The editor windows a panel click shows (any may be null until created).
  void SetEditors(TFormGenerator* generator, TFormEffector* effector, TFormMixer* mixer);

  /// UpdatePanels, then DrawConnections.
  void UpdateView();
  /// Shows one panel per node of each registry, at its row, bound to the node.
  void UpdatePanels();
  /// Redraws the surface with the lines of every link, in drawing order.
  void DrawConnections();

  /// Binds and shows the editor of a panel's node (a node no longer in the graph is ignored).
  void ShowEditor(TFramePanelGenerator& panel);
  void ShowEditor(TFramePanelEffector& panel);
  void ShowEditor(TFramePanelMixer& panel);
  /// Copies a panel's generator and shows the copy's panel at once.
  void CopyGenerator(TFramePanelGenerator& panel);

  /// The workspace's own menu: "ジェネレータを追加", "エフェクタを追加" and
  /// "ミキサーを追加".
  QMenu* PopupMenuWorkSpace;
  /// Adds a generator; an effector on the selected generator (none when no
  /// generator panel is selected); a mixer built on the last one, which
  /// becomes the picture's mixer. Each is named by its kind's counter.
  void AddGenerator();
  void AddEffector();
  void AddMixer();
  /// Deletes a panel's node and every reference to it, after asking
  /// (ConfirmDelete) when other nodes use it.
  void DeleteNode(TFramePanel& panel);
  /// Asked before a node other nodes use is deleted; true deletes. Tests
  /// replace it (a message box by default).
  std::function<bool(const std::string& question)> ConfirmDelete;
  /// The effector of the selected effector panel, or null.
  QVEffector* SelectedEffector() const;
  /// Connects the selected effector to a panel's mixer as kind says.
  void ConnectSelected(TFramePanelMixer& panel, qv::Connection kind);
  /// An effector panel (of effector row) dropped on a mixer panel at global:
  /// asks for the kind (AskConnection) and connects the two.
  void DropEffector(TFramePanelMixer& panel, int32_t row, const QPoint& global);
  /// Asks for a drop's kind; tests replace it (the connection menu by default).
  std::function<std::optional<qv::Connection>(TFramePanelMixer& panel, const QPoint& global)>
      AskConnection;
  /// The mask switch of a panel's mixer, from its "マスク" box.
  void SetMaskSW(TFramePanelMixer& panel, bool on);
  /// "ビューアに表示": hands the panel's node (kind and registry index) on.
  void ShowInViewer(TFramePanel& panel);
  std::function<void(qv::NodeKind kind, int32_t row)> OnShowInViewer;
  /// After every change this workspace makes to the graph (the editors
  /// follow it).
  std::function<void()> OnGraphEdited;
  /// The registry index of a panel's node, or -1 when it is gone.
  int32_t RowOf(const TFramePanel& panel) const;

  /// Computes the thumbnails again, soon, once no render runs.
  void RefreshThumbnails();
  /// A render of the project starts (thumbnails wait for its end).
  void RenderStarted();
  /// Called after each set of thumbnails was shown (tests, screenshots).
  std::function<void()> OnThumbnailsShown;

  /// The panels created so far for a kind (shown or hidden), in row order.
  const std::vector<TFramePanel*>& Panels(qv::NodeKind kind) const;
  /// The lines drawn by the last DrawConnections.
  const std::vector<qv::LineSegment>& Lines() const { return lines_; }

 private:
  template <typename Panel, typename Node>
  void UpdateColumn(qv::NodeKind kind, const std::vector<Node*>& nodes);
  /// Runs edit on the graph (errors are shown), then redraws and reports it.
  template <typename Edit>
  void EditGraph(Edit edit);
  void ConnectEffector(TFramePanelMixer& panel, QVEffector* effector, qv::Connection kind);
  /// Lets go of node in every editor window that shows it.
  void ReleaseEditorsOf(const QVNode* node);
  void StartThumbnails();
  void ShowThumbnails(const std::vector<qv::NodePicture>& pictures);

  QVMain* main_ = nullptr;
  QVNodeGraph noGraph_;  // shown while no project is bound
  TFormGenerator* formGenerator_ = nullptr;
  TFormEffector* formEffector_ = nullptr;
  TFormMixer* formMixer_ = nullptr;
  std::vector<TFramePanel*> panels_[3];  // by NodeKind; children of ImageWorkSpace
  std::vector<qv::LineSegment> lines_;
  QVQtPoster poster_{this};
  QVNodePictureJob thumbnails_{poster_};  // after poster_, which it posts through
  QTimer thumbnailTimer_;
};
