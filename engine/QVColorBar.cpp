#include "engine/QVColorBar.h"

#include <cmath>

#include "engine/QVField.h"

namespace qv {

int32_t ColorBar::InsertEntry(int32_t color, double x) {
  size_t i = 0;
  while (i < entries_.size() && !(entries_[i].Input >= x)) ++i;  // NaN: after every entry
  if (i < entries_.size() && entries_[i].Input == x) {
    entries_[i].Color = color;
  } else {
    entries_.insert(entries_.begin() + static_cast<ptrdiff_t>(i), ConvertData{x, color});
  }
  return static_cast<int32_t>(i);
}

void ColorBar::SetEntryInput(int32_t i, double x) {
  Entry(i);  // checks the index
  const int32_t n = EntryCount();
  if ((i > 0 && EntryInput(i - 1) > x) || (i < n - 1 && !(x <= EntryInput(i + 1)))) {
    const int32_t color = EntryColor(i);
    DeleteEntry(i);
    InsertEntry(color, x);
  } else {
    entries_[static_cast<size_t>(i)].Input = x;
  }
}

void ColorBar::SetEntryColor(int32_t i, int32_t color) {
  entries_.at(static_cast<size_t>(i)).Color = color;
}

void ColorBar::DeleteEntry(int32_t i) {
  Entry(i);  // checks the index
  entries_.erase(entries_.begin() + i);
}

int32_t ColorBar::IndexOfInput(double x) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].Input == x) return static_cast<int32_t>(i);
  }
  return -1;
}

namespace {

// One channel of the interpolation, in extended precision, truncated toward
// zero and kept inside 0..255 whatever the inputs.
int32_t Blend(int32_t lo, int32_t hi, long double xLo, long double xHi, long double v) {
  const long double c = (lo * (xHi - v) + hi * (v - xLo)) / (xHi - xLo);
  if (!(c > 0.0L)) return 0;
  if (c >= 255.0L) return 255;
  return static_cast<int32_t>(c);
}

}  // namespace

int32_t ColorBar::ColorAt(double v) const {
  if (entries_.empty()) return 0;
  if (std::isnan(v)) return entries_.front().Color;
  size_t i = 0;
  while (i < entries_.size() && !(entries_[i].Input >= v)) ++i;
  if (i == 0) return entries_.front().Color;               // at or below the first entry
  if (i == entries_.size()) return entries_.back().Color;  // above the last entry
  const ConvertData& lo = entries_[i - 1];
  const ConvertData& hi = entries_[i];
  if (lo.Input == hi.Input) return lo.Color;
  // On the entry itself: its own colour. The formula would only approach it
  // when the inputs' difference is not exact, and truncation may then fall
  // one short.
  if (hi.Input == v) return hi.Color;
  int32_t r0, g0, b0, r1, g1, b1;
  UnpackRGB(lo.Color, r0, g0, b0);
  UnpackRGB(hi.Color, r1, g1, b1);
  const long double xLo = lo.Input, xHi = hi.Input, x = v;
  return PackRGB(Blend(r0, r1, xLo, xHi, x), Blend(g0, g1, xLo, xHi, x), Blend(b0, b1, xLo, xHi, x));
}

}  // namespace qv
