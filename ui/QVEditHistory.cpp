#include "ui/QVEditHistory.h"

#include <utility>

QVEditHistory::QVEditHistory(size_t maxSteps, size_t maxBytes)
    : maxSteps_(maxSteps), maxBytes_(maxBytes) {
  Reset("");
}

void QVEditHistory::Reset(std::string text) {
  states_.clear();
  bytes_ = text.size();
  states_.push_back({std::move(text), ++nextSerial_});
  current_ = 0;
  saved_ = states_.back().Serial;
}

bool QVEditHistory::Record(std::string text) {
  if (text == Current()) return false;
  while (CanRedo()) {
    bytes_ -= states_.back().Text.size();
    states_.pop_back();
  }
  bytes_ += text.size();
  states_.push_back({std::move(text), ++nextSerial_});
  current_ = states_.size() - 1;
  Trim();
  return true;
}

// Drops the oldest states until both bounds hold, keeping the current one.
void QVEditHistory::Trim() {
  while (current_ > 0 && (current_ > maxSteps_ || bytes_ > maxBytes_)) {
    bytes_ -= states_.front().Text.size();
    states_.pop_front();
    --current_;
  }
}

const std::string* QVEditHistory::Undo() {
  if (!CanUndo()) return nullptr;
  return &states_[--current_].Text;
}

const std::string* QVEditHistory::Redo() {
  if (!CanRedo()) return nullptr;
  return &states_[++current_].Text;
}
