#include "image/QVBitmapWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "ImageTestSupport.h"

namespace {

using qv::test::DecodedPicture;
using qv::test::ReadBytes;
using qv::test::ScratchDir;

uint32_t Le(const std::string& bytes, size_t at, int count) {
  uint32_t v = 0;
  for (int i = count - 1; i >= 0; --i) {
    v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
  }
  return v;
}

// A reader written from the file format, not from the writer: it checks
// every header field a 24-bit uncompressed bitmap must have and records the
// first violation in `problem`.
DecodedPicture ReadBitmap(const std::string& bytes, std::string& problem) {
  DecodedPicture out;
  auto fail = [&](const std::string& what) {
    if (problem.empty()) problem = what;
  };
  if (bytes.size() < 54) {
    fail("shorter than the headers");
    return out;
  }
  if (bytes[0] != 'B' || bytes[1] != 'M') fail("no BM signature");
  if (Le(bytes, 2, 4) != bytes.size()) fail("bfSize is not the file size");
  if (Le(bytes, 6, 4) != 0) fail("reserved fields not 0");
  if (Le(bytes, 10, 4) != 54) fail("pixels not right after the headers");
  if (Le(bytes, 14, 4) != 40) fail("not a BITMAPINFOHEADER");
  const int32_t w = static_cast<int32_t>(Le(bytes, 18, 4));
  const int32_t h = static_cast<int32_t>(Le(bytes, 22, 4));
  if (w < 1 || h < 1) fail("width or height not positive (top-down or empty)");
  if (Le(bytes, 26, 2) != 1) fail("planes not 1");
  if (Le(bytes, 28, 2) != 24) fail("not 24 bits per pixel");
  if (Le(bytes, 30, 4) != 0) fail("compressed");
  if (Le(bytes, 46, 4) != 0) fail("palette size given");
  if (!problem.empty()) return out;
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  if (Le(bytes, 34, 4) != stride * static_cast<size_t>(h)) fail("biSizeImage wrong");
  if (bytes.size() != 54 + stride * static_cast<size_t>(h)) {
    fail("file size is not headers + padded rows");
    return out;
  }
  out.Width = w;
  out.Height = h;
  out.Pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int32_t fileRow = 0; fileRow < h; ++fileRow) {
    const size_t start = 54 + stride * static_cast<size_t>(fileRow);
    const int32_t y = h - 1 - fileRow;  // the first stored row is the bottom one
    for (int32_t x = 0; x < w; ++x) {
      const size_t at = start + 3 * static_cast<size_t>(x);
      const int32_t blue = static_cast<unsigned char>(bytes[at]);
      const int32_t green = static_cast<unsigned char>(bytes[at + 1]);
      const int32_t red = static_cast<unsigned char>(bytes[at + 2]);
      out.Pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
          PackRGB(red, green, blue);
    }
    for (size_t pad = start + 3 * static_cast<size_t>(w); pad < start + stride; ++pad) {
      if (bytes[pad] != 0) fail("padding byte not 0 in stored row " + std::to_string(fileRow));
    }
  }
  return out;
}

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
