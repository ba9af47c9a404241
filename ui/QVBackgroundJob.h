#pragma once
// QVBackgroundJob: one long read or write of the editor (a project file, the
// project text) on a thread of its own, so the UI thread never waits for it.
// The work runs on the job's std::jthread and returns the call that finishes
// it; that call is posted to the UI thread and runs there unless the job was
// stopped. The work may report its progress (Done of Total), which the UI
// polls. A stop never waits: a stopped work is asked to stop, runs on to its
// next check apart (its result is dropped), and is joined once it has ended,
// at the latest by the destructor. Start, Stop, Running and the destructor:
// the UI thread.
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <list>
#include <memory>
#include <stop_token>
#include <thread>

class QVPoster;

class QVBackgroundJob {
 public:
  /// The call that finishes the work on the UI thread.
  using Finish = std::function<void()>;
  /// Runs on the job's thread; it should return soon after stop is requested
  /// (what it returns then is dropped).
  using Work = std::function<Finish(std::stop_token stop, QVBackgroundJob& job)>;
  /// Receives, on the UI thread, what the work threw instead of returning.
  using Failed = std::function<void(std::exception_ptr error)>;

  /// poster runs each finish on the UI thread; it must outlive the job.
  explicit QVBackgroundJob(QVPoster& poster);
  /// Stops a running job and joins every thread of the job.
  ~QVBackgroundJob();
  QVBackgroundJob(const QVBackgroundJob&) = delete;
  QVBackgroundJob& operator=(const QVBackgroundJob&) = delete;

  /// Starts work. Requires !Running().
  void Start(Work work, Failed failed);
  /// True from Start until the finish (or failed) has run, or Stop returned.
  bool Running() const { return running_; }
  /// Asks the work to stop, without waiting for it; neither its finish nor
  /// failed runs afterwards.
  void Stop();

  /// Progress: done of total units (0 of 0 while unknown). Any thread.
  void SetProgress(int64_t done, int64_t total) {
    done_ = done;
    total_ = total;
  }
  int64_t Done() const { return done_.load(); }
  int64_t Total() const { return total_.load(); }

 private:
  QVPoster& poster_;
  // The run a posted finish belongs to; Stop moves it on. Shared with the
  // posted calls, which may run after the job is gone.
  std::shared_ptr<std::atomic<uint64_t>> current_ = std::make_shared<std::atomic<uint64_t>>(0);
  bool running_ = false;  // UI thread only
  std::atomic<int64_t> done_{0};
  std::atomic<int64_t> total_{0};
  // A thread of the job, with the flag it sets as its last act.
  struct Thread {
    std::shared_ptr<std::atomic<bool>> Ended = std::make_shared<std::atomic<bool>>(false);
    std::jthread Run;
  };
  std::list<Thread> threads_;  // last: joined before the members they use go
};
