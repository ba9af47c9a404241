#include "ui/UnitPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

#include "ui/QVQtHost.h"
#include "ui/QVText.h"
#include "ui/UnitController.h"

namespace {

// The panel's face and bevel on the white workspace: a grey face, a white
// and a dark edge; raised shows light above and left, lowered the reverse.
// The selected (raised) panel's face is lighter still, so the two states
// differ at a glance.
void PaintBevel(QFrame* panel, bool raised) {
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, raised ? QColor(0xF4, 0xF4, 0xF4) : QColor(0xD4, 0xD4, 0xD4));
  palette.setColor(QPalette::Light, QColor(0xFF, 0xFF, 0xFF));
  palette.setColor(QPalette::Midlight, QColor(0xE8, 0xE8, 0xE8));
  palette.setColor(QPalette::Mid, QColor(0x90, 0x90, 0x90));
  palette.setColor(QPalette::Dark, QColor(0x50, 0x50, 0x50));
  palette.setColor(QPalette::Shadow, QColor(0x20, 0x20, 0x20));
  panel->setPalette(palette);
  panel->setFrameShadow(raised ? QFrame::Raised : QFrame::Sunken);
}

}  // namespace

TFramePanel::TFramePanel(TFrameController* controller, QWidget* parent)
    : QFrame(parent), controller_(controller) {
  setFixedSize(108, 32);
  Panel1 = new QFrame(this);
  Panel1->setGeometry(0, 0, 108, 32);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setLineWidth(2);
  Panel1->setAutoFillBackground(true);
  SetRaised(false);
  LabelName = new QLabel(Panel1);
  LabelName->setGeometry(4, 1, 100, 14);
  CheckBoxMask = new QCheckBox(tr("マスク"), Panel1);
  // No wider than its text: a click beside it selects the panel.
  CheckBoxMask->setGeometry(4, 15, CheckBoxMask->sizeHint().width(), 16);
  setToolTip(tr("クリックでこのノードを編集する。右クリックでメニュー"));
  CheckBoxMask->hide();  // a mixer's panel shows it, as its mask switch
  PopupMenuPanel = new QMenu(this);
  Copy = PopupMenuPanel->addAction(tr("複製"));
  Delete = PopupMenuPanel->addAction(tr("削除"));
  Copy->setEnabled(false);  // only a generator panel can copy its node
  connect(Delete, &QAction::triggered, this, [this] { controller_->DeleteNode(*this); });
  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(LabelName),
                     static_cast<QWidget*>(CheckBoxMask)}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& at) { PopupMenuPanel->popup(w->mapToGlobal(at)); });
  }
  // A press on the name is not taken by the label and reaches the body.
  Panel1->installEventFilter(this);
}

void TFramePanel::AddPicture() {
  ImageThumbnail = new QLabel(Panel1);
  ImageThumbnail->setGeometry(70, 3, 36, 27);
  ImageThumbnail->setAlignment(Qt::AlignCenter);
  ImageThumbnail->setAttribute(Qt::WA_TransparentForMouseEvents);
  LabelName->setGeometry(4, 1, 64, 14);
  PopupMenuPanel->addSeparator();
  ShowInViewer = PopupMenuPanel->addAction(tr("ビューアに表示"));
  connect(ShowInViewer, &QAction::triggered, this, [this] { controller_->ShowInViewer(*this); });
}

void TFramePanel::SetName(const std::string& name) {
  const QString text = qv::ToQString(name);
  LabelName->setText(LabelName->fontMetrics().elidedText(text, Qt::ElideRight, LabelName->width()));
  setToolTip(text);
}

void TFramePanel::SetThumbnail(QVPictureRef picture) {
  thumbnail_ = std::move(picture);
  if (!ImageThumbnail) return;
  const QImage image = qv::ImageOf(thumbnail_);
  if (image.isNull()) {
    ImageThumbnail->clear();
  } else {
    ImageThumbnail->setPixmap(QPixmap::fromImage(image));
  }
}

bool TFramePanel::Raised() const { return Panel1->frameShadow() == QFrame::Raised; }

void TFramePanel::SetRaised(bool raised) { PaintBevel(Panel1, raised); }

void TFramePanel::Select(TFramePanel*& selected) {
  if (selected) selected->SetRaised(false);
  SetRaised(true);
  selected = this;
}

bool TFramePanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Panel1) return QFrame::eventFilter(watched, event);
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    pressed_ = mouse->button() == Qt::LeftButton;
    pressedAt_ = mouse->position().toPoint();
    return pressed_;
  }
  if (event->type() == QEvent::MouseMove && pressed_ && drag_) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if ((mouse->position().toPoint() - pressedAt_).manhattanLength() >=
        QApplication::startDragDistance()) {
      pressed_ = false;  // the drag takes the gesture: no click at the release
      drag_();
      return true;
    }
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
