#include "engine/QVRowWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <stdexcept>
#include <string>

#include "tests/engine/EngineTestSupport.h"

namespace {

using qv::test::ScopedThreadCount;

// At the largest height the last rows of the workers lie within their step of
// INT_MAX: stepping past them must end the worker, never hand out a row
// outside the picture.
TEST(QVRowWorkers, TallestPictureHandsOutOnlyItsOwnRows) {
  ScopedThreadCount two(2);
  std::atomic<int> last{-1};
  const bool done = qv::ComputeRows("Rows", INT_MAX, [&](int) -> qv::RowFunction {
    return [&](int row) {
      if (row < 0) throw std::out_of_range("row " + std::to_string(row) + " handed out");
      if (row == INT_MAX - 1) last = row;
    };
  });
  EXPECT_TRUE(done);
  EXPECT_EQ(last.load(), INT_MAX - 1);
}

}  // namespace
