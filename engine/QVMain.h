#pragma once
// QVMain: the engine root. Owns the global parameters and the live node graph,
// builds the default graph, and runs renders on a render thread of its own.
//
// Render control: at most one render runs. Render() stops a running render and
// starts a new one (the latest request wins); StopRender() stops the running
// render and returns once its thread has ended, which takes at most one row of
// the node being computed. Editing entry points call StopRender() before they
// change an engine object, so nothing changes during a pass. The render thread
// never waits for the host: the start hook, the drawing (of a copy of the
// result) and the end hook are posted to the host's main thread in that order.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "engine/QVGraph.h"
#include "engine/QVHost.h"
#include "engine/QVObject.h"
#include "engine/QVParameter.h"

/// The latest progress report: node name, rows done and height. Workers write
/// it under its lock; the host reads it from its own thread.
class QVProgress {
 public:
  void Report(const std::string& name, int row, int height);
  struct Snapshot {
    std::string Name;
    int Row = 0;   ///< the row number just finished, from 1
    int Done = 0;  ///< rows of this node finished so far
    int Height = 0;
    uint64_t Serial = 0;  ///< grows with every report
  };
  Snapshot Read() const;

 private:
  mutable std::mutex lock_;
  Snapshot snapshot_;
};

class QVMain : public QVObject {
 public:
  /// Reads the worker count from the environment and builds the default graph.
  /// Thread: the host's main thread, like every member unless noted.
  QVMain();
  ~QVMain() override;

  QVParameter Parameter;
  std::function<void()> OnRenderStart;
  std::function<void()> OnRenderEnd;
  /// Called after a render that failed (for example, out of memory), with a message.
  std::function<void(const std::string&)> OnRenderError;

  /// Starts a render of the last mixer onto canvas; returns at once. Hooks and
  /// the drawing run through poster on the host's main thread (with an inline
  /// poster, or a null poster, they run on the render thread and must not call
  /// Render or StopRender). A null canvas renders without drawing. progress, when
  /// set, receives every row report (from worker threads: it must be thread-safe).
  void Render(QVCanvas* canvas, QVPoster* poster, QVProgressFunction progress = nullptr);
  /// Stops the running render, if any, and waits for its thread to end.
  void StopRender();
  /// Waits until the running render, if any, has ended by itself.
  void WaitRender();
  /// True from Render until the render thread has finished its last post.
  bool Rendering() const { return running_.load(); }

  /// The progress of the running render (thread-safe).
  QVProgress::Snapshot Progress() const { return progress_.Read(); }

  /// Runs one pass on the calling thread: Update and Reset of the last mixer.
  /// Returns false when stopped. Throws on errors (memory, ...).
  bool RunPass(std::stop_token stop = {});

  /// Bytes a render at the current size will hold at once: the fields of
  /// every node (those already of the right size count as nothing), the
  /// workers' row buffers, the copy of the picture handed to the host, and
  /// HostBytes.
  int64_t RequiredBytes() const;
  /// Bytes the host holds at the same time as a render (its own copy of the
  /// picture, a picture writer's buffers and encoder). Set by the host.
  int64_t HostBytes = 0;
  /// "a picture of W x H pixels needs N MiB of memory ..., but only M MiB are
  /// available; lower Width and Height": the message of the memory check, and
  /// of an allocation that fails anyway.
  std::string MemoryMessage() const;

  std::string WriteSource(const std::string&) const override { return ""; }
  bool ReadSource(qv::SourceText&) override { return false; }

 private:
  void RenderThreadBody(std::stop_token stop, QVCanvas* canvas, QVPoster* poster);

  QVNodeGraph& graph_;
  QVProgress progress_;
  std::atomic<bool> running_{false};
  std::jthread thread_;
};

namespace qv {

/// The worker count from NUMBER_OF_PROCESSORS: its leading decimal integer when
/// positive (at most 256), else the number of hardware threads (at least 1).
int32_t WorkerCountFromEnvironment();

/// Memory the system can still give this process, in bytes.
int64_t AvailableMemory();

/// Paints a picture (packed colours, row-major) onto a canvas.
void DrawPicture(QVCanvas& canvas, const std::vector<int32_t>& pixels, int32_t w, int32_t h,
                 const QVProgressFunction& progress);

}  // namespace qv
