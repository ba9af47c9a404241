#include "ui/QVBackgroundJob.h"

#include <stdexcept>

#include "engine/QVHost.h"

QVBackgroundJob::QVBackgroundJob(QVPoster& poster) : poster_(poster) {}

QVBackgroundJob::~QVBackgroundJob() {
  Stop();
  threads_.clear();  // joins
}

void QVBackgroundJob::Start(Work work, Failed failed) {
  if (running_) throw std::logic_error("QVBackgroundJob::Start while a job runs");
  threads_.remove_if([](const Thread& t) { return t.Ended->load(); });  // joins at once
  const uint64_t serial = current_->load() + 1;
  current_->store(serial);
  running_ = true;
  SetProgress(0, 0);
  Thread& thread = threads_.emplace_back();
  thread.Run = std::jthread([this, work = std::move(work), failed = std::move(failed), serial,
                             ended = thread.Ended](std::stop_token stop) {
    Finish finish;
    std::exception_ptr error;
    try {
      finish = work(stop, *this);
    } catch (...) {
      error = std::current_exception();
    }
    // Runs on the UI thread, and only while this run is the job's latest
    // (so the job is still alive).
    if (!stop.stop_requested()) {
      poster_.Post([this, current = current_, serial, finish = std::move(finish), failed, error] {
        if (current->load() != serial) return;
        running_ = false;
        if (error) {
          if (failed) failed(error);
        } else if (finish) {
          finish();
        }
      });
    }
    ended->store(true);
  });
}

void QVBackgroundJob::Stop() {
  current_->fetch_add(1);  // a finish already posted does nothing now
  for (Thread& thread : threads_) thread.Run.request_stop();
  running_ = false;
}
