#include "engine/QVField.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(QVField, ResizeToTheSameSizeKeepsThePixels) {
  QVRGBField f;
  f.Resize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) f.Put(x, y, x + 10 * y);
  const std::byte* before = f.Data.get();
  f.Resize(3, 2);
  EXPECT_EQ(f.Data.get(), before);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(f.Pixel(x, y), x + 10 * y);
}

TEST(QVField, ZeroSizeLeavesNoStorageAndALaterResizeAllocates) {
  QVFractalField f;
  EXPECT_EQ(f.ElementSize, static_cast<int32_t>(sizeof(FractalPixel)));
  f.Resize(0, 5);
  EXPECT_EQ(f.Data, nullptr);
  EXPECT_EQ(f.Width, 0);
  EXPECT_EQ(f.Height, 5);
  f.Resize(4, 5);
  ASSERT_NE(f.Data, nullptr);
  f.Put(3, 4, FractalPixel{{1.5, -2.5}, 7});
  EXPECT_EQ(f.Pixel(3, 4).Count, 7);
  EXPECT_EQ(f.Pixel(3, 4).Z.im, -2.5);
  // Layout: pixel (x, y) starts at ElementSize * (x + y * Width).
  EXPECT_EQ(reinterpret_cast<std::byte*>(&f.Pixel(3, 4)),
            f.Data.get() + f.ElementSize * (3 + 4 * 4));
}

TEST(QVField, OverflowingOrHugeSizesThrowAndLeaveTheFieldEmpty) {
  QVFractalField f;
  f.Resize(8, 8);
  EXPECT_THROW(f.Resize(2147483647, 2147483647), FieldAllocationError);
  EXPECT_EQ(f.Width, 0);
  EXPECT_EQ(f.Height, 0);
  EXPECT_EQ(f.Data, nullptr);
  EXPECT_EQ(QVField::ByteCount(INT64_MAX / 2, 3, 1), -1);
  EXPECT_EQ(QVField::ByteCount(100000000, 100000000, 24), 240000000000000000LL);
  EXPECT_EQ(QVField::ByteCount(-3, 5, 4), 0);
}

TEST(QVField, NegativeSizesCountAsZero) {
  QVRGBField f;
  f.Resize(-3, 4);
  EXPECT_EQ(f.Width, 0);
  EXPECT_EQ(f.Data, nullptr);
}

TEST(RGBHelpers, PackAndUnpackRoundTripEveryChannelValue) {
  for (int v = 0; v < 256; ++v) {
    int32_t r, g, b;
    UnpackRGB(PackRGB(v, 255 - v, v / 2), r, g, b);
    ASSERT_EQ(r, v);
    ASSERT_EQ(g, 255 - v);
    ASSERT_EQ(b, v / 2);
  }
  EXPECT_EQ(PackRGB(1, 2, 3), 0x030201);
}

TEST(RGBHelpers, NormaliseKeepsHueAndClipsNegatives) {
  int32_t r = -5, g = 100, b = 300;
  NormaliseRGB(r, g, b);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(g, 85);
  EXPECT_EQ(b, 255);
  r = 10, g = 20, b = 255;
  NormaliseRGB(r, g, b);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(g, 20);
  EXPECT_EQ(b, 255);
  r = 300, g = 200, b = 150;
  NormaliseRGB(r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 170);
  EXPECT_EQ(b, 127);
}

}  // namespace
