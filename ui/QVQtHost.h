#pragma once
// The engine's host interfaces for the Qt editor: a poster that queues calls
// onto the UI thread's event loop, and a canvas that hands each finished
// picture to the viewer as a QImage. Both are owned by the viewer and outlive
// every render that uses them (the viewer stops the render before it dies).
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

/// Collects a finished picture and passes it on. Thread: UI thread only.
class QVQtCanvas : public QVCanvas {
 public:
  /// Receives every finished picture (Format_RGB32).
  std::function<void(const QImage&)> OnPicture;

  void SetSize(int32_t w, int32_t h) override;
  void SetPixel(int32_t x, int32_t y, int32_t color) override;
  void SetRow(int32_t y, const int32_t* colors, int32_t width) override;

 private:
  QImage image_;
};
