#include "ui/QVStopDrag.h"

#include <algorithm>
#include <cmath>

#include "base/QVScan.h"
#include "ui/QVColorBarView.h"

namespace qv {

namespace {

constexpr int32_t kOffMargin = 12;  // pixels beyond the band before a stop counts as dragged off

}  // namespace

StopDrag::StopDrag(const std::vector<double>& inputs, int32_t index, int32_t grab) : grab_(grab) {
  if (inputs.empty() || index < 0 || static_cast<size_t>(index) >= inputs.size()) return;
  first_ = inputs.front();
  last_ = inputs.back();
  own_ = inputs[static_cast<size_t>(index)];
  others_ = inputs;
  others_.erase(others_.begin() + index);
  ownColumn_ = ColorBarView::ColumnOf(first_, last_, own_);
}

std::optional<double> StopDrag::Free(double x) const {
  if (std::find(others_.begin(), others_.end(), x) != others_.end()) return std::nullopt;
  return x;
}

std::optional<double> StopDrag::AtColumn(int32_t col) const {
  col = std::clamp(col, 0, ColorBarView::BarWidth);
  return Free(KeptNumber(ColorBarView::ValueAt(first_, last_, col)));
}

std::optional<double> StopDrag::AtPointer(int32_t x) const {
  if (x == grab_) return own_;
  return AtColumn(x - grab_ + ownColumn_);
}

std::optional<double> StopDrag::Step(int dir) const {
  if (dir == 0 || first_ == last_) return std::nullopt;
  const int32_t from = ownColumn_;
  for (int32_t k = 1; k <= ColorBarView::BarWidth; ++k) {
    const double x = KeptNumber(ColorBarView::ValueAt(first_, last_, from + (dir < 0 ? -k : k)));
    if (std::isfinite(x) && (dir < 0 ? x < own_ : x > own_) && Free(x)) return x;
  }
  return std::nullopt;
}

bool StopDrag::IsOff(int32_t y, int32_t top, int32_t bottom) {
  return y < top - kOffMargin || y > bottom + kOffMargin;
}

}  // namespace qv
