#pragma once
// QVLiveZoom: the arithmetic of the live zoom. While the left button is held
// with Ctrl, the view zooms continuously about the plane point under the
// pointer (in; with Shift too, out) at a fixed rate per second of wall time.
// Every frame is an exact render of the view of the moment it starts, and
// the next frame starts only once the last one is on the screen: the views in
// between are skipped (the latest wins) and nothing queues. It also measures
// the rate of frames shown. Plain class; the viewer's UI thread.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "ui/QVViewerGesture.h"

class QVLiveZoom {
 public:
  /// Doublings (in) or halvings (out) of the scale per second.
  static constexpr double kDoublingsPerSecond = 1.0;

  /// Starts at now (seconds, any fixed origin) with the pointer at pixel (x, y).
  void Start(bool zoomIn, int32_t x, int32_t y, double now);
  /// The pointer moved to pixel (x, y).
  void MovePointer(int32_t x, int32_t y);
  void Stop();
  bool Active() const { return active_; }

  /// The view of the frame that starts at now, from view (the last frame's)
  /// on a w x h picture: the scale changed by the time since the last frame,
  /// about the plane point under the pointer. None when the result leaves
  /// the numbers (not finite, or no positive scale); the view then stays.
  std::optional<QVView> NextView(const QVView& view, int32_t w, int32_t h, double now);
  /// A frame reached the screen at now.
  void FrameShown(double now);
  /// Frames shown per second over about the last second (0 before two frames).
  double FrameRate() const;

 private:
  bool active_ = false;
  bool zoomIn_ = true;
  int32_t x_ = 0, y_ = 0;
  double last_ = 0;
  std::deque<double> shown_;  // times of the frames shown in the last second
};
