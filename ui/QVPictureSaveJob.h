#pragma once
// QVPictureSaveJob: the editor's picture save, run in the background so that
// the editor stays free to edit (and to render) meanwhile. At one sample the
// shown picture itself is encoded; with n x n samples a detached copy of the
// shown picture's frozen project is rendered again in bands, exactly as
// `qvell render --supersample n` renders it (render/QVRenderToFile.h), so the
// file is the command line's bit for bit. Either way the old file is replaced
// only when the whole file is written, and a stop leaves it as it was.
//
// Threads: one save at a time runs on a std::jthread the job owns and joins.
// The save thread never calls into the UI: its end is posted through the
// poster to the host's main thread, and its progress goes into two atomics
// the UI polls. Start, Stop, Running and the destructor: the UI thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "engine/QVPicture.h"
#include "image/QVPictureFile.h"
#include "image/QVPictureWriteError.h"

class QVPoster;
class QVSnapshot;

class QVPictureSaveJob {
 public:
  /// Receives a failure of stage None on success, else why the file was not
  /// written (as data, worded by the caller). Runs on the host's main thread.
  using DoneFunction = std::function<void(const qv::PictureWriteFailure& failure)>;

  /// What to save: the shown picture and the frozen copy it was rendered from.
  struct Request {
    std::string Path;
    qv::PictureFormat Format = qv::PictureFormat::Png;
    int32_t Supersample = 1;                     ///< samples per side of each pixel, 1 to 8
    int32_t Workers = 1;                         ///< per node of a supersampled render
    QVPictureRef Picture;                        ///< written as it is at one sample
    std::shared_ptr<const QVSnapshot> Snapshot;  ///< its project (and what n > 1 renders)
  };

  /// poster runs the end of each save on the host's main thread; it must
  /// outlive the job.
  explicit QVPictureSaveJob(QVPoster& poster);
  /// Stops a running save (see Stop).
  ~QVPictureSaveJob();
  QVPictureSaveJob(const QVPictureSaveJob&) = delete;
  QVPictureSaveJob& operator=(const QVPictureSaveJob&) = delete;

  /// Starts saving request; done runs through the poster when the save ended
  /// (never from Start itself, nor after Stop). Requires !Running().
  void Start(Request request, DoneFunction done);
  /// True from Start until done has been called or Stop returned.
  bool Running() const { return running_; }
  /// Ends a running save without calling done: the save thread is asked to
  /// stop and joined, which takes milliseconds (a render stops within a row,
  /// encoding within a slice of rows, and a file already being put in place
  /// is completed first); the old file then stays as it was.
  void Stop();
  /// Output rows written or computed so far, of Total(). Any thread.
  int64_t Done() const { return rowsDone_.load(); }
  int64_t Total() const { return rowsTotal_.load(); }

 private:
  void Run(std::stop_token stop, const Request& request, uint64_t serial);

  QVPoster& poster_;
  // The save a posted end belongs to; Stop moves it on, so the end of a
  // stopped save does nothing. Shared with the posted calls, which may run
  // after this job is gone.
  std::shared_ptr<std::atomic<uint64_t>> current_ = std::make_shared<std::atomic<uint64_t>>(0);
  DoneFunction onDone_;
  bool running_ = false;  // UI thread only
  std::atomic<int64_t> rowsDone_{0};
  std::atomic<int64_t> rowsTotal_{0};
  std::jthread thread_;  // last: joined before the members it uses go
};
