#include "app/QVHeadlessRender.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>

#include "app/QVInterrupt.h"
#include "engine/QVHost.h"
#include "engine/QVMain.h"

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;
// An interrupt is looked for every 20 ms (the render then stops within a few
// more), the progress bar is redrawn every 100 ms.
constexpr std::chrono::milliseconds kPollInterval{20};
constexpr std::chrono::milliseconds kBarInterval{100};

// Keeps the picture the engine hands over. Called on the render thread (the
// poster runs it in place); read by the main thread after the join.
class PictureCanvas : public QVCanvas {
 public:
  explicit PictureCanvas(QVPictureRef& picture) : picture_(picture) {}
  void SetPicture(QVPictureRef picture) override { picture_ = std::move(picture); }

 private:
  QVPictureRef& picture_;
};

// How the render ended, set by the hooks on the render thread and awaited by
// the main thread.
class RenderOutcome {
 public:
  void Fail(const std::string& message) {
    std::lock_guard<std::mutex> guard(lock_);
    error_ = message;
  }
  void End() {
    std::lock_guard<std::mutex> guard(lock_);
    ended_ = true;
    endedSignal_.notify_all();
  }
  /// True once the render has ended; waits at most interval for it.
  bool WaitFor(std::chrono::milliseconds interval) {
    std::unique_lock<std::mutex> guard(lock_);
    return endedSignal_.wait_for(guard, interval, [this] { return ended_; });
  }
  std::string Error() const {
    std::lock_guard<std::mutex> guard(lock_);
    return error_;
  }

 private:
  mutable std::mutex lock_;
  std::condition_variable endedSignal_;
  bool ended_ = false;
  std::string error_;
};

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Installs the hooks that report to outcome, and removes them again, so that
// main never keeps references to this render's locals.
class ScopedRenderHooks {
 public:
  ScopedRenderHooks(QVMain& main, RenderOutcome& outcome) : main_(main) {
    main.OnRenderStart = nullptr;
    main.OnRenderError = [&outcome](const std::string& message) { outcome.Fail(message); };
    main.OnRenderEnd = [&outcome] { outcome.End(); };
  }
  ~ScopedRenderHooks() {
    main_.OnRenderError = nullptr;
    main_.OnRenderEnd = nullptr;
  }
  ScopedRenderHooks(const ScopedRenderHooks&) = delete;
  ScopedRenderHooks& operator=(const ScopedRenderHooks&) = delete;

 private:
  QVMain& main_;
};

}  // namespace

std::string RenderHeadless(QVMain& main, const RenderPoll& poll, QVPictureRef& picture) {
  picture.reset();
  PictureCanvas canvas(picture);
  QVInlinePoster poster;
  RenderOutcome outcome;
  ScopedRenderHooks hooks(main, outcome);
  ScopedInterruptHandler interrupts;
  const Clock::time_point start = Clock::now();

  main.Render(&canvas, &poster);
  Clock::time_point nextBar = start + kBarInterval;
  while (!outcome.WaitFor(kPollInterval)) {
    if (InterruptSignal() != 0) {
      main.StopRender();
      break;
    }
    if (poll && Clock::now() >= nextBar) {
      poll(main.Progress(), SecondsSince(start));
      nextBar += kBarInterval;
    }
  }
  main.WaitRender();
  const double seconds = SecondsSince(start);

  std::string error = outcome.Error();
  if (error.empty() && InterruptSignal() != 0) {
    error = kInterruptedMessage;
  } else if (error.empty() && (!picture || picture->Width() < 1 || picture->Height() < 1)) {
    error = "the render produced no picture";
  }
  if (poll && error.empty()) poll(main.Progress(), seconds);
  if (!error.empty()) picture.reset();
  return error;
}

}  // namespace qv
