#pragma once
// TFrameController: the controller workspace. One panel per node (generators
// left, effectors in the middle, mixers right; row i = registry index i) over
// a surface with one straight line per link. Panels are created when first
// needed and reused; surplus ones are hidden. A click on a panel binds and
// shows its node's editor window. The surface grows (and scrolls) with the
// longest column. Holds non-owning references to the engine root and the
// editor windows. UI thread.
#include <QWidget>
#include <vector>

#include "engine/QVGraph.h"
#include "ui/QVWorkspaceGeometry.h"

class QScrollArea;
class QVMain;
class TFormEffector;
class TFormGenerator;
class TFormMixer;
class TFramePanel;
class TFramePanelEffector;
class TFramePanelGenerator;
class TFramePanelMixer;

class TFrameController : public QWidget {
 public:
  explicit TFrameController(QWidget* parent = nullptr);

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

  /// The panels created so far for a kind (shown or hidden), in row order.
  const std::vector<TFramePanel*>& Panels(qv::NodeKind kind) const;
  /// The lines drawn by the last DrawConnections.
  const std::vector<qv::LineSegment>& Lines() const { return lines_; }

 private:
  template <typename Panel, typename Node>
  void UpdateColumn(qv::NodeKind kind, const std::vector<Node*>& nodes);

  QVMain* main_ = nullptr;
  QVNodeGraph noGraph_;  // shown while no project is bound
  TFormGenerator* formGenerator_ = nullptr;
  TFormEffector* formEffector_ = nullptr;
  TFormMixer* formMixer_ = nullptr;
  std::vector<TFramePanel*> panels_[3];  // by NodeKind; children of ImageWorkSpace
  std::vector<qv::LineSegment> lines_;
};
