#include "render/QVHeadlessRender.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "engine/QVHost.h"
#include "engine/QVMain.h"

namespace qv {

namespace {

using Clock = std::chrono::steady_clock;
// The progress sink hears of the render every 100 ms; a stop wakes the
// waiting thread at once.
constexpr std::chrono::milliseconds kReportInterval{100};

// Keeps the picture the engine hands over. Called on the render thread (the
// poster runs it in place); read by the waiting thread after the join.
class PictureCanvas : public QVCanvas {
 public:
  explicit PictureCanvas(QVPictureRef& picture) : picture_(picture) {}
  void SetPicture(QVPictureRef picture) override { picture_ = std::move(picture); }

 private:
  QVPictureRef& picture_;
};

// How the render ended, set by the hooks on the render thread and awaited by
// the waiting thread; a stop request (any thread) wakes the waiting thread.
class RenderOutcome {
 public:
  void Fail(const std::string& message) {
    std::lock_guard<std::mutex> guard(lock_);
    error_ = message;
  }
  void End() { Wake(ended_); }
  void Stop() { Wake(stopped_); }
  /// True once the render has ended; waits until it has, a stop arrives or
  /// deadline passes.
  bool WaitUntil(Clock::time_point deadline) {
    std::unique_lock<std::mutex> guard(lock_);
    endedSignal_.wait_until(guard, deadline, [this] { return ended_ || stopped_; });
    return ended_;
  }
  std::string Error() const {
    std::lock_guard<std::mutex> guard(lock_);
    return error_;
  }

 private:
  void Wake(bool& flag) {
    std::lock_guard<std::mutex> guard(lock_);
    flag = true;
    endedSignal_.notify_all();
  }

  mutable std::mutex lock_;
  std::condition_variable endedSignal_;
  bool ended_ = false;
  bool stopped_ = false;
  std::string error_;
};

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

// Passes the engine's progress record on, once a node has reported.
void Report(const QVMain& main, const ProgressSink& progress) {
  const QVProgress::Snapshot snapshot = main.Progress();
  if (progress && snapshot.Serial != 0 && snapshot.Height > 0) {
    progress(snapshot.Name, snapshot.Done, snapshot.Height);
  }
}

}  // namespace

std::string RenderHeadless(QVMain& main, std::stop_token stop, const ProgressSink& progress,
                           QVPictureRef& picture) {
  picture.reset();
  if (stop.stop_requested()) return kStoppedMessage;
  PictureCanvas canvas(picture);
  QVInlinePoster poster;
  RenderOutcome outcome;
  ScopedRenderHooks hooks(main, outcome);

  main.Render(&canvas, &poster);
  {
    const std::stop_callback wake(stop, [&outcome] { outcome.Stop(); });
    Clock::time_point nextReport = Clock::now() + kReportInterval;
    while (!outcome.WaitUntil(nextReport)) {
      if (stop.stop_requested()) {
        main.StopRender();
        break;
      }
      if (Clock::now() >= nextReport) {
        Report(main, progress);
        nextReport = Clock::now() + kReportInterval;
      }
    }
  }
  main.WaitRender();

  std::string error = outcome.Error();
  if (error.empty() && stop.stop_requested()) {
    error = kStoppedMessage;
  } else if (error.empty() && (!picture || picture->Width() < 1 || picture->Height() < 1)) {
    error = "the render produced no picture";
  }
  if (error.empty()) Report(main, progress);
  if (!error.empty()) picture.reset();
  return error;
}

}  // namespace qv
