#include "render/QVMemoryAllowance.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(MemoryAllowance, MemoryInMessagesNeverReadsAsZeroOrAsEnough) {
  EXPECT_EQ(MemoryText(1, false), "1 byte");
  EXPECT_EQ(MemoryText(1000, true), "1000 bytes");
  EXPECT_EQ(MemoryText(1024, false), "1 KiB");
  EXPECT_EQ(MemoryText(1536, false), "1536 bytes");
  EXPECT_EQ(MemoryText(int64_t{48} << 20, true), "48 MiB");
  // A need one byte above an allowance reads as more than it.
  const int64_t allowed = (int64_t{100} << 20) + 1;
  EXPECT_EQ(MemoryText(allowed, false), "100 MiB");
  EXPECT_EQ(MemoryText(allowed + 1, true), "101 MiB");
}

}  // namespace
}  // namespace qv
