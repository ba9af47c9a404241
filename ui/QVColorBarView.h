#pragma once
// What the effector editor does with a colour bar, apart from painting: the
// column arithmetic of the painted bar (ValueAtColumn, ColumnOfValue, the
// marker's place), and the selected entry with the edits made through it.
// The bar spans the inputs of its first and last entries. Selected is always
// an index of an entry (0 when the bar is empty, where every edit does nothing).
// Holds a non-owning reference to the effector; UI thread only.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class QVEffector;

namespace qv {

class ColorBarView {
 public:
  /// Width of the painted bar in pixels, and of the marker standing across it.
  static constexpr int32_t BarWidth = 321;
  static constexpr int32_t MarkerWidth = 5;

  /// Binds the effector (may be null) and selects entry 0.
  void SetEffector(QVEffector* effector);
  QVEffector* Effector() const { return effector_; }
  int32_t Selected() const { return selected_; }
  /// True when there is a selected entry to show and edit.
  bool HasSelection() const;

  /// first + (last - first) col / w; the first input for a bar of one entry, 0 for none.
  double ValueAtColumn(int32_t col) const;
  /// The same on a bar spanning first..last (finite even when last - first is not).
  static double ValueAt(double first, double last, int32_t col);
  /// (x - first) w / (last - first) truncated, kept inside 0..w, or the column
  /// after it when x reaches that column's kept input (where an insert there
  /// puts it); 0 when the span is 0 or the result is not a number.
  int32_t ColumnOfValue(double x) const;
  /// The same on a bar spanning first..last.
  static int32_t ColumnOf(double first, double last, double x);
  /// The marker's left edge, relative to the bar's, centred on column col.
  static int32_t MarkerLeft(int32_t col) { return col - MarkerWidth / 2; }
  /// The colour of every painted column, left to right.
  std::vector<int32_t> ColumnColors() const;

  double SelectedInput() const;
  /// The colour the bar has at the selected entry's input.
  int32_t SelectedColor() const;
  int32_t SelectedColumn() const { return ColumnOfValue(SelectedInput()); }
  /// The column of every entry, first to last.
  std::vector<int32_t> EntryColumns() const;
  /// The input of every entry, first to last.
  std::vector<double> Inputs() const;
  /// The span the columns map to: the first and last inputs, or the span
  /// frozen while a stop is dragged (so the bar does not rescale under the
  /// pointer when an end stop moves).
  std::pair<double, double> Span() const;
  void FreezeSpan() { frozen_ = Span(); }
  void ThawSpan() { frozen_.reset(); }

  /// Each returns true when it changed the selection or the bar.
  bool Select(int32_t index);
  bool SelectPrevious();
  bool SelectNext();
  /// The entry other than the selected one whose input is x as the project text
  /// keeps it, or -1. The selected entry cannot take such an input: two entries
  /// of one input would merge when the project is read.
  int32_t OtherEntryAt(double x) const;
  /// Moves the selected entry to input x, kept (the bar stays ordered), and keeps
  /// it selected. Refused for NaN and for an input OtherEntryAt finds.
  bool SetSelectedInput(double x);
  bool SetSelectedColor(int32_t color);
  /// Inserts an entry at the column's input, kept, with exactly the colour the
  /// bar shows in that column, and selects it. On an entry's input it only
  /// selects that entry.
  bool InsertAtColumn(int32_t col);
  /// Gives a bar of fewer than two entries a second one so that it spans
  /// inputs again: none becomes the default black 0 to white 1; one entry
  /// (x, colour) gains (x + 1, white), or (x / 2, white) where x + 1 keeps as x.
  bool Complete();
  /// Deletes the selected entry unless only two are left.
  bool DeleteSelected();

 private:
  int32_t Count() const;
  void ClampSelected();

  QVEffector* effector_ = nullptr;
  int32_t selected_ = 0;
  std::optional<std::pair<double, double>> frozen_;
};

}  // namespace qv
