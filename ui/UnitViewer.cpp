#include "ui/UnitViewer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <limits>

#include "engine/QVAutoDepth.h"
#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVSnapshot.h"
#include "engine/deep/QVDeepKernel.h"
#include "render/QVPreview.h"
#include "source/QVSameProject.h"
#include "source/QVSourceWriter.h"
#include "ui/QVErrorBox.h"
#include "ui/QVFileDrop.h"
#include "ui/QVGraphEdit.h"
#include "ui/QVText.h"
#include "ui/UnitParameter.h"

namespace {

QVViewerGesture::Button ButtonOf(const QMouseEvent* event) {
  switch (event->button()) {
    case Qt::LeftButton:
      return QVViewerGesture::Button::Left;
    case Qt::RightButton:
      return QVViewerGesture::Button::Right;
    case Qt::MiddleButton:
      return QVViewerGesture::Button::Middle;
    default:
      return QVViewerGesture::Button::Other;
  }
}

int32_t WidgetExtent(int32_t v) { return std::clamp<int32_t>(v, 1, QWIDGETSIZE_MAX); }

// A status-line label that never widens the window: a long text is cut, and
// shown whole as the tool tip.
QLabel* StatusLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  label->setTextFormat(Qt::PlainText);
  return label;
}

void SetStatusText(QLabel* label, const std::string& text) {
  label->setText(qv::ToQString(text));
  label->setToolTip(label->text());
}

}  // namespace

TImageViewer::TImageViewer(TFormViewer* form) : QWidget(nullptr), form_(form) {
  setCursor(Qt::CrossCursor);
  setMouseTracking(true);  // moves arrive whatever buttons are held
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);  // the keys come here, not to the scroll area
}

// The picture, then the selection outline inverting what lies under it. The
// outline exists only on screen: the picture itself is never drawn on.
void TImageViewer::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  const QImage& picture = form_->Preview().isNull() ? form_->Picture() : form_->Preview();
  if (!picture.isNull()) painter.drawImage(form_->PictureShift(), picture);
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
void TImageViewer::leaveEvent(QEvent*) { form_->ImageViewerLeave(); }

// The wheel zooms here; it never scrolls the scroll area.
void TImageViewer::wheelEvent(QWheelEvent* e) {
  form_->ImageViewerWheel(e);
  e->accept();
}

void TImageViewer::keyPressEvent(QKeyEvent* e) {
  if (!form_->ImageViewerKeyDown(e)) QWidget::keyPressEvent(e);
}

TFormViewer::TFormViewer() {
  setWindowTitle(qv::ToQString(BaseCaption));
  ImageViewer = new TImageViewer(this);
  ScrollArea = new QScrollArea(this);
  ScrollArea->setFrameShape(QFrame::NoFrame);
  ScrollArea->setWidgetResizable(false);
  ScrollArea->setFocusPolicy(Qt::NoFocus);
  ScrollArea->setWidget(ImageViewer);
  setFocusProxy(ImageViewer);
  ImageViewer->setToolTip(
      tr("クリック: その点を中心に描き直す。ドラッグ: 範囲を選ぶ。範囲の内側をダブルクリック: "
         "拡大。ホイール: 拡大・縮小。F1: すべての操作"));
  // The status line: the render's state above the point under the pointer,
  // two lines of a fixed height (measured with a Japanese text, which may
  // come from a taller fallback font).
  StatusLine = new QWidget(this);
  LabelRender = StatusLabel(StatusLine);
  LabelPoint = StatusLabel(StatusLine);
  auto* lines = new QVBoxLayout(StatusLine);
  lines->setContentsMargins(4, 2, 4, 2);
  lines->setSpacing(0);
  lines->addWidget(LabelRender);
  lines->addWidget(LabelPoint);
  LabelRender->setText(tr("描画完了 座標"));
  LabelPoint->setText(LabelRender->text());
  StatusLine->setFixedHeight(StatusLine->sizeHint().height());
  LabelRender->clear();
  LabelPoint->clear();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ScrollArea, 1);
  layout->addWidget(StatusLine);
  canvas_.OnPicture = [this](QVPictureRef picture) {
    pictureSnapshot_ = renderSnapshot_;
    pictureArrived_ = true;
    Status.PictureShown(QVViewerStatus::Clock::now());
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

// The window's client area holds the picture and the status line below it.
void TFormViewer::SetImageSize(int32_t w, int32_t h) {
  const QSize size(WidgetExtent(w), WidgetExtent(h));
  ImageViewer->setFixedSize(size);
  const int statusHeight = StatusLine->maximumHeight();
  QSize window(size.width(),
               std::min(size.height(), QWIDGETSIZE_MAX - statusHeight) + statusHeight);
  if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
    window = window.boundedTo(screen->availableGeometry().size() * 9 / 10);
  }
  resize(window);
}

// The viewer follows the picture: a picture of another size than the
// surface resizes it, and the window with it.
void TFormViewer::ShowPicture(QVPictureRef picture) {
  nodeJob_.Stop();
  shownNode_.clear();
  picture_ = std::move(picture);
  image_ = qv::ImageOf(picture_);
  preview_ = QImage();
  heldShift_ = QPoint();
  if (!image_.isNull() && image_.size() != ImageViewer->size()) {
    SetImageSize(image_.width(), image_.height());
  }
  ImageViewer->update();
  if (OnPictureShown) OnPictureShown();
}

void TFormViewer::ShowPreview(QVPictureRef picture) {
  if (!shownNode_.empty()) return;  // the node's picture stays until the render's own arrives
  preview_ = qv::ImageOf(picture);
  ImageViewer->update();
  if (OnPreviewShown) OnPreviewShown();
}

void TFormViewer::ShowNode(qv::NodeKind kind, int32_t row) {
  if (!main_) return;
  const QVNodeGraph& graph = main_->Graph();
  const size_t count = kind == qv::NodeKind::Mixer ? graph.Mixers.size() : graph.Effectors.size();
  if (kind == qv::NodeKind::Generator || row < 0 || static_cast<size_t>(row) >= count) return;
  const QVObject* node = kind == qv::NodeKind::Mixer
                             ? static_cast<const QVObject*>(graph.Mixers[static_cast<size_t>(row)])
                             : graph.Effectors[static_cast<size_t>(row)];
  const std::string name = node->Name();
  const QVParameter& p = main_->Parameter;
  if (p.Width() < 1 || p.Height() < 1) {
    Status.Note(QVViewerStatus::NothingToDrawReason(graph.Mixers.size(), p.Width(), p.Height()));
    ShowStatus();
    return;
  }
  auto snapshot = std::make_shared<QVSnapshot>(p, graph, qv::FrozenCopy{false});
  Status.Note(qv::FromQString(tr("「%1」の画像を計算しています…").arg(qv::ToQString(name))));
  ShowStatus();
  nodeJob_.Start(std::move(snapshot), {kind, row}, main_->Workers(),
                 [this, name](std::vector<qv::NodePicture> pictures, const std::string& error) {
                   const QVPictureRef picture = pictures.empty() ? nullptr : pictures[0].Picture;
                   if (!error.empty() || !picture) {
                     const QString why =
                         error.empty() ? tr("ジェネレータがありません") : qv::ToQString(error);
                     Status.Note(qv::FromQString(
                         tr("「%1」の画像を表示できません: %2").arg(qv::ToQString(name), why)));
                     ShowStatus();
                     return;
                   }
                   shownNode_ = name;
                   preview_ = qv::ImageOf(picture);
                   if (preview_.size() != ImageViewer->size()) {
                     SetImageSize(preview_.width(), preview_.height());
                   }
                   ImageViewer->update();
                   Status.Note(qv::FromQString(
                       tr("「%1」を表示中（「描画」で出力に戻ります）").arg(qv::ToQString(name))));
                   ShowStatus();
                   if (OnNodeShown) OnNodeShown();
                 });
}

void TFormViewer::ReturnToOutput() {
  nodeJob_.Stop();
  if (shownNode_.empty()) return;
  shownNode_.clear();
  preview_ = QImage();
  Status.Note("");
  ShowStatus();
  ImageViewer->update();
}

std::string TFormViewer::PictureProject() const {
  return pictureSnapshot_ ? qv::WriteProject(*pictureSnapshot_) : std::string();
}

void TFormViewer::StartRender() {
  if (!main_) return;
  ReturnToOutput();
  RefreshPoint();  // the view may have changed under a pointer at rest
  const QVParameter& p = main_->Parameter;
  std::string reason =
      QVViewerStatus::NothingToDrawReason(main_->Graph().Mixers.size(), p.Width(), p.Height());
  if (reason.empty()) reason = qv::RenderProblem(main_->Graph());
  if (!reason.empty()) {
    main_->StopRender();  // the latest request wins: no older picture arrives now
    Status.NothingToDraw(reason);
    SetCaption();
    ShowStatus();
    return;
  }
  if (DrawnOrDrawing()) return;
  // The view sharpens in passes before the exact picture arrives.
  generation_ = main_->Render(&canvas_, &poster_, nullptr, qv::RunPreviewPasses);
  renderSnapshot_ = main_->LatestSnapshot();
  renderedAutoDepth_ = main_->AutoDepth;
  pictureArrived_ = false;
  Status.Started(QVViewerStatus::Clock::now(), int64_t{p.Width()} * p.Height());
  ShowStatus();
}

void TFormViewer::NextLiveFrame() {
  if (!main_ || !GesturesEnabled()) return LiveZoom.Stop();
  const std::optional<QVView> view =
      LiveZoom.NextView(CurrentView(), parameter_->Width(), parameter_->Height(),
                        static_cast<double>(clock_.nsecsElapsed()) * 1e-9);
  if (!view) return LiveZoom.Stop();
  qv::SetView(*parameter_, *view);
  if (frame_) frame_->UpdateView();
  generation_ = main_->Render(&canvas_, &poster_);
  renderSnapshot_ = main_->LatestSnapshot();
  renderedAutoDepth_ = main_->AutoDepth;
  pictureArrived_ = false;
  Status.Started(QVViewerStatus::Clock::now(), int64_t{parameter_->Width()} * parameter_->Height());
  ShowStatus();
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

// The latest render is running or has drawn its picture, of the project as
// it is now.
bool TFormViewer::DrawnOrDrawing() const {
  const QVViewerStatus::State state = Status.Current();
  if (state != QVViewerStatus::State::Rendering && state != QVViewerStatus::State::Finished) {
    return false;
  }
  if (!renderSnapshot_ || renderedAutoDepth_ != main_->AutoDepth) return false;
  if (!main_->AutoDepth) {
    return qv::SameProject(main_->Parameter, main_->Graph(), renderSnapshot_->Parameter(),
                           renderSnapshot_->Graph());
  }
  // The render computed raised depths: the project is compared raised too.
  QVSnapshot raised(main_->Parameter, main_->Graph());
  qv::RaiseDepths(raised.ComputedGraph());
  return qv::SameProject(raised.Parameter(), raised.Graph(), renderSnapshot_->Parameter(),
                         renderSnapshot_->Graph());
}

void TFormViewer::StopRender() {
  if (!main_ || Status.Current() != QVViewerStatus::State::Rendering) return;
  main_->StopRender();
  Status.Stopped();
  SetCaption();
  ShowStatus();
}

// The end hook of the latest render (after its picture or its error).
void TFormViewer::RenderEnded() {
  if (!pictureArrived_) LiveZoom.Stop();  // a frame failed or was stopped: no endless retries
  Status.Ended();
  SetCaption();
  ShowStatus();
  if (preview_.isNull() || !shownNode_.empty()) return;
  preview_ = QImage();
  ImageViewer->update();
}

void TFormViewer::RenderFailed(const std::string& message) {
  Status.Failed(message);
  ShowStatus();
}

void TFormViewer::SetCaption() { setWindowTitle(qv::ToQString(Status.Caption(BaseCaption))); }

// While the live zoom runs, the status line shows its frame rate.
void TFormViewer::ShowStatus() {
  std::string text = Status.Text();
  if (LiveZoom.Active() && LiveZoom.FrameRate() > 0) {
    text = qv::FromQString(tr("ライブズーム %1 fps").arg(LiveZoom.FrameRate(), 0, 'f', 1));
  }
  // A formula without a deep path is told first: the rest of a long line is
  // cut (and shown whole as the tool tip).
  if (const std::string deep = DeepPathNote(); !deep.empty()) {
    const bool refused = qv::DeepFormulaKind(parameter_->FractalMethod()) < 0;
    text = refused ? deep + "　" + text : text + "　" + deep;
  }
  SetStatusText(LabelRender, text);
}

// The view takes the deep path when it is that fine and its formula has one;
// the depths are those of the generators that draw this view. A formula with
// none is told, since its picture turns to blocks.
std::string TFormViewer::DeepPathNote() const {
  if (!main_ || !parameter_ || !qv::DeepViewNeeded(*parameter_)) return "";
  if (qv::DeepFormulaKind(parameter_->FractalMethod()) < 0) {
    return QVViewerStatus::DeepPathRefusalText(parameter_->FractalMethod().Name(),
                                               parameter_->Scale());
  }
  int32_t lowest = std::numeric_limits<int32_t>::max(), highest = 0;
  for (const QVGenerator* g : main_->Graph().Generators) {
    if (&g->Parameter() != parameter_) continue;
    const int32_t depth =
        main_->AutoDepth ? qv::AutoDepth(g->Depth(), parameter_->Scale()) : g->Depth();
    lowest = std::min(lowest, depth);
    highest = std::max(highest, depth);
  }
  if (highest < lowest) return "";
  return QVViewerStatus::DeepPathText(lowest, highest);
}

void TFormViewer::ShowPoint(QPoint at) {
  if (!GesturesEnabled()) return;
  const QVView view = CurrentView();
  const int32_t w = parameter_->Width(), h = parameter_->Height();
  SetStatusText(LabelPoint,
                QVViewerStatus::PointText(qv::PrecisePointAt(view, w, h, at.x(), at.y()),
                                          qv::PointAt(view, w, h, at.x(), at.y()), view.Scale / w));
}

void TFormViewer::ImageViewerLeave() {
  pointer_.reset();
  LabelPoint->clear();
}

QPoint TFormViewer::PictureShift() const {
  return heldShift_ + QPoint(Gesture.ShownShiftX(), Gesture.ShownShiftY());
}

QVView TFormViewer::CurrentView() const { return qv::ViewOf(*parameter_); }

bool TFormViewer::GesturesEnabled() const {
  return parameter_ && parameter_->Width() >= 1 && parameter_->Height() >= 1;
}

void TFormViewer::Act(QVViewerGesture::Action action, int32_t x, int32_t y) {
  if (action == QVViewerGesture::Action::Redraw) ImageViewer->update();
  if (action == QVViewerGesture::Action::Apply) ApplySelection(x, y);
  if (action == QVViewerGesture::Action::Pan) Pan(Gesture.PanX, Gesture.PanY);
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
  pointer_ = p;
  ShowPoint(p);
}

void TFormViewer::RefreshPoint() {
  if (pointer_) ShowPoint(*pointer_);
}

void TFormViewer::ImageViewerMouseUp(QMouseEvent* e) {
  if (!GesturesEnabled() || LiveZoomMouse(e, false, true)) return;
  const QPoint p = e->position().toPoint();
  Act(Gesture.Release(p.x(), p.y(), ButtonOf(e)), p.x(), p.y());
}

// Qt reports a quick second press of any button as a double-click: for the
// middle and right buttons it is their press.
void TFormViewer::ImageViewerDblClick(QMouseEvent* e) {
  // Ctrl + left belongs to the live zoom.
  if (!GesturesEnabled() ||
      (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier))) {
    return;
  }
  const QPoint p = e->position().toPoint();
  if (e->button() != Qt::LeftButton) {
    Act(Gesture.Press(p.x(), p.y(), ButtonOf(e)), p.x(), p.y());
    return;
  }
  Act(Gesture.DoubleClick(p.x(), p.y()), p.x(), p.y());
}

void TFormViewer::ImageViewerWheel(QWheelEvent* e) {
  if (!GesturesEnabled()) return;
  const double notches = qv::WheelNotches(e->angleDelta().y(), e->pixelDelta().y());
  if (notches == 0.0) return;
  const QPoint p = e->position().toPoint();
  ZoomAbout(p.x(), p.y(), notches);
}

bool TFormViewer::ImageViewerKeyDown(QKeyEvent* e) {
  if (e->key() == Qt::Key_F5) {
    if (OnRenderRequest) {
      OnRenderRequest();
    } else {
      StartRender();
    }
    return true;
  }
  if (e->key() == Qt::Key_Escape) {
    Act(Gesture.Cancel(), 0, 0);
    StopRender();
    return true;
  }
  if (!GesturesEnabled()) return false;
  const int32_t w = parameter_->Width(), h = parameter_->Height();
  const int32_t stepX = std::max(w / 8, 1), stepY = std::max(h / 8, 1);
  switch (e->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ZoomAbout(w / 2, h / 2, 1.0);
      return true;
    case Qt::Key_Minus:
      ZoomAbout(w / 2, h / 2, -1.0);
      return true;
    case Qt::Key_Left:  // the view moves left: the picture moves right
      Pan(stepX, 0);
      return true;
    case Qt::Key_Right:
      Pan(-stepX, 0);
      return true;
    case Qt::Key_Up:
      Pan(0, stepY);
      return true;
    case Qt::Key_Down:
      Pan(0, -stepY);
      return true;
    default:
      return false;
  }
}

void TFormViewer::ZoomAbout(int32_t x, int32_t y, double notches) {
  if (!GesturesEnabled()) return;
  ChangeView(qv::ZoomAbout(CurrentView(), parameter_->Width(), parameter_->Height(), x, y, notches),
             qv::FromQString(notches > 0 ? tr("拡大") : tr("縮小")));
}

// The shown picture moves at once with the view; the next picture replaces it.
void TFormViewer::Pan(int32_t dx, int32_t dy) {
  if (!GesturesEnabled()) return;
  const qv::ViewChange change =
      qv::Pan(CurrentView(), parameter_->Width(), parameter_->Height(), dx, dy);
  if (change.View) heldShift_ += QPoint(dx, dy);
  ChangeView(change, qv::FromQString(tr("移動")));
}

// A selection in progress belongs to the old view: it is dropped.
void TFormViewer::ChangeView(const qv::ViewChange& change, const std::string& what) {
  qv::Guarded(this, [&] {
    if (!change.View) {
      Status.Note(QVViewerStatus::RefusalText(change.Refusal, what));
      ShowStatus();
      return;
    }
    Gesture.Cancel();
    ImageViewer->update();
    qv::SetView(*parameter_, *change.View);
    if (frame_) frame_->UpdateView();
    StartRender();
    if (ImageViewer->underMouse()) ShowPoint(ImageViewer->mapFromGlobal(QCursor::pos()));
  });
}

// A zoom that would leave the plane (not finite, or no positive scale) is
// dropped with the selection; the view stays, and the status line says why.
void TFormViewer::ApplySelection(int32_t x, int32_t y) {
  qv::Guarded(this, [&] {
    if (!parameter_) return;
    const std::optional<QVView> view =
        Gesture.Zoom(x, y, parameter_->Width(), parameter_->Height(), CurrentView());
    Gesture.Finish();
    ImageViewer->update();
    if (!view) {
      if (frame_)
        frame_->ShowNotice(qv::FromQString(
            QCoreApplication::translate("QVViewerGesture", QVViewerGesture::RefusedMessage)));
      return;
    }
    qv::SetView(*parameter_, *view);
    if (frame_) frame_->UpdateView();
    StartRender();
    if (ImageViewer->underMouse()) ShowPoint(ImageViewer->mapFromGlobal(QCursor::pos()));
  });
}
