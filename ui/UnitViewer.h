#pragma once
// TFormViewer: the program's main window. Shows the rendered picture (it
// scrolls when larger than the screen) and turns mouse gestures into a new
// view: the gesture logic lives in QVViewerGesture; this window forwards the
// events, paints the selection outline as an inverting overlay (never into
// the picture), and on a zoom stores the new view,
// refreshes the parameter frame and starts a new render. A file dropped on it
// goes to OnFileDropped (the editing window loads it). UI thread.
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ui/QVLiveZoom.h"
#include "ui/QVQtHost.h"
#include "ui/QVViewerGesture.h"

class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QMouseEvent;
class QScrollArea;
class QVMain;
class QVParameter;
class QVSnapshot;
class TFormViewer;
class TFrameParameter;

/// The picture surface inside the viewer; paints the picture and the outline
/// and forwards the mouse to its window.
class TImageViewer : public QWidget {
 public:
  explicit TImageViewer(TFormViewer* form);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TFormViewer* form_;
};

class TFormViewer : public QWidget {
 public:
  TFormViewer();
  ~TFormViewer() override;

  QScrollArea* ScrollArea;
  TImageViewer* ImageViewer;
  /// The caption without a render's progress, which starts with it: "Q-Vell
  /// Viewer", then the project file's name and the mark of unsaved changes.
  std::string BaseCaption = "Q-Vell Viewer";
  QVViewerGesture Gesture;
  /// Ctrl + left button held: the live zoom (Shift too: out).
  QVLiveZoom LiveZoom;

  /// Binds the engine root and the parameter frame (not owned).
  void SetTarget(QVMain* main, TFrameParameter* frame);
  /// Sizes the picture surface to w x h and the window to show it (no larger
  /// than the screen). Allocates nothing; the picture arrives with a render.
  void SetImageSize(int32_t w, int32_t h);
  /// Turns the selection (or the pressed point) into a new view and renders it.
  void ApplySelection(int32_t x, int32_t y);
  /// Starts a render of the engine onto this viewer.
  void StartRender();

  void ImageViewerMouseDown(QMouseEvent* event);
  void ImageViewerMouseMove(QMouseEvent* event);
  void ImageViewerMouseUp(QMouseEvent* event);
  void ImageViewerDblClick(QMouseEvent* event);

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
  /// Called when the latest render ended: a preview it left goes.
  void RenderEnded();
  /// Called after each preview arrived (tests, screenshots).
  std::function<void()> OnPreviewShown;
  /// The generation of the latest render started here (0: none).
  uint64_t RenderGeneration() const { return generation_; }
  /// Called after each finished picture arrived (tests, screenshots).
  std::function<void()> OnPictureShown;
  /// Asked when the user closes the window: false keeps it open.
  std::function<bool()> CanClose;
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
  void Act(QVViewerGesture::Action action, int32_t x, int32_t y);

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
  std::shared_ptr<const QVSnapshot> pictureSnapshot_;
  QVQtPoster poster_{this};
  QVQtCanvas canvas_;
  uint64_t generation_ = 0;
  QElapsedTimer clock_;          // the live zoom's time
  bool pictureArrived_ = false;  // the latest render's picture reached the canvas
};
