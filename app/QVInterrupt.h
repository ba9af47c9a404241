#pragma once
// Ctrl-C and SIGTERM during a render and the write of its picture: while a
// ScopedInterruptHandler lives, these signals only raise a flag. The render
// polls it and stops within one row, and a render in bands looks at it
// between bands, so the picture's temporary file is removed and nothing is
// replaced. Main thread (the flag is read from any thread).
#include <csignal>

namespace qv {

/// What an interrupted render says.
inline constexpr const char* kInterruptedMessage = "interrupted; no picture was written";

/// The signal received since the handler was installed, or 0.
int InterruptSignal();

/// Installs the handler for its lifetime (handlers nest; the outermost one
/// clears the flag). Every signal while it lives only sets the flag, so that
/// no second Ctrl-C can end the process half-way through a write and leave a
/// temporary file behind.
class ScopedInterruptHandler {
 public:
  ScopedInterruptHandler();
  ~ScopedInterruptHandler();
  ScopedInterruptHandler(const ScopedInterruptHandler&) = delete;
  ScopedInterruptHandler& operator=(const ScopedInterruptHandler&) = delete;

 private:
  struct sigaction savedInt_ = {};
  struct sigaction savedTerm_ = {};
  bool outermost_ = false;
};

}  // namespace qv
