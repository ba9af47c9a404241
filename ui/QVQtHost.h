#pragma once
// The engine's host interfaces for the Qt editor: a poster that queues calls
// onto the UI thread's event loop, and a canvas that hands each finished
// picture to the viewer, which shows it as a QImage over its pixels. Both are owned by the viewer
// and outlive every render that uses them (the editor stops the render before it dies).
#include <QImage>
#include <QPointer>
#include <functional>

#include "engine/QVHost.h"

class QObject;

/// Queues each call onto receiver's thread (the UI thread); a call still
/// queued when receiver is destroyed is dropped. Thread: any thread may post.
class QVQtPoster : public QVPoster {
 public:
  explicit QVQtPoster(QObject* receiver) : receiver_(receiver) {}
  void Post(std::function<void()> call) override;

 private:
  QObject* receiver_;
};

/// Hands each finished picture on. Thread: UI thread only.
class QVQtCanvas : public QVCanvas {
 public:
  /// Receives every finished picture.
  std::function<void(QVPictureRef)> OnPicture;

  void SetPicture(QVPictureRef picture) override;
};

namespace qv {

/// A QImage (Format_RGB32) over the picture's pixels, without a copy; the
/// image keeps the picture alive. Null for an empty picture.
QImage ImageOf(const QVPictureRef& picture);

}  // namespace qv
