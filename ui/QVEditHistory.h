#pragma once
// QVEditHistory: the undo and redo history of a project, as the project
// texts of its states. Text is the value form that is complete (every
// setting, name and link) and exact (settings are kept as the text keeps
// them), so restoring a state gives back that project, and two states are
// equal exactly when their texts are. Bounded in memory: at most MaxSteps
// states back and at most MaxBytes of text in all; the oldest states go
// first, the current one always stays. Owned by the editing window; UI thread.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

class QVEditHistory {
 public:
  static constexpr size_t kDefaultSteps = 200;
  static constexpr size_t kDefaultBytes = size_t{64} << 20;

  explicit QVEditHistory(size_t maxSteps = kDefaultSteps, size_t maxBytes = kDefaultBytes);

  /// Forgets every state; text becomes the only one.
  void Reset(std::string text);
  /// The state after an edit: drops the states ahead (redo) and appends
  /// text. False, and nothing changes, when text is the current state.
  bool Record(std::string text);
  /// Steps back (forward); the state to restore, or null at the end.
  const std::string* Undo();
  const std::string* Redo();
  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ + 1 < states_.size(); }
  const std::string& Current() const { return states_[current_].Text; }

  /// The current state is the one last saved (or loaded).
  void MarkSaved() { saved_ = states_[current_].Serial; }
  /// Which recorded state the current one is; MarkSaved(serial) marks it as
  /// saved later (a save that ended after further edits).
  uint64_t CurrentSerial() const { return states_[current_].Serial; }
  void MarkSaved(uint64_t serial) { saved_ = serial; }
  /// Whether the current state differs from the one last saved.
  bool Modified() const { return states_[current_].Serial != saved_; }

  size_t States() const { return states_.size(); }
  size_t Bytes() const { return bytes_; }

 private:
  struct State {
    std::string Text;
    uint64_t Serial;  // which recorded state this is; equal serials, equal states
  };
  void Trim();

  size_t maxSteps_;
  size_t maxBytes_;
  std::deque<State> states_;
  size_t current_ = 0;
  size_t bytes_ = 0;
  uint64_t nextSerial_ = 0;
  uint64_t saved_ = 0;
};
