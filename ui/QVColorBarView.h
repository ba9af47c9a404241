#pragma once
// What the effector editor does with a colour bar, apart from painting: the
// column arithmetic of the painted bar (ValueAtColumn, ColumnOfValue, the
// marker's place), and the selected entry with the edits made through it.
// The bar spans the inputs of its first and last entries. Selected is always
// an index of an entry (0 when the bar is empty, where every edit does nothing).
// Holds a non-owning reference to the effector; UI thread only.
#include <cstdint>
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
  /// (x - first) w / (last - first) truncated, kept inside 0..w, or the column
  /// after it when x reaches that column's kept input (where an insert there
  /// puts it); 0 when the span is 0 or the result is not a number.
  int32_t ColumnOfValue(double x) const;
  /// The marker's left edge, relative to the bar's, centred on column col.
  static int32_t MarkerLeft(int32_t col) { return col - MarkerWidth / 2; }
  /// The colour of every painted column, left to right.
  std::vector<int32_t> ColumnColors() const;

  double SelectedInput() const;
  /// The colour the bar has at the selected entry's input.
  int32_t SelectedColor() const;
  int32_t SelectedColumn() const { return ColumnOfValue(SelectedInput()); }

  /// Each returns true when it changed the selection or the bar.
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
  /// Inserts an entry at the column's input, kept, with the colour shown there, and
  /// selects it. On an entry's input it only selects that entry.
  bool InsertAtColumn(int32_t col);
  /// Deletes the selected entry unless only two are left.
  bool DeleteSelected();

 private:
  int32_t Count() const;
  void ClampSelected();

  QVEffector* effector_ = nullptr;
  int32_t selected_ = 0;
};

}  // namespace qv
