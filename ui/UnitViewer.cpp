#include "ui/UnitViewer.h"

#include <QDropEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/QVMain.h"
#include "source/QVSourceWriter.h"
#include "ui/QVErrorBox.h"
#include "ui/QVFileDrop.h"
#include "ui/QVText.h"
#include "ui/UnitParameter.h"

namespace {

QVViewerGesture::Button ButtonOf(const QMouseEvent* event) {
  switch (event->button()) {
    case Qt::LeftButton:
      return QVViewerGesture::Button::Left;
    case Qt::RightButton:
      return QVViewerGesture::Button::Right;
    default:
      return QVViewerGesture::Button::Other;
  }
}

int32_t WidgetExtent(int32_t v) { return std::clamp<int32_t>(v, 1, QWIDGETSIZE_MAX); }

}  // namespace

TImageViewer::TImageViewer(TFormViewer* form) : QWidget(nullptr), form_(form) {
  setCursor(Qt::CrossCursor);
  setMouseTracking(true);  // moves arrive whatever buttons are held
  setAttribute(Qt::WA_OpaquePaintEvent);
}

// The picture, then the selection outline inverting what lies under it. The
// outline exists only on screen: the picture itself is never drawn on.
void TImageViewer::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  const QImage& picture = form_->Picture();
  if (!picture.isNull()) painter.drawImage(0, 0, picture);
  const QVViewerGesture& g = form_->Gesture;
  if (!g.OutlineShown()) return;
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(Qt::NoBrush);
  const int64_t left = int64_t{g.CenterX} - g.HalfWidth, top = int64_t{g.CenterY} - g.HalfHeight;
  const int64_t w = 2 * int64_t{g.HalfWidth}, h = 2 * int64_t{g.HalfHeight};
  const auto clip = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -1, 1 << 30)); };
  painter.drawRect(QRect(clip(left), clip(top), clip(w), clip(h)));
}

void TImageViewer::mousePressEvent(QMouseEvent* e) { form_->ImageViewerMouseDown(e); }
void TImageViewer::mouseMoveEvent(QMouseEvent* e) { form_->ImageViewerMouseMove(e); }
void TImageViewer::mouseReleaseEvent(QMouseEvent* e) { form_->ImageViewerMouseUp(e); }
void TImageViewer::mouseDoubleClickEvent(QMouseEvent* e) { form_->ImageViewerDblClick(e); }

TFormViewer::TFormViewer() {
  setWindowTitle(qv::ToQString(BaseCaption));
  ImageViewer = new TImageViewer(this);
  ScrollArea = new QScrollArea(this);
  ScrollArea->setFrameShape(QFrame::NoFrame);
  ScrollArea->setWidgetResizable(false);
  ScrollArea->setWidget(ImageViewer);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ScrollArea);
  canvas_.OnPicture = [this](QVPictureRef picture) {
    pictureSnapshot_ = renderSnapshot_;
    ShowPicture(std::move(picture));
  };
  SetImageSize(320, 320);
  setAcceptDrops(true);
}

// The owner of the engine stops its render before the viewer goes: the
// canvas and the poster must outlive every render that uses them.
TFormViewer::~TFormViewer() = default;

void TFormViewer::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (OnClose) OnClose();
}

void TFormViewer::dragEnterEvent(QDragEnterEvent* event) {
  qv::TakeFileDrop(this, event, OnFileDropped);
}

void TFormViewer::dropEvent(QDropEvent* event) { qv::TakeFileDrop(this, event, OnFileDropped); }

void TFormViewer::SetTarget(QVMain* main, TFrameParameter* frame) {
  main_ = main;
  parameter_ = main ? &main->Parameter : nullptr;
  frame_ = frame;
}

void TFormViewer::SetImageSize(int32_t w, int32_t h) {
  const QSize size(WidgetExtent(w), WidgetExtent(h));
  ImageViewer->setFixedSize(size);
  QSize window = size;
  if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
    window = window.boundedTo(screen->availableGeometry().size() * 9 / 10);
  }
  resize(window);
}

void TFormViewer::ShowPicture(QVPictureRef picture) {
  picture_ = std::move(picture);
  image_ = qv::ImageOf(picture_);
  ImageViewer->update();
  if (OnPictureShown) OnPictureShown();
}

std::string TFormViewer::PictureProject() const {
  return pictureSnapshot_ ? qv::WriteProject(*pictureSnapshot_) : std::string();
}

void TFormViewer::StartRender() {
  if (!main_) return;
  generation_ = main_->Render(&canvas_, &poster_);
  renderSnapshot_ = main_->LatestSnapshot();
}

bool TFormViewer::GesturesEnabled() const {
  return parameter_ && parameter_->Width() >= 1 && parameter_->Height() >= 1;
}

void TFormViewer::Act(QVViewerGesture::Action action, int32_t x, int32_t y) {
  if (action == QVViewerGesture::Action::Redraw) ImageViewer->update();
  if (action == QVViewerGesture::Action::Apply) ApplySelection(x, y);
}

void TFormViewer::ImageViewerMouseDown(QMouseEvent* e) {
  if (!GesturesEnabled()) return;
  const QPoint p = e->position().toPoint();
  Act(Gesture.Press(p.x(), p.y(), ButtonOf(e)), p.x(), p.y());
}

void TFormViewer::ImageViewerMouseMove(QMouseEvent* e) {
  if (!GesturesEnabled()) return;
  const QPoint p = e->position().toPoint();
  Act(Gesture.Move(p.x(), p.y(), parameter_->Width(), parameter_->Height()), p.x(), p.y());
}

void TFormViewer::ImageViewerMouseUp(QMouseEvent* e) {
  if (!GesturesEnabled()) return;
  const QPoint p = e->position().toPoint();
  Act(Gesture.Release(p.x(), p.y(), ButtonOf(e)), p.x(), p.y());
}

void TFormViewer::ImageViewerDblClick(QMouseEvent* e) {
  if (!GesturesEnabled() || e->button() != Qt::LeftButton) return;
  const QPoint p = e->position().toPoint();
  Act(Gesture.DoubleClick(p.x(), p.y()), p.x(), p.y());
}

// A zoom that would leave the plane (not finite, or no positive scale) is
// dropped with the selection; the view stays, and the status line says why.
void TFormViewer::ApplySelection(int32_t x, int32_t y) {
  qv::Guarded(this, [&] {
    if (!parameter_) return;
    const std::optional<QVView> view = Gesture.Zoom(x, y, parameter_->Width(), parameter_->Height(),
                                                    {parameter_->Viewpoint(), parameter_->Scale()});
    Gesture.Finish();
    ImageViewer->update();
    if (!view) {
      if (frame_) frame_->ShowNotice(QVViewerGesture::RefusedMessage);
      return;
    }
    parameter_->ChangeViewpoint(view->Viewpoint);
    parameter_->ChangeScale(view->Scale);
    if (frame_) frame_->UpdateView();
    StartRender();
  });
}
