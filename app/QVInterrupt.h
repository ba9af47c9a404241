#pragma once
// Ctrl-C, SIGTERM and a hang-up (SIGHUP: the terminal or the ssh session
// closed) during a render and the write of its picture: while a
// ScopedInterruptHandler lives, these signals only raise a flag and wake a
// watcher thread, which requests a stop of the handler's stop source. The
// render services stop within milliseconds on that request; the picture
// file's write checks the flag before it commits, so an interrupted write
// removes its temporary file and replaces nothing. SIGPIPE is ignored
// meanwhile: a reader of the messages that went away makes their writes fail,
// not the render. SIGQUIT keeps its core dump, for debugging; the unnamed
// temporary file vanishes with the process anyway. Main thread (the flag is
// read from any thread).
#include <csignal>
#include <iterator>
#include <stop_token>
#include <string>
#include <thread>

namespace qv {

/// What an interrupted render says.
inline constexpr const char* kInterruptedMessage = "interrupted; no picture was written";

/// The signal received since the handler was installed, or 0.
int InterruptSignal();

/// error, or kInterruptedMessage once an interrupt has arrived: a render or a
/// write that an interrupt made fail says so, whatever its own words.
std::string InterruptedOr(const std::string& error);

/// Installs the handler for its lifetime and connects the flag to the atomic
/// file writes. Every signal while it lives only sets the flag, so that no
/// second Ctrl-C can end the process half-way through a write and leave a
/// temporary file behind; the render stops within one row and the write ends
/// by itself. A handler made while another lives shares its stop source.
class ScopedInterruptHandler {
 public:
  ScopedInterruptHandler();
  ~ScopedInterruptHandler();
  ScopedInterruptHandler(const ScopedInterruptHandler&) = delete;
  ScopedInterruptHandler& operator=(const ScopedInterruptHandler&) = delete;

  /// Stop requested as soon as a signal arrives (from the watcher thread).
  std::stop_token StopToken() const { return stop_.get_token(); }

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
  struct sigaction saved_[std::size(kSignals)] = {};
  bool outermost_ = false;
  std::stop_source stop_;
  std::jthread watcher_;  // the outermost handler's: turns the flag into a stop request
};

}  // namespace qv
