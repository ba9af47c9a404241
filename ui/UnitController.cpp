#include "ui/UnitController.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVSnapshot.h"
#include "render/QVNodePictures.h"
#include "ui/QVErrorBox.h"
#include "ui/QVGraphLinks.h"
#include "ui/QVText.h"
#include "ui/UnitEffector.h"
#include "ui/UnitFormEffector.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitFormMixer.h"
#include "ui/UnitGenerator.h"
#include "ui/UnitMixer.h"
#include "ui/UnitPanelEffector.h"
#include "ui/UnitPanelGenerator.h"
#include "ui/UnitPanelMixer.h"

using qv::NodeKind;
using qv::WorkspaceGeometry;

namespace {

// The surface: the window colour with the lines of the last DrawConnections.
// Its context menu is the workspace's.
class WorkspaceSurface : public QWidget {
 public:
  WorkspaceSurface(const std::vector<qv::LineSegment>& lines, QMenu*& menu, QWidget* parent)
      : QWidget(parent), lines_(lines), menu_(menu) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(QPen(palette().color(QPalette::Text), 0));
    for (const qv::LineSegment& l : lines_) painter.drawLine(l.X1, l.Y1, l.X2, l.Y2);
  }
  void contextMenuEvent(QContextMenuEvent* event) override {
    if (menu_) menu_->popup(event->globalPos());
  }

 private:
  const std::vector<qv::LineSegment>& lines_;
  QMenu*& menu_;
};

bool AskWithBox(QWidget* parent, const std::string& question) {
  return QMessageBox::question(parent, QStringLiteral("Q-Vell"), qv::ToQString(question),
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

template <typename Node>
int32_t IndexOf(const std::vector<Node*>& nodes, const QVObject* node) {
  const auto at = std::find(nodes.begin(), nodes.end(), node);
  return at == nodes.end() ? -1 : static_cast<int32_t>(at - nodes.begin());
}

// True when node is still one of nodes (a panel may outlive its node's graph).
template <typename Node>
bool Live(const std::vector<Node*>& nodes, const QVObject* node) {
  return std::find(nodes.begin(), nodes.end(), node) != nodes.end();
}

// Binds frame to node (when node is still in the graph), refreshes it and
// shows its window, brought forward.
template <typename Node, typename Frame>
void ShowNodeEditor(QWidget* owner, QWidget* form, Frame* frame, void (Frame::*bind)(Node*),
                    const std::vector<Node*>& nodes, QVObject* node) {
  if (!Live(nodes, node)) return;
  qv::Guarded(owner, [&] {
    (frame->*bind)(static_cast<Node*>(node));
    frame->UpdateView();
    form->show();
    form->raise();
    form->activateWindow();
  });
}

}  // namespace

TFrameController::TFrameController(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  ScrollBox = new QScrollArea(this);
  ScrollBox->setWidgetResizable(true);
  PopupMenuWorkSpace = new QMenu(this);
  connect(PopupMenuWorkSpace->addAction(tr("ジェネレータを追加")), &QAction::triggered, this,
          [this] { AddGenerator(); });
  connect(PopupMenuWorkSpace->addAction(tr("エフェクタを追加")), &QAction::triggered, this,
          [this] { AddEffector(); });
  connect(PopupMenuWorkSpace->addAction(tr("ミキサーを追加")), &QAction::triggered, this,
          [this] { AddMixer(); });
  ConfirmDelete = [this](const std::string& question) { return AskWithBox(this, question); };
  AskConnection = [](TFramePanelMixer& panel, const QPoint& global) {
    return panel.AskConnection(global);
  };
  thumbnailTimer_.setSingleShot(true);
  connect(&thumbnailTimer_, &QTimer::timeout, this, [this] { StartThumbnails(); });
  ImageWorkSpace = new WorkspaceSurface(lines_, PopupMenuWorkSpace, ScrollBox);
  ImageWorkSpace->setMinimumSize(WorkspaceGeometry::SurfaceWidth(),
                                 WorkspaceGeometry::SurfaceHeight(0));
  ScrollBox->setWidget(ImageWorkSpace);
  layout->addWidget(ScrollBox);
}

TFrameController::~TFrameController() { thumbnails_.Stop(); }

void TFrameController::SetMain(QVMain* main) { main_ = main; }

const QVNodeGraph& TFrameController::Graph() const { return main_ ? main_->Graph() : noGraph_; }

void TFrameController::SetEditors(TFormGenerator* generator, TFormEffector* effector,
                                  TFormMixer* mixer) {
  formGenerator_ = generator;
  formEffector_ = effector;
  formMixer_ = mixer;
  if (generator) generator->FrameGenerator1->SetEngine(main_);
  if (effector) effector->FrameEffector1->SetEngine(main_);
  if (mixer) mixer->FrameMixer1->SetEngine(main_);
}

void TFrameController::UpdateView() {
  UpdatePanels();
  DrawConnections();
  RefreshThumbnails();
}

template <typename Panel, typename Node>
void TFrameController::UpdateColumn(NodeKind kind, const std::vector<Node*>& nodes) {
  std::vector<TFramePanel*>& panels = panels_[static_cast<int>(kind)];
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (i == panels.size()) {
      auto* panel = new Panel(this, ImageWorkSpace);
      const qv::PanelRect r = WorkspaceGeometry::Panel(kind, static_cast<int32_t>(i));
      panel->setGeometry(r.Left, r.Top, r.Width, r.Height);
      panels.push_back(panel);
    }
    TFramePanel* panel = panels[i];
    panel->SetName(nodes[i]->Name());
    panel->Node = nodes[i];
    if constexpr (std::is_same_v<Node, QVMixer>) {
      static_cast<TFramePanelMixer*>(panel)->ShowMaskSW(nodes[i]->MaskSW());
    }
    panel->show();
  }
  for (size_t i = nodes.size(); i < panels.size(); ++i) panels[i]->hide();
}

void TFrameController::UpdatePanels() {
  const QVNodeGraph& graph = Graph();
  UpdateColumn<TFramePanelGenerator>(NodeKind::Generator, graph.Generators);
  UpdateColumn<TFramePanelEffector>(NodeKind::Effector, graph.Effectors);
  UpdateColumn<TFramePanelMixer>(NodeKind::Mixer, graph.Mixers);
  const size_t rows =
      std::max({graph.Generators.size(), graph.Effectors.size(), graph.Mixers.size()});
  ImageWorkSpace->setMinimumHeight(WorkspaceGeometry::SurfaceHeight(static_cast<int64_t>(rows)));
}

void TFrameController::DrawConnections() {
  const QVNodeGraph& graph = Graph();
  lines_ = WorkspaceGeometry::Lines(qv::GraphLinks(graph.Generators, graph.Effectors, graph.Mixers));
  ImageWorkSpace->update();
}

void TFrameController::ShowEditor(TFramePanelGenerator& panel) {
  if (formGenerator_) {
    ShowNodeEditor(this, formGenerator_, formGenerator_->FrameGenerator1,
                   &TFrameGenerator::SetGenerator, Graph().Generators, panel.Node);
  }
}

void TFrameController::ShowEditor(TFramePanelEffector& panel) {
  if (formEffector_) {
    ShowNodeEditor(this, formEffector_, formEffector_->FrameEffector1, &TFrameEffector::SetEffector,
                   Graph().Effectors, panel.Node);
  }
}

void TFrameController::ShowEditor(TFramePanelMixer& panel) {
  if (formMixer_) {
    ShowNodeEditor(this, formMixer_, formMixer_->FrameMixer1, &TFrameMixer::SetMixer,
                   Graph().Mixers, panel.Node);
  }
}

void TFrameController::CopyGenerator(TFramePanelGenerator& panel) {
  if (!main_ || !Live(main_->Graph().Generators, panel.Node)) return;
  // The copy's panel shows at once, so it can be seen and clicked.
  EditGraph([&](QVNodeGraph& graph) {
    graph.CopyGenerator(*static_cast<const QVGenerator*>(panel.Node));
  });
}

const std::vector<TFramePanel*>& TFrameController::Panels(NodeKind kind) const {
  return panels_[static_cast<int>(kind)];
}

template <typename Edit>
void TFrameController::EditGraph(Edit edit) {
  if (!main_) return;
  qv::Guarded(this, [&] {
    edit(main_->Graph());
    UpdateView();
    if (OnGraphEdited) OnGraphEdited();
  });
}

// The new generator's panel becomes the selected one, so that an effector
// added next takes it.
void TFrameController::AddGenerator() {
  EditGraph([this](QVNodeGraph& graph) { graph.AddGenerator(&main_->Parameter); });
  const std::vector<TFramePanel*>& panels = Panels(NodeKind::Generator);
  const size_t count = Graph().Generators.size();
  if (count > 0 && count <= panels.size()) {
    TFramePanel*& selected = TFramePanelGenerator::SelectedPanel;
    if (selected) selected->SetRaised(false);
    selected = panels[count - 1];
    selected->SetRaised(true);
  }
}

// On the selected generator, or the last one when none is selected.
void TFrameController::AddEffector() {
  const QVNodeGraph& graph = Graph();
  QVGenerator* generator = graph.Generators.empty() ? nullptr : graph.Generators.back();
  if (TFramePanelGenerator::SelectedPanel) {
    const int32_t row = RowOf(*TFramePanelGenerator::SelectedPanel);
    if (row >= 0) generator = graph.Generators[static_cast<size_t>(row)];
  }
  EditGraph([generator](QVNodeGraph& g) { g.AddEffector(generator); });
}

void TFrameController::AddMixer() {
  EditGraph([](QVNodeGraph& graph) { graph.AddMixer(); });
}

int32_t TFrameController::RowOf(const TFramePanel& panel) const {
  const QVNodeGraph& graph = Graph();
  for (const NodeKind kind : {NodeKind::Generator, NodeKind::Effector, NodeKind::Mixer}) {
    const std::vector<TFramePanel*>& panels = Panels(kind);
    if (std::find(panels.begin(), panels.end(), &panel) == panels.end()) continue;
    switch (kind) {
      case NodeKind::Generator:
        return IndexOf(graph.Generators, panel.Node);
      case NodeKind::Effector:
        return IndexOf(graph.Effectors, panel.Node);
      case NodeKind::Mixer:
        return IndexOf(graph.Mixers, panel.Node);
    }
  }
  return -1;
}

void TFrameController::DeleteNode(TFramePanel& panel) {
  if (!main_ || RowOf(panel) < 0) return;
  auto* node = dynamic_cast<QVNode*>(panel.Node);
  if (!node) return;
  const std::vector<std::string> users = qv::NodeUsers(Graph(), *node);
  if (!users.empty() && !ConfirmDelete(qv::DeleteQuestion(*node, users))) return;
  // The question's event loop may have changed the graph: the panel must
  // still show the node.
  if (panel.Node != node || RowOf(panel) < 0) return;
  ReleaseEditorsOf(node);
  // The rows below move up: the selection of the kind goes.
  for (TFramePanel** selected :
       {&TFramePanelGenerator::SelectedPanel, &TFramePanelEffector::SelectedPanel,
        &TFramePanelMixer::SelectedPanel}) {
    if (*selected != &panel) continue;
    panel.SetRaised(false);
    *selected = nullptr;
  }
  EditGraph([node](QVNodeGraph& graph) { graph.DeleteNode(node); });
}

void TFrameController::ReleaseEditorsOf(const QVNode* node) {
  if (formGenerator_ && formGenerator_->FrameGenerator1->Generator() == node) {
    formGenerator_->Release();
  }
  if (formEffector_ && formEffector_->FrameEffector1->Effector() == node) formEffector_->Release();
  if (formMixer_ && formMixer_->FrameMixer1->Mixer() == node) formMixer_->Release();
}

QVEffector* TFrameController::SelectedEffector() const {
  if (!TFramePanelEffector::SelectedPanel) return nullptr;
  const int32_t row = RowOf(*TFramePanelEffector::SelectedPanel);
  return row < 0 ? nullptr : Graph().Effectors[static_cast<size_t>(row)];
}

void TFrameController::ConnectSelected(TFramePanelMixer& panel, qv::Connection kind) {
  ConnectEffector(panel, SelectedEffector(), kind);
}

void TFrameController::DropEffector(TFramePanelMixer& panel, int32_t row, const QPoint& global) {
  if (row < 0 || static_cast<size_t>(row) >= Graph().Effectors.size()) return;
  QVEffector* effector = Graph().Effectors[static_cast<size_t>(row)];
  const std::optional<qv::Connection> kind = AskConnection(panel, global);
  // The menu's event loop may have changed the graph: the effector must still be in it.
  if (kind && IndexOf(Graph().Effectors, effector) >= 0) ConnectEffector(panel, effector, *kind);
}

void TFrameController::ConnectEffector(TFramePanelMixer& panel, QVEffector* effector,
                                       qv::Connection kind) {
  const int32_t row = RowOf(panel);
  if (!effector || row < 0) return;
  QVMixer* mixer = Graph().Mixers[static_cast<size_t>(row)];
  EditGraph([&](QVNodeGraph&) { qv::Connect(*mixer, *effector, kind); });
}

void TFrameController::SetMaskSW(TFramePanelMixer& panel, bool on) {
  const int32_t row = RowOf(panel);
  if (row < 0) return;
  QVMixer* mixer = Graph().Mixers[static_cast<size_t>(row)];
  EditGraph([&](QVNodeGraph&) { mixer->SetMaskSW(on); });
}

void TFrameController::ShowInViewer(TFramePanel& panel) {
  const int32_t row = RowOf(panel);
  if (row < 0 || !OnShowInViewer) return;
  const bool mixer = std::find(Panels(NodeKind::Mixer).begin(), Panels(NodeKind::Mixer).end(),
                               &panel) != Panels(NodeKind::Mixer).end();
  qv::Guarded(this, [&] { OnShowInViewer(mixer ? NodeKind::Mixer : NodeKind::Effector, row); });
}

void TFrameController::RefreshThumbnails() {
  thumbnails_.Stop();  // a result of the graph before the change must not arrive now
  thumbnailTimer_.start(150);
}

void TFrameController::RenderStarted() {
  if (thumbnails_.Running()) RefreshThumbnails();
}

// The thumbnails wait while a render of the project runs, so they never take
// its workers' time; one worker computes them.
void TFrameController::StartThumbnails() {
  if (!main_) return;
  if (main_->Rendering()) {
    thumbnailTimer_.start(150);
    return;
  }
  const qv::PictureSize size =
      qv::ThumbnailSize(main_->Parameter.Width(), main_->Parameter.Height());
  if (size.Width < 1) {
    ShowThumbnails({});
    return;
  }
  auto snapshot =
      std::make_shared<QVSnapshot>(main_->Parameter, main_->Graph(), qv::FrozenCopy{false});
  snapshot->SetSize(size.Width, size.Height);
  thumbnails_.Start(std::move(snapshot), {}, 1,
                    [this](std::vector<qv::NodePicture> pictures, const std::string&) {
                      ShowThumbnails(pictures);
                    });
}

// A failed set (memory) shows no thumbnails: the panels stay without pictures.
void TFrameController::ShowThumbnails(const std::vector<qv::NodePicture>& pictures) {
  for (const NodeKind kind : {NodeKind::Effector, NodeKind::Mixer}) {
    for (TFramePanel* panel : Panels(kind)) panel->SetThumbnail(nullptr);
  }
  for (const qv::NodePicture& p : pictures) {
    const std::vector<TFramePanel*>& panels = Panels(p.Kind);
    if (static_cast<size_t>(p.Row) < panels.size())
      panels[static_cast<size_t>(p.Row)]->SetThumbnail(p.Picture);
  }
  if (OnThumbnailsShown) OnThumbnailsShown();
}
