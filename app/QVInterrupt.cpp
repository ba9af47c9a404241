#include "app/QVInterrupt.h"

#include <semaphore.h>

#include <atomic>
#include <cerrno>

#include "base/QVAtomicFile.h"

namespace qv {

namespace {

// Set by the signal handler; a lock-free atomic is safe to store there.
std::atomic<int> interruptSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
int installed = 0;                            // nesting depth; main thread only
const std::stop_source* outerStop = nullptr;  // the outermost handler's; main thread only

// Posted by the signal handler (sem_post may be called there) and by a
// handler that ends, to wake the watcher thread.
struct Wakeup {
  Wakeup() { sem_init(&Semaphore, 0, 0); }
  sem_t Semaphore;
} wakeup;

extern "C" void OnInterrupt(int signal) {
  interruptSignal.store(signal);
  sem_post(&wakeup.Semaphore);
}

// The watcher thread: each wake-up with the flag raised requests the stop,
// until the handler ends.
void Watch(std::stop_token quit, std::stop_source stop) {
  while (!quit.stop_requested()) {
    while (sem_wait(&wakeup.Semaphore) != 0 && errno == EINTR) {
    }
    if (interruptSignal.load() != 0) stop.request_stop();
  }
}

}  // namespace

int InterruptSignal() { return interruptSignal.load(); }

std::string InterruptedOr(const std::string& error) {
  return !error.empty() && InterruptSignal() != 0 ? kInterruptedMessage : error;
}

ScopedInterruptHandler::ScopedInterruptHandler() : outermost_(installed++ == 0) {
  if (outermost_) {
    interruptSignal.store(0);
    while (sem_trywait(&wakeup.Semaphore) == 0) {  // wake-ups of an earlier handler
    }
    outerStop = &stop_;
    watcher_ = std::jthread(Watch, stop_);
  } else {
    stop_ = *outerStop;
  }
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
  if (outermost_) {
    watcher_.request_stop();
    sem_post(&wakeup.Semaphore);
    watcher_.join();
    outerStop = nullptr;
  }
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &saved_[i], nullptr);
  if (--installed == 0) SetWriteInterrupt(nullptr);
}

}  // namespace qv
