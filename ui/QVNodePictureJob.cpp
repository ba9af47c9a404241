#include "ui/QVNodePictureJob.h"

#include <exception>
#include <new>

#include "engine/QVHost.h"
#include "engine/QVSnapshot.h"

QVNodePictureJob::QVNodePictureJob(QVPoster& poster) : poster_(poster) {}

QVNodePictureJob::~QVNodePictureJob() { Stop(); }

void QVNodePictureJob::Start(std::shared_ptr<QVSnapshot> snapshot, qv::NodeChoice choice,
                             int32_t workers, DoneFunction done) {
  Stop();
  const uint64_t serial = current_->load();
  running_ = true;
  thread_ = std::jthread([this, snapshot = std::move(snapshot), choice, workers, serial,
                          done = std::move(done)](std::stop_token stop) mutable {
    std::vector<qv::NodePicture> pictures;
    std::string error;
    try {
      qv::Pass pass;
      pass.Stop = stop;
      pass.Workers = workers;
      if (!qv::RenderNodePictures(*snapshot, pass, choice, pictures)) return;
    } catch (const std::bad_alloc&) {
      error = "メモリが不足しています";
    } catch (const std::exception& e) {
      error = e.what();
    }
    if (!error.empty()) pictures.clear();
    // Runs on the UI thread, and only while this job is the latest (so this
    // object is still alive).
    poster_.Post([this, current = current_, serial, pictures = std::move(pictures), error,
                  done = std::move(done)]() mutable {
      if (current->load() != serial) return;
      running_ = false;
      done(std::move(pictures), error);
    });
  });
}

void QVNodePictureJob::Stop() {
  current_->fetch_add(1);  // a result already posted does nothing now
  if (thread_.joinable()) {
    thread_.request_stop();
    thread_.join();
  }
  running_ = false;
}
