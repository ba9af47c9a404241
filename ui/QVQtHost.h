#pragma once
// The engine's host interfaces for the Qt editor: a poster that queues calls
// onto the UI thread's event loop, and a canvas that hands each finished
// picture to the viewer, which shows it as a QImage over its pixels. Both are owned by the viewer
// and outlive every render that uses them (the editor stops the render before it dies).
#include <QImage>
#include <QPointer>
#include <deque>
#include <functional>
#include <mutex>

#include "engine/QVHost.h"

class QObject;
class QSocketNotifier;

/// Queues each call onto receiver's thread (the UI thread), in the order
/// posted; a call still queued when the poster is destroyed is dropped.
/// Thread: any thread may post; construct and destroy it on the UI thread.
class QVQtPoster : public QVPoster {
 public:
  explicit QVQtPoster(QObject* receiver);
  ~QVQtPoster() override;
  QVQtPoster(const QVQtPoster&) = delete;
  QVQtPoster& operator=(const QVQtPoster&) = delete;
  void Post(std::function<void()> call) override;

 private:
  /// Runs the queued calls (UI thread).
  void RunPosted();

  std::mutex lock_;
  std::deque<std::function<void()>> calls_;
  int wake_;  // an eventfd the UI thread's event loop watches
  QSocketNotifier* notifier_ = nullptr;
};

/// Hands each finished picture, and each preview, on. Thread: UI thread only.
class QVQtCanvas : public QVCanvas {
 public:
  /// Receives every finished picture.
  std::function<void(QVPictureRef)> OnPicture;
  /// Receives every preview of a render still going on.
  std::function<void(QVPictureRef)> OnPreview;

  void SetPicture(QVPictureRef picture) override;
  void SetPreview(QVPictureRef picture) override;
};

namespace qv {

/// A QImage (Format_RGB32) over the picture's pixels, without a copy; the
/// image keeps the picture alive. Null for an empty picture.
QImage ImageOf(const QVPictureRef& picture);

}  // namespace qv
