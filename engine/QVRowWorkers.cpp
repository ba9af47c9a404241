#include "engine/QVRowWorkers.h"

#include <cstdint>
#include <exception>
#include <thread>
#include <vector>


namespace qv {

int NextRow(int row, int step, int height) {
  // 64 bits: the step past a worker's last row may pass INT_MAX.
  const int64_t next = static_cast<int64_t>(row) + step;
  return next < height ? static_cast<int>(next) : -1;
}

bool ComputeRows(const Pass& pass, const std::string& name, int height,
                 const std::function<RowFunction(int worker)>& makeWorker) {
  const int workers = pass.WorkerCount();
  const std::stop_token& stop = pass.Stop;
  const QVProgressFunction& progress = pass.Progress;
  std::vector<std::exception_ptr> errors(static_cast<size_t>(workers));
  std::vector<char> stopped(static_cast<size_t>(workers), 0);
  {
    std::vector<std::jthread> threads;
    threads.reserve(static_cast<size_t>(workers));
    for (int i = 0; i < workers; ++i) {
      threads.emplace_back([&, i] {
        try {
          if (i >= height) return;
          RowFunction rowFunction = makeWorker(i);
          for (int row = i; row >= 0; row = NextRow(row, workers, height)) {
            if (stop.stop_requested()) {
              stopped[static_cast<size_t>(i)] = 1;
              return;
            }
            rowFunction(row);
            if (progress) progress(name, row + 1, height);
          }
        } catch (const PassStopped&) {
          stopped[static_cast<size_t>(i)] = 1;  // the row was given up part-way
        } catch (...) {
          errors[static_cast<size_t>(i)] = std::current_exception();
        }
      });
    }
    for (auto& t : threads) t.join();  // creation order
  }
  for (auto& e : errors) {
    if (e) std::rethrow_exception(e);
  }
  for (char s : stopped) {
    if (s) return false;
  }
  return true;  // every row was computed, even if a stop came in after the last
}

}  // namespace qv
