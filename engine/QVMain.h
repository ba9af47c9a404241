#pragma once
// QVMain: a project. Owns its global parameters, its node graph, its worker
// count and its progress record, builds the default graph, and runs renders on
// a render thread of its own. Projects share nothing: several live and render
// at once in one process.
//
// Edits: the project changes only through its objects' members that say so —
// the parameters' Change* members, a node's Set* members and colour-bar
// operations, a method's SetParamValue — and through the graph's Add, Copy,
// Delete and Rename. Every setting and name is private behind them, and each
// of them takes a fresh stamp: all a render needs to know what to recompute.
//
// Render control: at most one render of a project runs. Render() takes a
// frozen copy of the project (QVSnapshot.h) and computes that, so the project
// may be edited at any time while it runs, without stopping or waiting for it.
// Render() stops a running render and starts a new one (the latest request
// wins); StopRender() stops the running render and returns once its thread
// has ended, within milliseconds (workers look for the stop inside their loops
// too). The render thread never waits for the host: the start hook, the
// finished picture (an immutable QVPicture, built once) and the end hook are
// posted to the host's main thread in that order.
//
// Generations: every Render gets the next number (1, 2, ...). A posted call
// of a render runs only while that render is the latest one and the QVMain
// lives; a picture call besides only while the render was not stopped. So a
// late picture of an old render never reaches the canvas over a newer one,
// and nothing posted touches a destroyed QVMain (see QVHost.h).
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
#include "engine/QVSnapshot.h"

/// The latest progress report: node name, rows done and height. Workers write
/// it under its lock; the host reads it from its own thread.
class QVProgress {
 public:
  void Report(const std::string& name, int row, int height);
  /// Empties the record for the render of the given generation.
  void Reset(uint64_t generation);
  struct Snapshot {
    std::string Name;
    int Row = 0;   ///< the row number just finished, from 1
    int Done = 0;  ///< rows of this node finished so far
    int Height = 0;           ///< 0 until the render's first report
    uint64_t Serial = 0;      ///< grows with every report, across renders
    uint64_t Generation = 0;  ///< the render the record belongs to (0: none yet)
    /// The node that finished last (its rows done reached its height), and
    /// how many nodes finished in this render: a reader that polls sees every
    /// finish, even when the next node has already reported.
    std::string FinishedName;
    int FinishedHeight = 0;
    uint64_t Finishes = 0;
  };
  Snapshot Read() const;

 private:
  mutable std::mutex lock_;
  Snapshot snapshot_;
};

/// Receives, on the render thread, a picture to show while the render goes on.
using QVPreviewSink = std::function<void(QVPictureRef)>;
/// Computes a render's frozen copy: brings its last mixer up to date as
/// QVSnapshot::RunPass does (same result, same return and throws), and may
/// hand previews to the sink meanwhile. Called on the render thread.
using QVPassRunner = std::function<bool(QVSnapshot& snapshot, const qv::Pass& pass,
                                        int64_t hostBytes, const QVPreviewSink& preview)>;

class QVMain : public QVObject {
 public:
  /// Reads the worker count from the environment and builds the default graph.
  /// Thread: the host's main thread, like every member unless noted.
  QVMain();
  ~QVMain() override;

  QVParameter Parameter;
  /// The project's node graph.
  QVNodeGraph& Graph() { return graph_; }
  const QVNodeGraph& Graph() const { return graph_; }
  /// Workers per recomputed node (at least 1); read when a pass starts.
  int32_t Workers() const { return workers_; }
  void SetWorkers(int32_t workers) { workers_ = workers < 1 ? 1 : workers; }
  /// On: effectors and mixers compute with their plain per-pixel workers, the
  /// reference the fast rows are checked against (tests and benchmarks); read
  /// when a pass starts.
  bool PlainRows = false;
  /// On: each render computes every generator at qv::AutoDepth of its depth
  /// and its view's scale (the project keeps its own depths); read when a
  /// render starts.
  bool AutoDepth = false;
  /// Posted when a render starts (host main thread).
  std::function<void()> OnRenderStart;
  /// Posted when a render ends, after its picture or its error (host main thread).
  std::function<void()> OnRenderEnd;
  /// A failed render, as data for the host to word: Message says what, where
  /// and what to do; a picture too large for the memory also gives its size,
  /// the bytes it needs (INT64_MAX: more than can be addressed) and the bytes
  /// available.
  struct RenderFailure {
    std::string Message;
    bool Memory = false;
    int32_t Width = 0, Height = 0;
    int64_t Required = 0, Available = 0;
  };
  /// Posted after a render that failed (for example, out of memory) (host
  /// main thread).
  std::function<void(const RenderFailure&)> OnRenderError;

  /// Starts a render of the last mixer onto canvas and returns its generation
  /// at once (1, 2, ...); a running render is stopped first. Hooks and the
  /// picture run through poster on the host's main thread (with an inline
  /// poster, or a null poster, they run on the render thread and must not call
  /// Render or StopRender). A null canvas renders without a picture. progress,
  /// when set, receives every row report (from worker threads: it must be
  /// thread-safe). canvas and poster must outlive the render (QVHost.h).
  /// runner, when set, computes the copy instead of the plain pass; the
  /// previews it hands on reach the canvas's SetPreview under the same rules
  /// as the picture (only while the render is the latest and not stopped).
  uint64_t Render(QVCanvas* canvas, QVPoster* poster, QVProgressFunction progress = nullptr,
                  QVPassRunner runner = nullptr);
  /// Stops the running render, if any, and waits for its thread to end (within
  /// about 10 ms). A picture of the render still queued in the poster is then
  /// dropped; its end hook still runs.
  void StopRender();
  /// Waits until the running render, if any, has ended by itself.
  void WaitRender();
  /// True from Render until the render thread has finished its last post.
  bool Rendering() const { return running_.load(); }

  /// The progress of the latest render, emptied at every Render (thread-safe).
  QVProgress::Snapshot Progress() const { return progress_.Read(); }

  /// Runs one pass on the calling thread: brings the last mixer up to date.
  /// Returns false when stopped. Throws on errors (memory, ...). progress,
  /// when set, receives every row report from the workers.
  bool RunPass(std::stop_token stop = {}, QVProgressFunction progress = nullptr);

  /// A frozen copy of the project (see QVSnapshot.h): what a render computes,
  /// and what a save of its picture writes. The owner's thread.
  std::shared_ptr<QVSnapshot> Snapshot(qv::FrozenCopy frozen = {}) const;
  /// The frozen copy the latest Render computes (null before the first).
  /// Its settings may be read on any thread.
  std::shared_ptr<const QVSnapshot> LatestSnapshot() const { return latest_; }

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

 private:
  /// What posted calls share with the QVMain that posted them; outlives it.
  struct PostGate {
    std::atomic<bool> Alive{true};
    std::atomic<uint64_t> Generation{0};  ///< the latest render
    std::atomic<uint64_t> Drawable{0};    ///< the render whose picture may still be shown
  };

  void RenderThreadBody(const qv::Pass& pass, QVSnapshot& snapshot, int64_t hostBytes,
                        QVCanvas* canvas, QVPoster* poster, uint64_t generation,
                        const QVPassRunner& runner);
  /// Posts a call of the render generation that runs only while that render
  /// is the latest and this object lives.
  void PostForRender(QVPoster& poster, uint64_t generation, std::function<void(QVMain&)> call);
  /// Builds the picture of the last mixer and posts it to canvas, unless the
  /// render is stopped meanwhile.
  void PostPicture(QVPoster& poster, QVCanvas* canvas, uint64_t generation,
                   const QVRGBField& field, const qv::Pass& pass);

  QVNodeGraph graph_;
  int32_t workers_ = 1;
  std::shared_ptr<PostGate> gate_ = std::make_shared<PostGate>();
  QVProgress progress_;
  std::shared_ptr<const QVSnapshot> latest_;
  std::atomic<bool> running_{false};
  std::jthread thread_;
};

namespace qv {

/// The worker count from NUMBER_OF_PROCESSORS: its leading decimal integer when
/// positive (at most 256), else the number of hardware threads (at least 1).
int32_t WorkerCountFromEnvironment();

/// Memory the system can still give this process, in bytes (MemAvailable
/// where known). Any thread.
int64_t AvailableMemory();

}  // namespace qv
