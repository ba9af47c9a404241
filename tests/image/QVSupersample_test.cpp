#include "image/QVSupersample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace qv {
namespace {

// The nearest whole number to the mean of the block, halves up, in doubles.
uint32_t DirectAverage(const std::vector<uint32_t>& fine, size_t stride, int32_t n, int32_t x,
                       int32_t y, int shift) {
  double sum = 0;
  for (int32_t j = 0; j < n; ++j) {
    for (int32_t i = 0; i < n; ++i) {
      sum +=
          fine[static_cast<size_t>(y * n + j) * stride + static_cast<size_t>(x * n + i)] >> shift &
          0xFF;
    }
  }
  return static_cast<uint32_t>(std::floor(sum / (n * n) + 0.5));
}

TEST(Supersample, BlockAveragesEqualTheDirectRoundedMean) {
  std::mt19937 random(3);
  for (int32_t n = 1; n <= kMaxSupersample; ++n) {
    const int32_t w = 5, rows = 3;
    const size_t stride = static_cast<size_t>(w * n + 2);  // wider than the blocks
    std::vector<uint32_t> fine(stride * static_cast<size_t>(rows * n));
    for (uint32_t& p : fine) p = 0xFF000000u | (random() & 0xFFFFFFu);
    std::vector<uint32_t> out(static_cast<size_t>(w * rows));
    AverageBlocks(fine.data(), stride, n, w, rows, out.data());
    for (int32_t y = 0; y < rows; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t p = out[static_cast<size_t>(y * w + x)];
        EXPECT_EQ(p >> 24, 0xFFu);
        for (int shift : {0, 8, 16}) {
          EXPECT_EQ(p >> shift & 0xFF, DirectAverage(fine, stride, n, x, y, shift))
              << "n " << n << " at " << x << ", " << y << " shift " << shift;
        }
      }
    }
  }
}

TEST(Supersample, WorkedExamplesRoundHalvesUp) {
  // 2 x 2 blocks: red 0,0,0,1 -> 0.25 -> 0; 0,0,1,1 -> 0.5 -> 1; 255 everywhere stays.
  const std::vector<uint32_t> fine = {0x000000, 0x000000, 0x010000, 0x010000, 0xFFFFFF, 0xFFFFFF,
                                      0x000000, 0x010000, 0x010000, 0x000000, 0xFFFFFF, 0xFFFFFF};
  std::vector<uint32_t> out(3);
  AverageBlocks(fine.data(), 6, 2, 3, 1, out.data());
  EXPECT_EQ(out[0], 0xFF000000u);
  EXPECT_EQ(out[1], 0xFF010000u);
  EXPECT_EQ(out[2], 0xFFFFFFFFu);
}

}  // namespace
}  // namespace qv
