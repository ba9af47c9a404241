#include "ui/UnitPanelEffector.h"

#include <QDrag>
#include <QMimeData>

#include "ui/UnitController.h"

TFramePanel* TFramePanelEffector::SelectedPanel = nullptr;
const char* const TFramePanelEffector::MimeType = "application/x-qvell-effector";

TFramePanelEffector::TFramePanelEffector(TFrameController* controller, QWidget* parent)
    : TFramePanel(controller, parent) {
  SetClickHandler([this] { Panel1Click(); });
  SetDragHandler([this] { StartDrag(); });
  AddPicture();
}

TFramePanelEffector::~TFramePanelEffector() {
  if (SelectedPanel == this) SelectedPanel = nullptr;
}

void TFramePanelEffector::Panel1Click() {
  controller_->ShowEditor(*this);
  Select(SelectedPanel);
}

void TFramePanelEffector::StartDrag() {
  const int32_t row = controller_->RowOf(*this);
  if (row < 0) return;
  auto* data = new QMimeData();
  data->setData(MimeType, QByteArray::number(row));
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  drag->setPixmap(grab());
  drag->setHotSpot(QPoint(width() / 2, height() / 2));
  drag->exec(Qt::LinkAction);
}
