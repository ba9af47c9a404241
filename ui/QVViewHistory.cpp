#include "ui/QVViewHistory.h"

#include "ui/QVViewZoom.h"

namespace {

bool SameView(const QVView& a, const QVView& b) {
  return a.Viewpoint.re == b.Viewpoint.re && a.Viewpoint.im == b.Viewpoint.im &&
         a.Scale == b.Scale && qv::PreciseViewpointOf(a) == qv::PreciseViewpointOf(b);
}

}  // namespace

void QVViewHistory::Reset(const QVView& view) {
  views_.assign(1, view);
  current_ = 0;
}

bool QVViewHistory::Visit(const QVView& view) {
  if (SameView(views_[current_], view)) return false;
  views_.resize(current_ + 1);
  views_.push_back(view);
  if (views_.size() > kMaxViews) views_.pop_front();
  current_ = views_.size() - 1;
  return true;
}

std::optional<QVView> QVViewHistory::Back() {
  if (!CanGoBack()) return std::nullopt;
  return views_[--current_];
}

std::optional<QVView> QVViewHistory::Forward() {
  if (!CanGoForward()) return std::nullopt;
  return views_[++current_];
}
