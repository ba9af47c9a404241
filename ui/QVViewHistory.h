#pragma once
// QVViewHistory: the views the user has looked at (viewpoint and scale), to
// walk back and forward through them as a browser walks its pages. A new
// view after walking back drops the views ahead. At most kMaxViews are kept,
// the oldest going first. Owned by the editing window; UI thread.
#include <cstddef>
#include <deque>
#include <optional>

#include "ui/QVViewerGesture.h"

class QVViewHistory {
 public:
  static constexpr size_t kMaxViews = 1000;

  /// Forgets every view; view becomes the only one.
  void Reset(const QVView& view);
  /// The view now shown: appended unless it is the current one. False when
  /// nothing changed.
  bool Visit(const QVView& view);
  /// The view before (after) the current one, which becomes current; nothing
  /// at either end.
  std::optional<QVView> Back();
  std::optional<QVView> Forward();
  bool CanGoBack() const { return current_ > 0; }
  bool CanGoForward() const { return current_ + 1 < views_.size(); }
  size_t Size() const { return views_.size(); }

 private:
  std::deque<QVView> views_{QVView{}};
  size_t current_ = 0;
};
