#include "ui/UnitController.h"

#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
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
class WorkspaceSurface : public QWidget {
 public:
  WorkspaceSurface(const std::vector<qv::LineSegment>& lines, QWidget* parent)
      : QWidget(parent), lines_(lines) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(QPen(palette().color(QPalette::Text), 0));
    for (const qv::LineSegment& l : lines_) painter.drawLine(l.X1, l.Y1, l.X2, l.Y2);
  }

 private:
  const std::vector<qv::LineSegment>& lines_;
};

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
  ImageWorkSpace = new WorkspaceSurface(lines_, ScrollBox);
  ImageWorkSpace->setMinimumSize(WorkspaceGeometry::SurfaceWidth(),
                                 WorkspaceGeometry::SurfaceHeight(0));
  ScrollBox->setWidget(ImageWorkSpace);
  layout->addWidget(ScrollBox);
}

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
    panel->LabelName->setText(qv::ToQString(nodes[i]->Name()));
    panel->Node = nodes[i];
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
  qv::Guarded(this, [&] {
    main_->Graph().CopyGenerator(*static_cast<const QVGenerator*>(panel.Node));
    UpdateView();  // the copy's panel at once, so it can be seen and clicked
  });
}

const std::vector<TFramePanel*>& TFrameController::Panels(NodeKind kind) const {
  return panels_[static_cast<int>(kind)];
}
