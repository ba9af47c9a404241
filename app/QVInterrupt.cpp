#include "app/QVInterrupt.h"

#include <atomic>

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
  sigaction(SIGINT, &action, &savedInt_);
  sigaction(SIGTERM, &action, &savedTerm_);
}

ScopedInterruptHandler::~ScopedInterruptHandler() {
  sigaction(SIGINT, &savedInt_, nullptr);
  sigaction(SIGTERM, &savedTerm_, nullptr);
  --installed;
}

}  // namespace qv
