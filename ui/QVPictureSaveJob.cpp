#include "ui/QVPictureSaveJob.h"

#include <exception>
#include <new>
#include <stdexcept>

#include "engine/QVHost.h"
#include "engine/QVSnapshot.h"
#include "render/QVRenderToFile.h"

QVPictureSaveJob::QVPictureSaveJob(QVPoster& poster) : poster_(poster) {}

QVPictureSaveJob::~QVPictureSaveJob() { Stop(); }

void QVPictureSaveJob::Start(Request request, DoneFunction done) {
  if (running_) throw std::logic_error("QVPictureSaveJob::Start while a save runs");
  if (!request.Picture || !request.Snapshot) {
    throw std::logic_error("QVPictureSaveJob::Start without a picture");
  }
  if (thread_.joinable()) thread_.join();  // a save that ended; its thread is gone or going
  const uint64_t serial = current_->load() + 1;
  current_->store(serial);
  onDone_ = std::move(done);
  running_ = true;
  rowsDone_ = 0;
  rowsTotal_ = request.Picture->Height();
  thread_ = std::jthread([this, request = std::move(request), serial](std::stop_token stop) {
    Run(stop, request, serial);
  });
}

void QVPictureSaveJob::Stop() {
  current_->fetch_add(1);  // an end already posted does nothing now
  if (thread_.joinable()) {
    thread_.request_stop();
    thread_.join();
  }
  onDone_ = nullptr;
  running_ = false;
}

// The save thread. A supersampled save renders a detached copy of the frozen
// project, since the bands change its size and window; the shown picture's
// own copy shares its results with the project and stays untouched.
void QVPictureSaveJob::Run(std::stop_token stop, const Request& request, uint64_t serial) {
  qv::BandProgress progress;
  progress.Sink = [this](const std::string&, int64_t done, int64_t) { rowsDone_ = done; };
  qv::PictureRenderOptions options;
  options.Format = request.Format;
  options.Supersample = request.Supersample;
  options.Workers = request.Workers;
  qv::PictureWriteFailure failure;
  try {
    if (request.Supersample > 1) {
      QVSnapshot copy(request.Snapshot->Parameter(), request.Snapshot->Graph(),
                      qv::FrozenCopy{false});
      qv::RenderToFile(copy, options, request.Path, stop, progress, &failure);
    } else {
      qv::WritePictureToFile(*request.Picture, *request.Snapshot, options, request.Path, stop,
                             progress, &failure);
    }
  } catch (const std::bad_alloc&) {
    failure.Stage = qv::PictureWriteStage::Memory;
    failure.Message = "out of memory";
  } catch (const std::exception& e) {
    failure.Stage = qv::PictureWriteStage::Other;
    failure.Detail = failure.Message = e.what();
  }
  // Runs on the UI thread, and only while this save is the job's latest and
  // was not stopped (so the job is still alive).
  poster_.Post([this, current = current_, serial, failure] {
    if (current->load() != serial) return;
    running_ = false;
    DoneFunction done = std::move(onDone_);
    onDone_ = nullptr;
    if (done) done(failure);
  });
}
