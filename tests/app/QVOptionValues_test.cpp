#include "app/QVOptionValues.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(OptionValues, MemorySizesReadWithBinaryUnits) {
  EXPECT_EQ(ParseMemorySize("1000"), 1000);
  EXPECT_EQ(ParseMemorySize("512M"), int64_t{512} << 20);
  EXPECT_EQ(ParseMemorySize("4G"), int64_t{4} << 30);
  EXPECT_EQ(ParseMemorySize("4GiB"), int64_t{4} << 30);
  EXPECT_EQ(ParseMemorySize("2KB"), 2048);
  EXPECT_EQ(ParseMemorySize("1T"), int64_t{1} << 40);
  for (const char* bad : {"", "0", "-1M", "1.5G", "4X", "M", "9999999999999T", " 4G"}) {
    EXPECT_EQ(ParseMemorySize(bad), std::nullopt) << bad;
  }
}

TEST(OptionValues, PointsAndNumbersAreFiniteAndWhole) {
  EXPECT_EQ(ParsePoint("-0.5,0.25")->re, -0.5);
  EXPECT_EQ(ParsePoint("-0.5,0.25")->im, 0.25);
  for (const char* bad : {"", "1", "1,", ",1", "1,2,3", "nan,0", "inf,0", "1e999,0", "+1,0"}) {
    EXPECT_EQ(ParsePoint(bad), std::nullopt) << bad;
  }
}

TEST(OptionValues, FramePatternsTakeOneNumberDirective) {
  EXPECT_EQ(FrameFileName("out/frame%05d.png", 42), "out/frame00042.png");
  EXPECT_EQ(FrameFileName("f%d.png", 7), "f7.png");
  EXPECT_EQ(FrameFileName("f%3d.png", 7), "f  7.png");
  EXPECT_EQ(FrameFileName("100%%-%d.png", 123456), "100%-123456.png");
  for (const char* bad : {"f.png", "f%d%d.png", "f%s.png", "f%.png", "%", "f%x.png"}) {
    EXPECT_EQ(FrameFileName(bad, 1), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace qv
