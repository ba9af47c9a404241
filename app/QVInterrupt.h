#pragma once
// Ctrl-C, SIGTERM and a hang-up (SIGHUP: the terminal or the ssh session
// closed) during a render and the write of its picture: while a
// ScopedInterruptHandler lives, these signals only raise a flag. The render
// polls it and stops within one row; the picture file's write checks it
// before it commits, so an interrupted write removes its temporary file and
// replaces nothing. SIGPIPE is ignored meanwhile: a reader of the messages
// that went away makes their writes fail, not the render. SIGQUIT keeps its
// core dump, for debugging; the unnamed temporary file vanishes with the
// process anyway. Main thread (the flag is read from any thread).
#include <csignal>
#include <iterator>

namespace qv {

/// What an interrupted render says.
inline constexpr const char* kInterruptedMessage = "interrupted; no picture was written";

/// The signal received since the handler was installed, or 0.
int InterruptSignal();

/// Installs the handler for its lifetime and connects the flag to the atomic
/// file writes. Every signal while it lives only sets the flag, so that no
/// second Ctrl-C can end the process half-way through a write and leave a
/// temporary file behind; the render stops within one row and the write ends
/// by itself.
class ScopedInterruptHandler {
 public:
  ScopedInterruptHandler();
  ~ScopedInterruptHandler();
  ScopedInterruptHandler(const ScopedInterruptHandler&) = delete;
  ScopedInterruptHandler& operator=(const ScopedInterruptHandler&) = delete;

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
  struct sigaction saved_[std::size(kSignals)] = {};
  bool outermost_ = false;
};

}  // namespace qv
