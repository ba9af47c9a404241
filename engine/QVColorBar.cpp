#include "engine/QVColorBar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>

#include "base/QVScan.h"
#include "engine/QVField.h"

namespace qv {

int32_t ColorBar::InsertEntry(int32_t color, double x) {
  x = KeptNumber(x);
  size_t i = 0;
  while (i < entries_.size() && !(entries_[i].Input >= x)) ++i;  // NaN: after every entry
  if (i < entries_.size() && entries_[i].Input == x) {
    entries_[i].Color = color;
  } else {
    entries_.insert(entries_.begin() + static_cast<ptrdiff_t>(i), ConvertData{x, color});
  }
  return static_cast<int32_t>(i);
}

void ColorBar::InsertEntries(const std::vector<ConvertData>& inserted) {
  if (entries_.empty()) {
    entries_ = Inserted(inserted);
    return;
  }
  for (const ConvertData& e : inserted) InsertEntry(e.Color, e.Input);
}

namespace {

// Without NaN, inserting one by one gives the inputs sorted, each once: the
// first of equal inputs (-0 equals 0) keeps its value and takes the colour of
// the last. A stable sort keeps equal inputs in the order they came.
std::vector<ConvertData> SortedWithoutNaN(std::vector<ConvertData> entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const ConvertData& a, const ConvertData& b) { return a.Input < b.Input; });
  size_t kept = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (kept > 0 && entries[kept - 1].Input == entries[i].Input) {
      entries[kept - 1].Color = entries[i].Color;
    } else {
      entries[kept++] = entries[i];
    }
  }
  entries.resize(kept);
  return entries;
}

}  // namespace

// With NaN, inserting one by one from empty keeps the non-NaN inputs strictly ascending
// (equal ones merge) and appends every NaN. So "the first entry whose input is
// >= x" is the least non-NaN input >= x, which an ordered map finds, and the
// entries form a list in which an insertion goes before that entry (or to the
// end). The list lives in a vector of nodes linked by index.
std::vector<ConvertData> ColorBar::Inserted(std::vector<ConvertData> inserted) {
  for (ConvertData& e : inserted) e.Input = KeptNumber(e.Input);
  bool ascending = true;  // the common case: a bar as the writer lists it
  for (size_t i = 0; i < inserted.size() && ascending; ++i) {
    ascending =
        !std::isnan(inserted[i].Input) && (i == 0 || inserted[i - 1].Input < inserted[i].Input);
  }
  if (ascending) return inserted;
  if (std::none_of(inserted.begin(), inserted.end(),
                   [](const ConvertData& e) { return std::isnan(e.Input); })) {
    return SortedWithoutNaN(inserted);
  }
  constexpr size_t kNone = SIZE_MAX;
  struct Node {
    ConvertData Entry;
    size_t Next = kNone;
    size_t Prev = kNone;
  };
  std::vector<Node> nodes;
  nodes.reserve(inserted.size());
  std::map<double, size_t> byInput;  // == merges -0 and +0, as the map's order does
  size_t head = kNone, tail = kNone;
  for (const ConvertData& e : inserted) {
    auto at = std::isnan(e.Input) ? byInput.end() : byInput.lower_bound(e.Input);
    if (at != byInput.end() && at->first == e.Input) {
      nodes[at->second].Entry.Color = e.Color;
      continue;
    }
    const size_t n = nodes.size();
    const size_t next = at == byInput.end() ? kNone : at->second;
    const size_t prev = next == kNone ? tail : nodes[next].Prev;
    nodes.push_back(Node{e, next, prev});
    (prev == kNone ? head : nodes[prev].Next) = n;
    (next == kNone ? tail : nodes[next].Prev) = n;
    if (!std::isnan(e.Input)) byInput.emplace_hint(at, e.Input, n);
  }
  std::vector<ConvertData> out;
  out.reserve(nodes.size());
  for (size_t i = head; i != kNone; i = nodes[i].Next) out.push_back(nodes[i].Entry);
  return out;
}

void ColorBar::SetEntryInput(int32_t i, double x) {
  Entry(i);  // checks the index
  x = KeptNumber(x);
  const int32_t n = EntryCount();
  if ((i == 0 || EntryInput(i - 1) < x) && (i == n - 1 || x < EntryInput(i + 1))) {
    entries_[static_cast<size_t>(i)].Input = x;
  } else {  // out of order, equal to a neighbour's input, or NaN (which goes to the end)
    const int32_t color = EntryColor(i);
    DeleteEntry(i);
    InsertEntry(color, x);
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
