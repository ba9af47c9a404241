#include "ui/UnitPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

TFramePanel::TFramePanel(TFrameController* controller, QWidget* parent)
    : QFrame(parent), controller_(controller) {
  setFixedSize(108, 32);
  Panel1 = new QFrame(this);
  Panel1->setGeometry(0, 0, 108, 32);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setLineWidth(2);
  SetRaised(false);
  LabelName = new QLabel(Panel1);
  LabelName->setGeometry(4, 1, 100, 14);
  CheckBoxMask = new QCheckBox(tr("マスク"), Panel1);
  // No wider than its text: a click beside it selects the panel.
  CheckBoxMask->setGeometry(4, 15, CheckBoxMask->sizeHint().width(), 16);
  setToolTip(tr("クリックでこのノードを編集する。右クリックでメニュー"));
  PopupMenuPanel = new QMenu(this);
  Copy = PopupMenuPanel->addAction(tr("複製"));
  Delete = PopupMenuPanel->addAction(tr("削除"));
  Copy->setEnabled(false);    // only a generator panel can copy its node
  Delete->setEnabled(false);  // nodes are removed only by reading a project
  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(LabelName),
                     static_cast<QWidget*>(CheckBoxMask)}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& at) { PopupMenuPanel->popup(w->mapToGlobal(at)); });
  }
  // A press on the name is not taken by the label and reaches the body.
  Panel1->installEventFilter(this);
}

bool TFramePanel::Raised() const { return Panel1->frameShadow() == QFrame::Raised; }

void TFramePanel::SetRaised(bool raised) {
  Panel1->setFrameShadow(raised ? QFrame::Raised : QFrame::Sunken);
}

void TFramePanel::Select(TFramePanel*& selected) {
  if (selected) selected->SetRaised(false);
  SetRaised(true);
  selected = this;
}

bool TFramePanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Panel1) return QFrame::eventFilter(watched, event);
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
    pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    return pressed_;
  }
  if (event->type() == QEvent::MouseButtonRelease && pressed_) {
    pressed_ = false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && Panel1->rect().contains(mouse->position().toPoint()) &&
        click_) {
      click_();
    }
    return true;
  }
  return QFrame::eventFilter(watched, event);
}
