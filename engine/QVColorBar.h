#pragma once
// The colour bar of an effector: entries (input value, colour) in
// non-decreasing order of input, and the lookup that interpolates between
// them. Plain data, no locking: ColorAt only reads, so workers share it.
//
// Every edit stores an input as the project text keeps it (qv::KeptNumber), and
// none leaves two entries of equal input, which the text cannot tell apart
// (reading merges them): so a bar renders the same before and after it is
// saved and read. Only a bar given whole is taken exactly as given.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

/// One colour-bar entry.
struct ConvertData {
  double Input = 0.0;
  int32_t Color = 0;  ///< red | green << 8 | blue << 16
};

namespace qv {

class ColorBar {
 public:
  ColorBar() = default;
  /// A bar of exactly these entries, as given (their order is not checked).
  explicit ColorBar(std::vector<ConvertData> entries) : entries_(std::move(entries)) {}

  const std::vector<ConvertData>& Entries() const { return entries_; }
  int32_t EntryCount() const { return static_cast<int32_t>(entries_.size()); }
  /// Entry i's input and colour; an index outside 0..EntryCount() - 1 throws
  /// std::out_of_range, here and in the members that change entry i.
  double EntryInput(int32_t i) const { return Entry(i).Input; }
  int32_t EntryColor(int32_t i) const { return Entry(i).Color; }

  /// x is kept (qv::KeptNumber) first. Replaces the colour of an entry with input
  /// exactly x, else inserts (x, color) before the first entry whose input is >= x.
  /// Returns the entry's index.
  int32_t InsertEntry(int32_t color, double x);
  /// Inserts every entry of inserted in turn, exactly as InsertEntry one by
  /// one would (same order, same replace-on-equal-input), in O(n log n)
  /// when the bar starts empty, as it does when a project is read.
  void InsertEntries(const std::vector<ConvertData>& inserted);
  /// The entries that InsertEntry one by one on an empty bar gives for
  /// inserted, in O(n log n) (O(n) for inputs in ascending order).
  static std::vector<ConvertData> Inserted(std::vector<ConvertData> inserted);
  /// Changes entry i's input to x kept; moves it when it would leave the
  /// order, and merges it into an entry of that input (the moved colour wins).
  void SetEntryInput(int32_t i, double x);
  void SetEntryColor(int32_t i, int32_t color);
  void DeleteEntry(int32_t i);
  void Clear() { entries_.clear(); }
  /// Index of the first entry whose input equals x exactly, or -1.
  int32_t IndexOfInput(double x) const;

  /// The colour for scalar v: end colours beyond the ends, an entry's own colour
  /// at its input, linear interpolation per channel in between (extended
  /// precision, truncated). NaN gives the first entry's colour; no entries, black.
  int32_t ColorAt(double v) const;

 private:
  const ConvertData& Entry(int32_t i) const { return entries_.at(static_cast<size_t>(i)); }

  std::vector<ConvertData> entries_;
};

}  // namespace qv
