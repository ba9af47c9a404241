#include "base/QVArena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Blocks held at once never overlap, each holds what was written into all of
// it, and a released block is handed out again for the next request of its
// size instead of fresh memory.
TEST(QVArena, BlocksAreDisjointWholeAndReused) {
  const size_t sizes[] = {
      1, 1000, qv::kArenaMinBytes - 1, qv::kArenaMinBytes, (size_t{3} << 20) + 5, size_t{9} << 20};
  std::vector<qv::ArenaPtr> blocks;
  for (size_t i = 0; i < std::size(sizes); ++i) {
    blocks.push_back(qv::ArenaAllocate(sizes[i]));
    ASSERT_NE(blocks.back(), nullptr) << sizes[i];
    EXPECT_EQ(reinterpret_cast<uintptr_t>(blocks.back().get()) % 64, 0u) << sizes[i];
    std::memset(blocks.back().get(), static_cast<int>(i + 1), sizes[i]);
  }
  for (size_t i = 0; i < std::size(sizes); ++i) {
    const std::byte* b = blocks[i].get();
    for (size_t at : {size_t{0}, sizes[i] / 2, sizes[i] - 1})
      EXPECT_EQ(b[at], static_cast<std::byte>(i + 1)) << sizes[i] << " at " << at;
  }
  const std::byte* large = blocks.back().get();
  const size_t keptBefore = qv::ArenaKeptBytes();
  blocks.back().reset();
  EXPECT_GE(qv::ArenaKeptBytes(), keptBefore + sizes[5]);
  // A little smaller still fits the kept block; the arena hands it back.
  const qv::ArenaPtr again = qv::ArenaAllocate(sizes[5] - 4096);
  EXPECT_EQ(again.get(), large);
  EXPECT_EQ(qv::ArenaKeptBytes(), keptBefore);
}

// Released blocks beyond the limit go back to the system; a request the arena
// cannot serve is refused with null, not an exception.
TEST(QVArena, KeepsNoMoreThanItsLimitAndRefusesTheImpossible) {
  std::vector<qv::ArenaPtr> blocks;
  const size_t block = size_t{64} << 20;  // mapped, never touched: no memory used
  for (size_t kept = 0; kept <= qv::kArenaKeptBytes + block; kept += block) {
    blocks.push_back(qv::ArenaAllocate(block));
    ASSERT_NE(blocks.back(), nullptr);
  }
  blocks.clear();
  EXPECT_LE(qv::ArenaKeptBytes(), qv::kArenaKeptBytes);
  EXPECT_GE(qv::ArenaKeptBytes(), qv::kArenaKeptBytes - block);
  EXPECT_EQ(qv::ArenaAllocate(SIZE_MAX - 100), nullptr);
  EXPECT_EQ(qv::ArenaAllocate(size_t{1} << 62), nullptr);
}

}  // namespace
