#pragma once
// What the engine needs from its host, declared here and implemented by the
// host (the Qt editor or the command line): a canvas that receives the
// finished picture, and a way to run a call on the host's main thread.
//
// Lifetimes. The canvas and the poster given to QVMain::Render must outlive
// that render: until QVMain::StopRender() has returned (Render and the
// destructor of QVMain call it) or the QVMain is destroyed. After that the
// engine never touches them: a picture call still queued in the poster checks
// that its render was neither stopped nor superseded before it reaches the
// canvas. The QVMain itself may be destroyed while posts are still queued;
// those posts hold no pointer into it, only a shared token that tells them it
// is gone, and then do nothing. The poster must run every call it accepted or
// destroy it; either is safe at any time.
#include <functional>

#include "engine/QVPicture.h"

/// Receives the finished picture of a render (the canvas may keep it).
class QVCanvas {
 public:
  virtual ~QVCanvas() = default;
  /// Thread: the host's main thread (called through the poster).
  virtual void SetPicture(QVPictureRef picture) = 0;
  /// Receives a preview of the render still going on (a coarser picture of
  /// the same view, see QVMain::Render); it is not the render's picture. The
  /// default ignores it. Thread: the host's main thread.
  virtual void SetPreview(QVPictureRef) {}
};

/// Runs calls on the host's main thread, in the order posted, without waiting
/// for them. Thread: any thread may post.
class QVPoster {
 public:
  virtual ~QVPoster() = default;
  virtual void Post(std::function<void()> call) = 0;
};

/// A poster for hosts without an event loop (the command line, tests): runs
/// the call at once on the posting thread.
class QVInlinePoster : public QVPoster {
 public:
  void Post(std::function<void()> call) override { call(); }
};
