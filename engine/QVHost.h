#pragma once
// What the engine needs from its host, declared here and implemented by the
// host (the Qt editor or the command line): a canvas to paint the result on,
// and a way to run a call on the host's main (user-interface) thread.
#include <cstdint>
#include <functional>

/// A drawing surface. Thread: only the host's main thread calls it.
class QVCanvas {
 public:
  virtual ~QVCanvas() = default;
  /// Makes the canvas w x h pixels (called once before the rows of a result).
  virtual void SetSize(int32_t w, int32_t h) = 0;
  /// Sets pixel (x, y) to red | green << 8 | blue << 16.
  virtual void SetPixel(int32_t x, int32_t y, int32_t color) = 0;
  /// A whole row at once; by default pixel by pixel.
  virtual void SetRow(int32_t y, const int32_t* colors, int32_t width) {
    for (int32_t x = 0; x < width; ++x) SetPixel(x, y, colors[x]);
  }
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
