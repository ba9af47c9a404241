#include "engine/QVRowWorkers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/QVWorkerPool.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using qv::test::WorkersPass;

// What one ComputeRows call did: how often each row was computed, which
// rows each worker took (in order) and how many workers built their state.
struct RowRecord {
  std::vector<int> Count;
  std::map<int, std::vector<int>> ByWorker;
  int Built = 0;
  bool Done = false;
};

RowRecord RecordRows(int workers, int height, const qv::Pass& base = {}) {
  RowRecord record;
  record.Count.assign(static_cast<size_t>(height), 0);
  std::mutex lock;
  qv::Pass pass = base;
  pass.Workers = workers;
  record.Done = qv::ComputeRows(pass, "Rows", height, [&](int worker) -> qv::RowFunction {
    {
      const std::lock_guard<std::mutex> guard(lock);
      ++record.Built;
    }
    return [&, worker](int row) {
      const std::lock_guard<std::mutex> guard(lock);
      ++record.Count[static_cast<size_t>(row)];
      record.ByWorker[worker].push_back(row);
    };
  });
  return record;
}

TEST(QVRowWorkers, EveryRowOnceTopDownPerWorker) {
  const struct {
    int Workers, Height;
  } cases[] = {{1, 5}, {2, 1}, {2, 97}, {3, 4}, {4, 3}, {7, 200}, {0, 6}, {-2, 6}};
  for (const auto& c : cases) {
    const RowRecord r = RecordRows(c.Workers, c.Height);
    EXPECT_TRUE(r.Done);
    EXPECT_EQ(r.Count, std::vector<int>(static_cast<size_t>(c.Height), 1))
        << c.Workers << " workers, " << c.Height << " rows";
    // A worker builds its state once, and only when it gets a row.
    EXPECT_EQ(r.Built, static_cast<int>(r.ByWorker.size()));
    EXPECT_LE(r.Built, std::max(1, std::min(c.Workers, c.Height)));
    for (const auto& [worker, rows] : r.ByWorker) {
      EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end())) << "worker " << worker;
    }
  }
}

// Two passes side by side (two projects, or a preview beside a render) share
// the pool; a pass started from inside a worker must finish too, even though
// the pool's threads are taken by the pass that waits for it.
TEST(QVRowWorkers, PassesSideBySideAndNestedFinish) {
  std::vector<RowRecord> sideBySide(4);
  {
    std::vector<std::jthread> threads;
    for (size_t i = 0; i < sideBySide.size(); ++i)
      threads.emplace_back([&, i] { sideBySide[i] = RecordRows(3, 300); });
  }
  for (const RowRecord& r : sideBySide) EXPECT_EQ(r.Count, std::vector<int>(300, 1));

  std::atomic<int> inner{0};
  const bool done = qv::ComputeRows(WorkersPass(2), "Outer", 4, [&](int) -> qv::RowFunction {
    return [&](int) {
      if (RecordRows(2, 10).Count == std::vector<int>(10, 1)) ++inner;
    };
  });
  EXPECT_TRUE(done);
  EXPECT_EQ(inner.load(), 4);
  EXPECT_GE(qv::PoolThreadCount(), 2);  // the most helpers any pass above asked for
}

TEST(QVRowWorkers, StopEndsThePassAndErrorsReachTheCaller) {
  std::stop_source source;
  qv::Pass pass = WorkersPass(2);
  pass.Stop = source.get_token();
  std::atomic<int> computed{0};
  const bool done = qv::ComputeRows(pass, "Rows", 1000, [&](int) -> qv::RowFunction {
    return [&](int) {
      if (++computed == 10) source.request_stop();
    };
  });
  EXPECT_FALSE(done);
  EXPECT_LT(computed.load(), 1000);

  EXPECT_THROW(qv::ComputeRows(WorkersPass(3), "Rows", 50,
                               [&](int) -> qv::RowFunction {
                                 return [](int row) {
                                   if (row == 17) throw std::runtime_error("row 17");
                                 };
                               }),
               std::runtime_error);
  // A row given up part-way counts as a stop, not as an error.
  EXPECT_FALSE(qv::ComputeRows(WorkersPass(2), "Rows", 8, [&](int) -> qv::RowFunction {
    return [](int row) {
      if (row == 3) throw qv::PassStopped{};
    };
  }));
}

}  // namespace
