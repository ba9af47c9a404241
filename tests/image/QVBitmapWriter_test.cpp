#include "image/QVBitmapWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        qv::WriteBitmap(path, *qv::PictureOf(field));
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
  QVPicture picture(2, 2);
  const uint32_t pixels[] = {0xFF010203, 0xFF040506,  // top row: red, green, blue
                             0xFF070809, 0xFF0A0B0C};
  std::copy(pixels, pixels + 4, picture.MutablePixels());
  const std::string path = dir.File("two.bmp");
  qv::WriteBitmap(path, picture);
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

// WriteBitmap makes this check before it creates any file; pictures this
// large cannot be allocated in a test, so the check is called directly.
TEST(QVBitmapWriter, RefusesPicturesTooLargeForTheHeaderWritingNothing) {
  ScratchDir dir;
  const std::string path = dir.File("huge.bmp");
  const int32_t big = std::numeric_limits<int32_t>::max();
  const int32_t sizes[][2] = {{40000, 40000}, {1, big}, {big, 1}, {big, big}};
  for (const auto& size : sizes) {
    const std::string message =
        qv::test::ErrorOf([&] { qv::RequireBitmapSize(path, size[0], size[1]); });
    EXPECT_NE(message.find("cannot write \"" + path + "\""), std::string::npos) << message;
    EXPECT_NE(message.find("4294967295"), std::string::npos) << message;
  }
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
