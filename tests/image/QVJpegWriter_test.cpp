#include "image/QVJpegWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h uses FILE and size_t without declaring them: it comes after them.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "ImageTestSupport.h"

namespace {

using qv::test::DecodedPicture;
using qv::test::ScratchDir;

struct JpegReadError {
  jpeg_error_mgr Base;  // first member: libjpeg hands back &Base
  std::jmp_buf Jump;
};

void JumpOnReadError(j_common_ptr cinfo) {
  char message[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, message);
  ADD_FAILURE() << "libjpeg: " << message;
  std::longjmp(reinterpret_cast<JpegReadError*>(cinfo->err)->Jump, 1);
}

// Decodes to RGB; false after a libjpeg error. No C++ objects in this frame.
bool Decode(jpeg_decompress_struct& cinfo, JpegReadError& err, FILE* in, DecodedPicture& out,
            int& components, std::vector<JSAMPLE>& row) {
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, in);
  jpeg_read_header(&cinfo, TRUE);
  components = cinfo.num_components;
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  out.Width = static_cast<int32_t>(cinfo.output_width);
  out.Height = static_cast<int32_t>(cinfo.output_height);
  out.Pixels.assign(static_cast<size_t>(out.Width) * static_cast<size_t>(out.Height), 0);
  row.resize(static_cast<size_t>(out.Width) * 3);
  JSAMPROW rows[1] = {row.data()};
  while (cinfo.output_scanline < cinfo.output_height) {
    const size_t y = cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, rows, 1);
    for (size_t x = 0; x < static_cast<size_t>(out.Width); ++x) {
      out.Pixels[y * static_cast<size_t>(out.Width) + x] =
          PackRGB(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

DecodedPicture ReadJpeg(const std::string& path, int* components = nullptr) {
  DecodedPicture out;
  FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    ADD_FAILURE() << "cannot open " << path;
    return out;
  }
  jpeg_decompress_struct cinfo{};
  JpegReadError err{};
  cinfo.err = jpeg_std_error(&err.Base);
  err.Base.error_exit = JumpOnReadError;
  std::vector<JSAMPLE> row;
  int count = 0;
  Decode(cinfo, err, in, out, count, row);
  std::fclose(in);
  if (components) *components = count;
  return out;
}

// Largest channel difference between two packed colours.
int ChannelDistance(int32_t a, int32_t b) {
  int32_t ar, ag, ab, br, bg, bb;
  UnpackRGB(a, ar, ag, ab);
  UnpackRGB(b, br, bg, bb);
  return std::max({std::abs(ar - br), std::abs(ag - bg), std::abs(ab - bb)});
}

void Fill(QVRGBField& field, int32_t x0, int32_t y0, int32_t w, int32_t h, int32_t colour) {
  for (int32_t y = y0; y < y0 + h; ++y) {
    for (int32_t x = x0; x < x0 + w; ++x) field.Put(x, y, colour);
  }
}

TEST(QVJpegWriter, FlatColourDecodesCloseToTheSource) {
  ScratchDir dir;
  const int32_t colours[] = {PackRGB(200, 100, 50), PackRGB(0, 0, 0), PackRGB(255, 255, 255),
                             PackRGB(20, 240, 130)};
  const int32_t sizes[][2] = {{1, 1}, {5, 7}, {17, 3}, {40, 24}};
  for (const int32_t colour : colours) {
    for (const auto& size : sizes) {
      const std::string label = std::to_string(size[0]) + " x " + std::to_string(size[1]) +
                                " colour " + std::to_string(colour);
      QVRGBField field;
      field.Resize(size[0], size[1]);
      Fill(field, 0, 0, size[0], size[1], colour);
      const std::string path = dir.File("flat.jpg");
      qv::WriteJpeg(path, *qv::PictureOf(field));
      int components = 0;
      const DecodedPicture decoded = ReadJpeg(path, &components);
      EXPECT_EQ(components, 3) << label;
      ASSERT_EQ(decoded.Width, size[0]) << label;
      ASSERT_EQ(decoded.Height, size[1]) << label;
      int worst = 0;
      for (const int32_t p : decoded.Pixels) worst = std::max(worst, ChannelDistance(p, colour));
      EXPECT_LE(worst, 3) << label;
    }
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"flat.jpg"});
}

TEST(QVJpegWriter, QuadrantsKeepTheirPlaceAndChannelOrder) {
  ScratchDir dir;
  QVRGBField field;
  field.Resize(64, 48);
  const int32_t red = PackRGB(220, 30, 30), blue = PackRGB(30, 30, 220);
  const int32_t green = PackRGB(30, 200, 30), yellow = PackRGB(230, 220, 40);
  Fill(field, 0, 0, 32, 24, red);
  Fill(field, 32, 0, 32, 24, blue);
  Fill(field, 0, 24, 32, 24, green);
  Fill(field, 32, 24, 32, 24, yellow);
  const std::string path = dir.File("quadrants.jpeg");
  qv::WriteJpeg(path, *qv::PictureOf(field), 90);
  const DecodedPicture decoded = ReadJpeg(path);
  ASSERT_EQ(decoded.Width, 64);
  ASSERT_EQ(decoded.Height, 48);
  EXPECT_LE(ChannelDistance(decoded.At(12, 10), red), 8);
  EXPECT_LE(ChannelDistance(decoded.At(50, 10), blue), 8);
  EXPECT_LE(ChannelDistance(decoded.At(12, 38), green), 8);
  EXPECT_LE(ChannelDistance(decoded.At(50, 38), yellow), 8);
}

TEST(QVJpegWriter, QualityChangesTheFile) {
  ScratchDir dir;
  QVRGBField field;
  qv::test::FillRandom(field, 64, 64, 5);
  std::vector<size_t> sizes;
  for (const int quality : {10, 75, 100}) {
    const std::string path = dir.File(std::to_string(quality) + ".jpg");
    qv::WriteJpeg(path, *qv::PictureOf(field), quality);
    sizes.push_back(qv::test::ReadBytes(path).size());
    EXPECT_EQ(ReadJpeg(path).Width, 64) << "quality " << quality;
  }
  EXPECT_LT(sizes[0], sizes[1]);
  EXPECT_LT(sizes[1], sizes[2]);
  // The default is the library's own default quality.
  qv::WriteJpeg(dir.File("default.jpg"), *qv::PictureOf(field));
  EXPECT_EQ(qv::test::ReadBytes(dir.File("default.jpg")), qv::test::ReadBytes(dir.File("75.jpg")));
}

TEST(QVJpegWriter, RefusesSidesOverTheLimitAndBadQualityWritingNothing) {
  ScratchDir dir;
  const std::string path = dir.File("refused.jpg");
  QVRGBField wide;
  wide.Resize(qv::kJpegMaxDimension + 1, 1);
  QVRGBField tall;
  tall.Resize(1, qv::kJpegMaxDimension + 1);
  for (const QVRGBField* field : {&wide, &tall}) {
    const std::string message =
        qv::test::ErrorOf([&] { qv::WriteJpeg(path, *qv::PictureOf(*field)); });
    EXPECT_NE(message.find("cannot write \"" + path + "\""), std::string::npos) << message;
    EXPECT_NE(message.find("65500"), std::string::npos) << message;
  }
  const QVPicture pixel(1, 1);
  for (const int quality : {0, 101, -5}) {
    const std::string message = qv::test::ErrorOf([&] { qv::WriteJpeg(path, pixel, quality); });
    EXPECT_NE(message.find("quality " + std::to_string(quality)), std::string::npos) << message;
  }
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(QVJpegWriter, LargestAllowedSideIsWritten) {
  ScratchDir dir;
  QVRGBField field;
  field.Resize(qv::kJpegMaxDimension, 1);
  Fill(field, 0, 0, field.Width, 1, PackRGB(90, 60, 30));
  const std::string path = dir.File("widest.jpg");
  qv::WriteJpeg(path, *qv::PictureOf(field));
  const DecodedPicture decoded = ReadJpeg(path);
  EXPECT_EQ(decoded.Width, qv::kJpegMaxDimension);
  EXPECT_EQ(decoded.Height, 1);
}

}  // namespace
