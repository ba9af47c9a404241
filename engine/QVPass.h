#pragma once
// What one render pass carries to every node it computes: its stop token, the
// number of workers per node, the progress sink, and whether the plain
// per-pixel rows are forced (the reference the fast rows are checked
// against). A pass owns no node; it is built by whoever runs the pass and
// handed down explicitly, so passes of different projects never share state.
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>

/// Called by workers after each finished row: node name, row (from 1), height.
/// Must be thread-safe: every worker of a node calls it.
using QVProgressFunction = std::function<void(const std::string&, int, int)>;

namespace qv {

/// Thrown by a computation that found its pass stopped part-way; ComputeRows
/// takes it as a stop, not as an error.
struct PassStopped {};

struct Pass {
  std::stop_token Stop;
  int32_t Workers = 1;          ///< values below 1 count as 1
  QVProgressFunction Progress;  ///< may be empty
  bool PlainRows = false;       ///< the plain per-pixel workers instead of the fast rows

  bool StopRequested() const { return Stop.stop_requested(); }
  /// Throws PassStopped when the pass was asked to stop.
  void ThrowIfStopped() const {
    if (Stop.stop_requested()) throw PassStopped{};
  }
  int32_t WorkerCount() const { return Workers < 1 ? 1 : Workers; }
};

}  // namespace qv
