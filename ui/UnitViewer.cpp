#include "ui/UnitViewer.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/QVMain.h"
#include "render/QVPreview.h"
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
  const QImage& picture = form_->Preview().isNull() ? form_->Picture() : form_->Preview();
  if (!picture.isNull()) painter.drawImage(0, 0, picture);
  if (form_->LiveZoom.Active() && form_->LiveZoom.FrameRate() > 0) {
    // The rate on a dark plate, readable over any picture.
    const QString rate = QCoreApplication::translate("TFormViewer", "ライブズーム %1 fps")
                             .arg(form_->LiveZoom.FrameRate(), 0, 'f', 1);
    const QRect plate =
        painter.fontMetrics().boundingRect(rate).adjusted(-4, -2, 4, 2).translated(8, 18);
    painter.fillRect(plate, QColor(0, 0, 0, 160));
    painter.setPen(Qt::white);
    painter.drawText(plate, Qt::AlignCenter, rate);
  }
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
    pictureArrived_ = true;
    ShowPicture(std::move(picture));
    if (LiveZoom.Active()) {
      LiveZoom.FrameShown(static_cast<double>(clock_.nsecsElapsed()) * 1e-9);
      NextLiveFrame();
    }
  };
  canvas_.OnPreview = [this](QVPictureRef picture) { ShowPreview(std::move(picture)); };
  SetImageSize(320, 320);
  setAcceptDrops(true);
  clock_.start();
}

// The owner of the engine stops its render before the viewer goes: the
// canvas and the poster must outlive every render that uses them.
TFormViewer::~TFormViewer() = default;

void TFormViewer::closeEvent(QCloseEvent* event) {
  if (CanClose && !CanClose()) {
    event->ignore();
    return;
  }
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
  preview_ = QImage();
  ImageViewer->update();
  if (OnPictureShown) OnPictureShown();
}

void TFormViewer::ShowPreview(QVPictureRef picture) {
  preview_ = qv::ImageOf(picture);
  ImageViewer->update();
  if (OnPreviewShown) OnPreviewShown();
}

void TFormViewer::RenderEnded() {
  if (!pictureArrived_) LiveZoom.Stop();  // a frame failed or was stopped: no endless retries
  if (preview_.isNull()) return;
  preview_ = QImage();
  ImageViewer->update();
}

std::string TFormViewer::PictureProject() const {
  return pictureSnapshot_ ? qv::WriteProject(*pictureSnapshot_) : std::string();
}

void TFormViewer::StartRender() {
  if (!main_) return;
  // The view sharpens in passes before the exact picture arrives.
  generation_ = main_->Render(&canvas_, &poster_, nullptr, qv::RunPreviewPasses);
  renderSnapshot_ = main_->LatestSnapshot();
  pictureArrived_ = false;
}

void TFormViewer::NextLiveFrame() {
  if (!main_ || !GesturesEnabled()) return LiveZoom.Stop();
  const std::optional<QVView> view =
      LiveZoom.NextView({parameter_->Viewpoint(), parameter_->Scale()}, parameter_->Width(),
                        parameter_->Height(), static_cast<double>(clock_.nsecsElapsed()) * 1e-9);
  if (!view) return LiveZoom.Stop();
  parameter_->ChangeViewpoint(view->Viewpoint);
  parameter_->ChangeScale(view->Scale);
  if (frame_) frame_->UpdateView();
  generation_ = main_->Render(&canvas_, &poster_);
  renderSnapshot_ = main_->LatestSnapshot();
  pictureArrived_ = false;
}

bool TFormViewer::LiveZoomMouse(QMouseEvent* e, bool press, bool release) {
  const QPoint p = e->position().toPoint();
  if (press && e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier)) {
    Gesture.Finish();
    LiveZoom.Start(!(e->modifiers() & Qt::ShiftModifier), p.x(), p.y(),
                   static_cast<double>(clock_.nsecsElapsed()) * 1e-9);
    NextLiveFrame();
    return true;
  }
  if (!LiveZoom.Active()) return false;
  if (release && e->button() == Qt::LeftButton) {
    LiveZoom.Stop();
    ImageViewer->update();
  } else {
    LiveZoom.MovePointer(p.x(), p.y());
  }
  return true;
}

bool TFormViewer::GesturesEnabled() const {
  return parameter_ && parameter_->Width() >= 1 && parameter_->Height() >= 1;
}

void TFormViewer::Act(QVViewerGesture::Action action, int32_t x, int32_t y) {
  if (action == QVViewerGesture::Action::Redraw) ImageViewer->update();
  if (action == QVViewerGesture::Action::Apply) ApplySelection(x, y);
}

void TFormViewer::ImageViewerMouseDown(QMouseEvent* e) {
  if (!GesturesEnabled() || LiveZoomMouse(e, true, false)) return;
  const QPoint p = e->position().toPoint();
  Act(Gesture.Press(p.x(), p.y(), ButtonOf(e)), p.x(), p.y());
}

void TFormViewer::ImageViewerMouseMove(QMouseEvent* e) {
  if (!GesturesEnabled() || LiveZoomMouse(e, false, false)) return;
  const QPoint p = e->position().toPoint();
  Act(Gesture.Move(p.x(), p.y(), parameter_->Width(), parameter_->Height()), p.x(), p.y());
}

void TFormViewer::ImageViewerMouseUp(QMouseEvent* e) {
  if (!GesturesEnabled() || LiveZoomMouse(e, false, true)) return;
  const QPoint p = e->position().toPoint();
  Act(Gesture.Release(p.x(), p.y(), ButtonOf(e)), p.x(), p.y());
}

void TFormViewer::ImageViewerDblClick(QMouseEvent* e) {
  if (!GesturesEnabled() || e->button() != Qt::LeftButton || (e->modifiers() & Qt::ControlModifier))
    return;
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
