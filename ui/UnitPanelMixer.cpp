#include "ui/UnitPanelMixer.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalBlocker>

#include "ui/QVText.h"
#include "ui/UnitController.h"
#include "ui/UnitPanelEffector.h"

TFramePanel* TFramePanelMixer::SelectedPanel = nullptr;

TFramePanelMixer::TFramePanelMixer(TFrameController* controller, QWidget* parent)
    : TFramePanel(controller, parent) {
  SetClickHandler([this] { Panel1Click(); });
  AddPicture();
  CheckBoxMask->show();
  connect(CheckBoxMask, &QCheckBox::toggled, this,
          [this](bool on) { controller_->SetMaskSW(*this, on); });
  PopupMenuConnection = new QMenu(this);
  QAction** entries[] = {&N1, &N2, &N3, &N4};
  for (size_t i = 0; i < 4; ++i) {
    *entries[i] =
        PopupMenuConnection->addAction(qv::ToQString(qv::ConnectionText(qv::kConnections[i])));
  }
  // The panel's own menu offers the four kinds for the selected effector.
  PopupMenuPanel->insertActions(Copy, PopupMenuConnection->actions());
  PopupMenuPanel->insertSeparator(Copy);
  for (const qv::Connection kind : qv::kConnections) {
    connect(Entry(kind), &QAction::triggered, this, [this, kind] {
      if (!asking_) controller_->ConnectSelected(*this, kind);
    });
  }
  connect(PopupMenuPanel, &QMenu::aboutToShow, this, [this] {
    const bool selected = controller_->SelectedEffector() != nullptr;
    for (QAction* a : PopupMenuConnection->actions()) a->setEnabled(selected);
  });
  setAcceptDrops(true);
}

TFramePanelMixer::~TFramePanelMixer() {
  if (SelectedPanel == this) SelectedPanel = nullptr;
}

QAction* TFramePanelMixer::Entry(qv::Connection kind) const {
  return PopupMenuConnection->actions().at(static_cast<int>(kind));
}

void TFramePanelMixer::Panel1Click() {
  controller_->ShowEditor(*this);
  Select(SelectedPanel);
}

void TFramePanelMixer::ShowMaskSW(bool on) {
  const QSignalBlocker block(CheckBoxMask);
  CheckBoxMask->setChecked(on);
}

std::optional<qv::Connection> TFramePanelMixer::AskConnection(const QPoint& global) {
  for (QAction* a : PopupMenuConnection->actions()) a->setEnabled(true);
  asking_ = true;
  QAction* chosen = PopupMenuConnection->exec(global);
  asking_ = false;
  const int index = PopupMenuConnection->actions().indexOf(chosen);
  if (index < 0) return std::nullopt;
  return qv::kConnections[index];
}

void TFramePanelMixer::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasFormat(TFramePanelEffector::MimeType)) {
    event->setDropAction(Qt::LinkAction);
    event->accept();
  }
}

// The drop asks for the kind: the dragged effector is the one connected.
void TFramePanelMixer::dropEvent(QDropEvent* event) {
  bool ok = false;
  const int row = event->mimeData()->data(TFramePanelEffector::MimeType).toInt(&ok);
  if (!ok) return;
  event->setDropAction(Qt::LinkAction);
  event->accept();
  controller_->DropEffector(*this, row, mapToGlobal(event->position().toPoint()));
}
