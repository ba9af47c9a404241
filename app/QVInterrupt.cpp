#include "app/QVInterrupt.h"

#include <atomic>

#include "base/QVAtomicFile.h"

namespace qv {

namespace {

// Set by the signal handler; a lock-free atomic is safe to store there.
std::atomic<int> interruptSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
int installed = 0;  // nesting depth; main thread only

extern "C" void OnInterrupt(int signal) { interruptSignal.store(signal); }

}  // namespace

int InterruptSignal() { return interruptSignal.load(); }

ScopedInterruptHandler::ScopedInterruptHandler() : outermost_(installed++ == 0) {
  if (outermost_) interruptSignal.store(0);
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  for (size_t i = 0; i < std::size(kSignals); ++i) {
    sigaction(kSignals[i], kSignals[i] == SIGPIPE ? &ignore : &action, &saved_[i]);
  }
  SetWriteInterrupt(&interruptSignal);
}

ScopedInterruptHandler::~ScopedInterruptHandler() {
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &saved_[i], nullptr);
  if (--installed == 0) SetWriteInterrupt(nullptr);
}

}  // namespace qv
