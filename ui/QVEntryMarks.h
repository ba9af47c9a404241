#pragma once
// Inline marks on edit boxes whose text does not convert: a red background,
// the message as the box's tool tip (in place of its own, which comes back)
// and in an optional status line. A mark clears when the box's text converts
// again. While the user types, a box is
// only checked and marked; it stores its value when Enter is pressed or the
// focus leaves it (Watch), so a box in red keeps the value stored before.
// One instance per frame or window, which owns the boxes; UI thread.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/QVNumberEntry.h"

class QLineEdit;
class QVStatusLine;

class QVEntryMarks {
 public:
  /// Wires box: every change of its text runs check, which converts and marks
  /// but stores nothing; Enter, or the focus leaving the box, runs commit,
  /// which stores a text that converts and is in range.
  static void Watch(QLineEdit* box, std::function<void()> check, std::function<void()> commit);
  /// The label that shows the latest message (may be null: tool tips only).
  void SetStatusLine(QVStatusLine* label);
  /// Marks box with message, or clears its mark when message is empty.
  void Mark(QLineEdit* box, const std::string& message);
  /// Shows a stored value's text in box without its change handler (a refresh
  /// stores nothing), and clears its mark.
  void Show(QLineEdit* box, const std::string& text);
  /// Marks or clears box after a conversion and passes its value on.
  template <typename T>
  std::optional<T> Check(QLineEdit* box, const QVConverted<T>& converted) {
    Mark(box, converted.Message);
    return converted.Value;
  }
  /// Check of box's text as a real.
  std::optional<double> Real(QLineEdit* box);
  bool Marked(const QLineEdit* box) const;
  /// The status line's text: the message of the latest box still marked.
  std::string Status() const;

 private:
  void ShowStatus();

  struct Entry {
    QLineEdit* Box;
    std::string Message;
  };
  std::vector<Entry> marked_;  // oldest first
  QVStatusLine* status_ = nullptr;
};
