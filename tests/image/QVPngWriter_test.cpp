#include "image/QVPngWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageTestSupport.h"

namespace {

using qv::test::DecodedPicture;
using qv::test::ScratchDir;

// Decodes a PNG file; format receives "8 RGB" for 8-bit RGB, not interlaced.
DecodedPicture ReadPng(const std::string& path, std::string& format) {
  std::string problem;
  DecodedPicture decoded = qv::test::ReadPngFile(path, problem, &format);
  EXPECT_EQ(problem, "") << path;
  return decoded;
}

TEST(QVPngWriter, RandomPicturesOfOddSizesReadBackExactly) {
  ScratchDir dir;
  qv::test::ExpectExactRoundTrips(
      dir, "random.png",
      [](const std::string& path, const QVRGBField& field) {
        qv::WritePng(path, *qv::PictureOf(field));
      },
      [](const std::string& path, const std::string& label) {
        std::string format;
        const DecodedPicture decoded = ReadPng(path, format);
        EXPECT_EQ(format, "8 RGB") << label;
        return decoded;
      });
}

TEST(QVPngWriter, WidthOverAMillionIsWritten) {
  ScratchDir dir;
  QVRGBField field;
  qv::test::FillRandom(field, 1000001, 1, 7);
  const std::string path = dir.File("wide.png");
  qv::WritePng(path, *qv::PictureOf(field));
  std::string format;
  const DecodedPicture decoded = ReadPng(path, format);
  EXPECT_EQ(format, "8 RGB");
  EXPECT_EQ(qv::test::FirstDifference(decoded, field), "");
}

}  // namespace
