#include "engine/QVRowWorkers.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// The rows a worker starting at start computes with the given step.
std::vector<int> RowsOf(int start, int step, int height) {
  std::vector<int> rows;
  for (int row = start < height ? start : -1; row >= 0; row = qv::NextRow(row, step, height)) {
    rows.push_back(row);
  }
  return rows;
}

TEST(QVRowWorkers, RowsInterleaveBelowTheHeight) {
  // Four workers over three rows: one row each for workers 0 to 2, none for 3.
  EXPECT_EQ(RowsOf(0, 4, 3), std::vector<int>{0});
  EXPECT_EQ(RowsOf(2, 4, 3), std::vector<int>{2});
  EXPECT_EQ(RowsOf(3, 4, 3), std::vector<int>{});
  EXPECT_EQ(RowsOf(1, 3, 11), (std::vector<int>{1, 4, 7, 10}));
  EXPECT_EQ(RowsOf(0, 1, 3), (std::vector<int>{0, 1, 2}));
}

// Near the largest height a step passes INT_MAX: it must end the worker,
// never hand out a row outside the picture.
TEST(QVRowWorkers, SteppingEndsAtTheLargestHeight) {
  EXPECT_EQ(qv::NextRow(INT_MAX - 3, 2, INT_MAX), INT_MAX - 1);
  EXPECT_EQ(qv::NextRow(INT_MAX - 1, 2, INT_MAX), -1);
  EXPECT_EQ(qv::NextRow(INT_MAX - 2, 1, INT_MAX), INT_MAX - 1);
  EXPECT_EQ(qv::NextRow(INT_MAX - 1, 1, INT_MAX), -1);
  EXPECT_EQ(qv::NextRow(INT_MAX - 1, INT_MAX, INT_MAX), -1);
  EXPECT_EQ(qv::NextRow(0, INT_MAX, INT_MAX), -1);
  EXPECT_EQ(qv::NextRow(0, 256, 257), 256);
}

}  // namespace
