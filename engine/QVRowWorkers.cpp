#include "engine/QVRowWorkers.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <vector>

#include "engine/QVWorkerPool.h"

namespace qv {

bool ComputeRows(const Pass& pass, const std::string& name, int height,
                 const std::function<RowFunction(int worker)>& makeWorker) {
  if (height < 1) return true;
  // More workers than rows would only build state for nothing.
  const int workers = std::min(pass.WorkerCount(), height);
  const std::stop_token& stop = pass.Stop;
  const QVProgressFunction& progress = pass.Progress;
  std::vector<std::exception_ptr> errors(static_cast<size_t>(workers));
  std::atomic<int64_t> nextRow{0};  // 64 bits: the workers' last claims pass INT_MAX
  std::atomic<bool> stopped{false};
  RunWorkers(workers, [&](int32_t i) {
    try {
      RowFunction rowFunction;
      for (int64_t row = nextRow.fetch_add(1); row < height; row = nextRow.fetch_add(1)) {
        if (stop.stop_requested()) {
          stopped = true;
          return;
        }
        if (!rowFunction) rowFunction = makeWorker(i);
        rowFunction(static_cast<int>(row));
        if (progress) progress(name, static_cast<int>(row) + 1, height);
      }
    } catch (const PassStopped&) {
      stopped = true;  // the row was given up part-way
    } catch (...) {
      errors[static_cast<size_t>(i)] = std::current_exception();
    }
  });
  for (auto& e : errors) {
    if (e) std::rethrow_exception(e);
  }
  // Every row was computed, even if a stop came in after the last.
  return !stopped;
}

}  // namespace qv
