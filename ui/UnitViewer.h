#pragma once
// TFormViewer: the program's main window. Shows the rendered picture (it
// scrolls when larger than the screen, and the window follows the picture's
// size) above a status line, and turns mouse gestures, the wheel and keys into
// a new view: the gesture logic lives in QVViewerGesture, the view changes in
// QVViewZoom and the status texts in QVViewerStatus; this window forwards the
// events, paints the selection outline as an inverting overlay (never into
// the picture), and on a view change stores the new view, refreshes the
// parameter frame and starts a new render. A file dropped on it goes to
// OnFileDropped (the editing window loads it). UI thread.
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/QVGraph.h"
#include "ui/QVLiveZoom.h"
#include "ui/QVNodePictureJob.h"
#include "ui/QVQtHost.h"
#include "ui/QVViewZoom.h"
#include "ui/QVViewerGesture.h"
#include "ui/QVViewerStatus.h"

class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QMouseEvent;
class QWheelEvent;
class QScrollArea;
class QVMain;
class QVParameter;
class QVSnapshot;
class TFormViewer;
class TFrameParameter;

/// The picture surface inside the viewer; paints the picture and the outline
/// and forwards the mouse, the wheel and the keys to its window.
class TImageViewer : public QWidget {
 public:
  explicit TImageViewer(TFormViewer* form);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  TFormViewer* form_;
};

class TFormViewer : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TFormViewer)

 public:
  TFormViewer();
  ~TFormViewer() override;

  QScrollArea* ScrollArea;
  TImageViewer* ImageViewer;
  /// The status line below the picture: the render's state (or a refused
  /// change), and the plane point under the pointer.
  QWidget* StatusLine;
  QLabel* LabelRender;
  QLabel* LabelPoint;
  /// The caption without a render's progress, which starts with it: "Q-Vell
  /// Viewer", then the project file's name and the mark of unsaved changes.
  std::string BaseCaption = "Q-Vell Viewer";
  QVViewerGesture Gesture;
  QVViewerStatus Status;
  /// Ctrl + left button held: the live zoom (Shift too: out).
  QVLiveZoom LiveZoom;

  /// Binds the engine root and the parameter frame (not owned).
  void SetTarget(QVMain* main, TFrameParameter* frame);
  /// Sizes the picture surface to w x h and the window to show it (no larger
  /// than the screen). Allocates nothing; the picture arrives with a render.
  void SetImageSize(int32_t w, int32_t h);
  /// Turns the selection (or the pressed point) into a new view and renders it.
  void ApplySelection(int32_t x, int32_t y);
  /// Starts a render of the engine onto this viewer; the latest request
  /// wins. A render of the project as the running or the shown picture's
  /// render took it is not started again; a project without a picture (no
  /// mixer, an empty size) starts none and the status line says why.
  void StartRender();
  /// Stops the running render; the caption and the status line say so.
  void StopRender();
  /// Shows the picture of one node of the project as it is now (kind and
  /// registry index: an effector or a mixer), computed in the background at
  /// the picture's size, instead of the picture, until the next render of
  /// the picture's mixer starts ("描画") or its picture arrives. The status
  /// line names the node.
  void ShowNode(qv::NodeKind kind, int32_t row);
  /// The name of the node shown instead of the picture ("" when none).
  const std::string& ShownNode() const { return shownNode_; }
  /// Called when a node's picture is shown (tests, screenshots).
  std::function<void()> OnNodeShown;
  /// Zooms about pixel (x, y) by 2x per notch (above 0 in, below 0 out).
  void ZoomAbout(int32_t x, int32_t y, double notches);
  /// Moves the picture by (dx, dy) pixels and renders the new view.
  void Pan(int32_t dx, int32_t dy);
  /// Shows BaseCaption with how the latest render ended ("[中断]").
  void SetCaption();
  /// The render hooks' part here: the end of the latest render (a preview
  /// it left goes), its failure.
  void RenderEnded();
  void RenderFailed(const std::string& message);

  void ImageViewerMouseDown(QMouseEvent* event);
  void ImageViewerMouseMove(QMouseEvent* event);
  void ImageViewerMouseUp(QMouseEvent* event);
  void ImageViewerDblClick(QMouseEvent* event);
  /// The wheel zooms about the pointer.
  void ImageViewerWheel(QWheelEvent* event);
  /// + and - zoom about the centre, the arrows pan, F5 renders, Esc stops
  /// the render and the gesture. False: not a key of the viewer.
  bool ImageViewerKeyDown(QKeyEvent* event);
  void ImageViewerLeave();
  /// Shows the plane point under the pointer at rest on the picture again,
  /// for the view as it is now (after an undo, say).
  void RefreshPoint();
  /// Where the picture is painted: moved by the pans not yet rendered and the
  /// middle-button drag in progress.
  QPoint PictureShift() const;

  /// The last finished picture as shown (null before the first render).
  const QImage& Picture() const { return image_; }
  /// The last finished picture itself (null before the first render).
  const QVPictureRef& PictureRef() const { return picture_; }
  /// The project text the shown picture was rendered from ("" before the
  /// first picture): the frozen copy its render computed, so later edits are
  /// not in it.
  std::string PictureProject() const;
  /// That frozen copy (null before the first picture).
  const std::shared_ptr<const QVSnapshot>& PictureSnapshot() const { return pictureSnapshot_; }
  /// Shows a finished picture.
  void ShowPicture(QVPictureRef picture);
  /// Shows a preview of the render going on, over the last finished picture,
  /// until the render's own picture arrives or it ends without one.
  void ShowPreview(QVPictureRef picture);
  /// The preview shown (null when none is).
  const QImage& Preview() const { return preview_; }
  /// Called after each preview arrived (tests, screenshots).
  std::function<void()> OnPreviewShown;
  /// The generation of the latest render started here (0: none).
  uint64_t RenderGeneration() const { return generation_; }
  /// Called after each finished picture arrived (tests, screenshots).
  std::function<void()> OnPictureShown;
  /// Asked when the user closes the window: false keeps it open.
  std::function<bool()> CanClose;
  /// Called for F5, as the editing window's render button (else StartRender).
  std::function<void()> OnRenderRequest;
  /// Called when the user closes the window (the program ends then).
  std::function<void()> OnClose;
  /// Called, after the drop has ended, with the one local file dropped here.
  std::function<void(const std::string& path)> OnFileDropped;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool GesturesEnabled() const;
  /// Starts, follows and ends the live zoom; true when the event was its.
  bool LiveZoomMouse(QMouseEvent* event, bool press, bool release);
  /// Renders the next frame of the live zoom (no previews: every frame exact).
  void NextLiveFrame();
  bool DrawnOrDrawing() const;
  void Act(QVViewerGesture::Action action, int32_t x, int32_t y);
  /// Stores a new view and renders it, or says why there is none.
  void ChangeView(const qv::ViewChange& change, const std::string& what);
  QVView CurrentView() const;
  /// The status line's note of the deep path and its depth; "" off it.
  std::string DeepPathNote() const;
  void ShowStatus();
  void ShowPoint(QPoint at);
  /// Leaves a node's picture for the picture's (or the preview's).
  void ReturnToOutput();
  std::optional<QPoint> pointer_;  // where the pointer rests on the picture

  QVMain* main_ = nullptr;
  QVParameter* parameter_ = nullptr;
  TFrameParameter* frame_ = nullptr;
  QVPictureRef picture_;
  QImage image_;  // over picture_'s pixels
  QImage preview_;  // over the latest preview's pixels, shown instead of image_
  // The frozen copy of the latest render started here, and of the picture
  // shown. A picture reaches the canvas only while its render is the latest
  // (the engine drops the posts of a superseded one), so the shown picture's
  // copy is the latest render's at the moment it arrives.
  std::shared_ptr<const QVSnapshot> renderSnapshot_;
  bool renderedAutoDepth_ = false;  // whether renderSnapshot_'s depths were raised
  std::shared_ptr<const QVSnapshot> pictureSnapshot_;
  QVQtPoster poster_{this};
  QVQtCanvas canvas_;
  QVNodePictureJob nodeJob_{poster_};  // after poster_, which it posts through
  std::string shownNode_;
  uint64_t generation_ = 0;
  QElapsedTimer clock_;          // the live zoom's time
  bool pictureArrived_ = false;  // the latest render's picture reached the canvas
  QPoint heldShift_;             // the pans since the last picture
};
