#include "ui/QVColorBarView.h"

#include <algorithm>
#include <cmath>

#include "base/QVScan.h"
#include "engine/QVEffector.h"
#include "engine/QVNumeric.h"

namespace qv {

void ColorBarView::SetEffector(QVEffector* effector) {
  effector_ = effector;
  selected_ = 0;
}

int32_t ColorBarView::Count() const { return effector_ ? effector_->EntryCount() : 0; }

bool ColorBarView::HasSelection() const { return selected_ >= 0 && selected_ < Count(); }

void ColorBarView::ClampSelected() {
  selected_ = std::clamp(selected_, 0, std::max(Count() - 1, 0));
}

double ColorBarView::ValueAtColumn(int32_t col) const {
  const int32_t n = Count();
  if (n == 0) return 0.0;
  const double first = effector_->EntryInput(0);
  const double last = effector_->EntryInput(n - 1);
  const double span = last - first;
  if (std::isfinite(span)) return first + span * col / BarWidth;
  // A span beyond the double range: blend the ends instead, which stays finite.
  const double t = static_cast<double>(col) / BarWidth;
  return first * (1.0 - t) + last * t;
}

int32_t ColorBarView::ColumnOfValue(double x) const {
  const int32_t n = Count();
  if (n == 0) return 0;
  const double first = effector_->EntryInput(0);
  const double last = effector_->EntryInput(n - 1);
  if (last == first) return 0;  // a bar without width in inputs
  double col = (x - first) * BarWidth / (last - first);
  if (!std::isfinite(col)) {
    // Halves keep the differences of finite inputs finite.
    col = (x / 2 - first / 2) / (last / 2 - first / 2) * BarWidth;
  }
  if (std::isnan(col)) return 0;
  const int32_t c = std::clamp(TruncToInt(col), 0, BarWidth);
  // An entry inserted at column c + 1 holds that column's input as the text
  // keeps it, which may lie a hair below it: it still stands at c + 1.
  return c < BarWidth && KeptNumber(ValueAtColumn(c + 1)) <= x ? c + 1 : c;
}

std::vector<int32_t> ColorBarView::ColumnColors() const {
  std::vector<int32_t> colors(BarWidth, 0);
  if (!effector_) return colors;
  for (int32_t col = 0; col < BarWidth; ++col) colors[col] = effector_->ColorAt(ValueAtColumn(col));
  return colors;
}

double ColorBarView::SelectedInput() const {
  return HasSelection() ? effector_->EntryInput(selected_) : 0.0;
}

int32_t ColorBarView::SelectedColor() const {
  return HasSelection() ? effector_->ColorAt(SelectedInput()) : 0;
}

bool ColorBarView::SelectPrevious() {
  if (!HasSelection() || selected_ == 0) return false;
  --selected_;
  return true;
}

bool ColorBarView::SelectNext() {
  if (!HasSelection() || selected_ >= Count() - 1) return false;
  ++selected_;
  return true;
}

int32_t ColorBarView::OtherEntryAt(double x) const {
  const double kept = KeptNumber(x);
  for (int32_t i = 0; i < Count(); ++i) {
    if (i != selected_ && effector_->EntryInput(i) == kept) return i;
  }
  return -1;
}

bool ColorBarView::SetSelectedInput(double x) {
  if (!HasSelection() || std::isnan(x) || OtherEntryAt(x) >= 0) return false;
  effector_->SetEntryInput(selected_, x);
  selected_ = effector_->IndexOfInput(KeptNumber(x));
  ClampSelected();
  return true;
}

bool ColorBarView::SetSelectedColor(int32_t color) {
  if (!HasSelection()) return false;
  effector_->SetEntryColor(selected_, color);
  return true;
}

bool ColorBarView::InsertAtColumn(int32_t col) {
  if (Count() == 0) return false;  // no span to place an entry in
  const double x = KeptNumber(ValueAtColumn(col));  // the colour at the stored input
  selected_ = effector_->InsertEntry(effector_->ColorAt(x), x);
  ClampSelected();
  return true;
}

bool ColorBarView::DeleteSelected() {
  if (Count() < 3 || !HasSelection()) return false;
  effector_->DeleteEntry(selected_);
  ClampSelected();
  return true;
}

}  // namespace qv
