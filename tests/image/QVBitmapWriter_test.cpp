#include "image/QVBitmapWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "ImageTestSupport.h"

namespace {

using qv::test::DecodedPicture;
using qv::test::ReadBitmap;
using qv::test::ReadBytes;
using qv::test::ScratchDir;

TEST(QVBitmapWriter, RandomPicturesOfOddSizesReadBackExactly) {
  ScratchDir dir;
  qv::test::ExpectExactRoundTrips(
      dir, "random.bmp",
      [](const std::string& path, const QVRGBField& field) {
        qv::WriteBitmap(path, field.Row(0), field.Width, field.Height);
      },
      [](const std::string& path, const std::string& label) {
        std::string problem;
        const DecodedPicture decoded = ReadBitmap(ReadBytes(path), problem);
        EXPECT_EQ(problem, "") << label;
        return decoded;
      });
}

TEST(QVBitmapWriter, TwoByTwoPictureHasTheseExactBytes) {
  ScratchDir dir;
  const int32_t pixels[] = {PackRGB(1, 2, 3), PackRGB(4, 5, 6),  // top row
                            PackRGB(7, 8, 9), PackRGB(10, 11, 12)};
  const std::string path = dir.File("two.bmp");
  qv::WriteBitmap(path, pixels, 2, 2);
  const unsigned char expected[] = {
      'B', 'M', 70, 0,  0,  0,  0, 0, 0, 0, 54, 0, 0, 0,                     // file header
      40,  0,   0,  0,  2,  0,  0, 0, 2, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0,  // info header
      16,  0,   0,  0,  0,  0,  0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,  //
      9,   8,   7,  12, 11, 10, 0, 0,  // bottom row first, blue green red, padded
      3,   2,   1,  6,  5,  4,  0, 0};
  EXPECT_EQ(ReadBytes(path), std::string(reinterpret_cast<const char*>(expected), sizeof expected));
}

TEST(QVBitmapWriter, FileSizeCountsPaddedRowsIn64Bits) {
  EXPECT_EQ(qv::BitmapFileSize(1, 1), 58u);
  EXPECT_EQ(qv::BitmapFileSize(3, 2), 78u);
  EXPECT_EQ(qv::BitmapFileSize(4, 1), 66u);
  EXPECT_EQ(qv::BitmapFileSize(40000, 40000), 4800000054u);
  const int32_t big = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(qv::BitmapFileSize(big, big), 54u + 6442450944u * uint64_t{2147483647});
}

TEST(QVBitmapWriter, RefusesPicturesTooLargeForTheHeaderWritingNothing) {
  ScratchDir dir;
  const std::string path = dir.File("huge.bmp");
  // The size check comes before any pixel is read, so one pixel stands in.
  const int32_t pixel = 0;
  const int32_t big = std::numeric_limits<int32_t>::max();
  const int32_t sizes[][2] = {{40000, 40000}, {1, big}, {big, 1}, {big, big}};
  for (const auto& size : sizes) {
    const std::string message =
        qv::test::ErrorOf([&] { qv::WriteBitmap(path, &pixel, size[0], size[1]); });
    EXPECT_NE(message.find("cannot write \"" + path + "\""), std::string::npos) << message;
    EXPECT_NE(message.find("4294967295"), std::string::npos) << message;
  }
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
