#include "app/QVOptionValues.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace qv {
namespace {

TEST(OptionValues, MemorySizesReadWithBinaryUnits) {
  EXPECT_EQ(ParseMemorySize("1000"), 1000);
  EXPECT_EQ(ParseMemorySize("512M"), int64_t{512} << 20);
  EXPECT_EQ(ParseMemorySize("4G"), int64_t{4} << 30);
  EXPECT_EQ(ParseMemorySize("4GiB"), int64_t{4} << 30);
  EXPECT_EQ(ParseMemorySize("2KB"), 2048);
  EXPECT_EQ(ParseMemorySize("1T"), int64_t{1} << 40);
  // Either letter case, as a shell user types them.
  EXPECT_EQ(ParseMemorySize("64k"), 64 << 10);
  EXPECT_EQ(ParseMemorySize("1m"), 1 << 20);
  EXPECT_EQ(ParseMemorySize("3g"), int64_t{3} << 30);
  EXPECT_EQ(ParseMemorySize("2mib"), std::nullopt);
  for (const char* bad : {"", "0", "-1M", "1.5G", "4X", "M", "9999999999999T", " 4G", "1b", "1x"}) {
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
  // Widths past one digit pad as printf pads, up to kMaxFrameWidth.
  for (const char* pattern : {"f%10d.png", "f%012d.png", "f%032d.png", "f%2d.png"}) {
    char expected[64];
    std::snprintf(expected, sizeof expected, pattern, 42);
    EXPECT_EQ(FrameFileName(pattern, 42), expected) << pattern;
  }
  for (const char* bad : {"f.png", "f%d%d.png", "f%s.png", "f%.png", "%", "f%x.png", "f%33d.png",
                          "f%-5d.png", "f%99999999999d.png", "f%5.png"}) {
    EXPECT_EQ(FrameFileName(bad, 1), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace qv
