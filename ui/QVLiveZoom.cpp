#include "ui/QVLiveZoom.h"

#include <cmath>

#include "ui/QVViewZoom.h"

void QVLiveZoom::Start(bool zoomIn, int32_t x, int32_t y, double now) {
  active_ = true;
  zoomIn_ = zoomIn;
  x_ = x, y_ = y;
  last_ = now;
  shown_.clear();
}

void QVLiveZoom::MovePointer(int32_t x, int32_t y) { x_ = x, y_ = y; }

void QVLiveZoom::Stop() {
  active_ = false;
  shown_.clear();
}

// The pointer's plane point is computed as the render maps that pixel, and
// the new view keeps it: v' = p + (v - p) f, s' = s f.
std::optional<QVView> QVLiveZoom::NextView(const QVView& view, int32_t w, int32_t h, double now) {
  if (w < 1 || h < 1) return std::nullopt;
  const double seconds = now > last_ ? now - last_ : 0.0;
  last_ = now;
  const double f = std::exp2((zoomIn_ ? -1.0 : 1.0) * kDoublingsPerSecond * seconds);
  const double s = view.Scale, k = (static_cast<double>(h) * s) / w;
  const QVComplex p{view.Viewpoint.re + (static_cast<double>(x_ - w / 2) * s) / w,
                    view.Viewpoint.im + (static_cast<double>(h / 2 - y_) * k) / h};
  const QVView next{{p.re + (view.Viewpoint.re - p.re) * f, p.im + (view.Viewpoint.im - p.im) * f},
                    s * f};
  if (!std::isfinite(next.Viewpoint.re) || !std::isfinite(next.Viewpoint.im) ||
      !std::isfinite(next.Scale) || !(next.Scale > 0)) {
    return std::nullopt;
  }
  if (!qv::DeepViewScale(next.Viewpoint, next.Scale)) return next;
  // A deep view moves from its viewpoint's every digit: v' = v + (p - v)(1 - f).
  const QVComplex offset{(static_cast<double>(x_ - w / 2) * s) / w,
                         (static_cast<double>(h / 2 - y_) * k) / h};
  return qv::ShiftedView(view, {offset.re * (1.0 - f), offset.im * (1.0 - f)}, {0.0, 0.0},
                         next.Scale, w);
}

void QVLiveZoom::FrameShown(double now) {
  shown_.push_back(now);
  while (shown_.size() > 2 && now - shown_.front() > 1.0) shown_.pop_front();
}

double QVLiveZoom::FrameRate() const {
  if (shown_.size() < 2 || !(shown_.back() > shown_.front())) return 0;
  return static_cast<double>(shown_.size() - 1) / (shown_.back() - shown_.front());
}
