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
  if (Count() == 0) return 0.0;
  const auto [first, last] = Span();
  return ValueAt(first, last, col);
}

double ColorBarView::ValueAt(double first, double last, int32_t col) {
  const double span = last - first;
  if (std::isfinite(span)) return first + span * col / BarWidth;
  // A span beyond the double range: blend the ends instead, which stays finite.
  const double t = static_cast<double>(col) / BarWidth;
  return first * (1.0 - t) + last * t;
}

int32_t ColorBarView::ColumnOfValue(double x) const {
  if (Count() == 0) return 0;
  const auto [first, last] = Span();
  return ColumnOf(first, last, x);
}

int32_t ColorBarView::ColumnOf(double first, double last, double x) {
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
  return c < BarWidth && KeptNumber(ValueAt(first, last, c + 1)) <= x ? c + 1 : c;
}

std::pair<double, double> ColorBarView::Span() const {
  if (frozen_) return *frozen_;
  const int32_t n = Count();
  if (n == 0) return {0.0, 0.0};
  return {effector_->EntryInput(0), effector_->EntryInput(n - 1)};
}

std::vector<int32_t> ColorBarView::EntryColumns() const {
  std::vector<int32_t> columns;
  for (int32_t i = 0; i < Count(); ++i) columns.push_back(ColumnOfValue(effector_->EntryInput(i)));
  return columns;
}

std::vector<double> ColorBarView::Inputs() const {
  std::vector<double> inputs;
  for (int32_t i = 0; i < Count(); ++i) inputs.push_back(effector_->EntryInput(i));
  return inputs;
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

bool ColorBarView::Select(int32_t index) {
  if (index < 0 || index >= Count() || index == selected_) return false;
  selected_ = index;
  return true;
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
  const double shown = ValueAtColumn(col);
  const double x = KeptNumber(shown);
  if (const int32_t at = effector_->IndexOfInput(x); at >= 0) {
    selected_ = at;
    return true;
  }
  // The colour painted in the column, not the one at the kept input: they can
  // differ by a level, and repeated inserts would drift from the bar shown.
  selected_ = effector_->InsertEntry(effector_->ColorAt(shown), x);
  ClampSelected();
  return true;
}

bool ColorBarView::Complete() {
  if (!effector_ || Count() >= 2) return false;
  constexpr int32_t kWhite = 0xFFFFFF;
  if (Count() == 0) {
    effector_->InsertEntry(0, 0.0);
    effector_->InsertEntry(kWhite, 1.0);
  } else {
    const double x = effector_->EntryInput(0);
    double other = KeptNumber(x + 1.0);
    if (other == x || std::isnan(other)) other = std::isfinite(x) && x != 0.0 ? x / 2 : 1.0;
    effector_->InsertEntry(kWhite, other);
  }
  selected_ = 0;
  return true;
}

bool ColorBarView::DeleteSelected() {
  if (Count() < 3 || !HasSelection()) return false;
  effector_->DeleteEntry(selected_);
  ClampSelected();
  return true;
}

}  // namespace qv
