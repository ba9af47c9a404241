#pragma once
// QVNodePictureJob: computes the pictures of single nodes (render/
// QVNodePictures.h) in the background: the workspace's thumbnails, and the
// picture of the node the viewer shows. Each Start takes its own detached
// frozen copy of the project, so the project may be edited meanwhile; a newer
// Start or Stop drops the older job, whose result never arrives.
//
// Threads: one job at a time runs on a std::jthread this object owns and
// joins; its result is posted through the poster to the UI thread. Start,
// Stop, Running and the destructor: the UI thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "render/QVNodePictures.h"

class QVPoster;
class QVSnapshot;

class QVNodePictureJob {
 public:
  /// Receives the pictures, or an empty list and why they could not be made
  /// (the UI thread).
  using DoneFunction =
      std::function<void(std::vector<qv::NodePicture> pictures, const std::string& error)>;

  /// poster must outlive the job.
  explicit QVNodePictureJob(QVPoster& poster);
  ~QVNodePictureJob();
  QVNodePictureJob(const QVNodePictureJob&) = delete;
  QVNodePictureJob& operator=(const QVNodePictureJob&) = delete;

  /// Computes choice of snapshot (a detached copy, at the size wanted) with
  /// workers workers per node; done runs through the poster at the end, unless
  /// Start or Stop came first. A running job is stopped first (milliseconds).
  void Start(std::shared_ptr<QVSnapshot> snapshot, qv::NodeChoice choice, int32_t workers,
             DoneFunction done);
  /// Stops the running job, if any, and joins its thread; its done never runs.
  void Stop();
  /// True from Start until done has run or Stop returned.
  bool Running() const { return running_; }

 private:
  QVPoster& poster_;
  std::shared_ptr<std::atomic<uint64_t>> current_ = std::make_shared<std::atomic<uint64_t>>(0);
  bool running_ = false;  // UI thread only
  std::jthread thread_;   // last: joined before the members it uses go
};
