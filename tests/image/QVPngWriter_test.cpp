#include "image/QVPngWriter.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include "ImageTestSupport.h"

namespace {

using qv::test::DecodedPicture;
using qv::test::ScratchDir;

struct PngReadState {
  std::jmp_buf Jump;
};

void JumpOnReadError(png_structp png, png_const_charp message) {
  ADD_FAILURE() << "libpng: " << message;
  std::longjmp(static_cast<PngReadState*>(png_get_error_ptr(png))->Jump, 1);
}

// Reads the rows; false after a libpng error. No C++ objects in this frame.
bool ReadRows(png_structp png, png_infop info, PngReadState& state, FILE* in, DecodedPicture& out,
              std::string& format, std::vector<png_byte>& row) {
  if (setjmp(state.Jump)) return false;
  // Sides over a million are valid PNG; libpng refuses them unless told.
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
  png_init_io(png, in);
  png_read_info(png, info);
  png_uint_32 w = 0, h = 0;
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(png, info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
  format = std::to_string(depth) + (colour == PNG_COLOR_TYPE_RGB ? " RGB" : " other") +
           (interlace == PNG_INTERLACE_NONE ? "" : " interlaced");
  out.Width = static_cast<int32_t>(w);
  out.Height = static_cast<int32_t>(h);
  out.Pixels.assign(static_cast<size_t>(w) * h, 0);
  if (format != "8 RGB") return true;
  row.resize(png_get_rowbytes(png, info));
  for (png_uint_32 y = 0; y < h; ++y) {
    png_read_row(png, row.data(), nullptr);
    for (png_uint_32 x = 0; x < w; ++x) {
      out.Pixels[static_cast<size_t>(y) * w + x] =
          PackRGB(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    }
  }
  png_read_end(png, nullptr);
  return true;
}

// Decodes a PNG file; format receives "8 RGB" for 8-bit RGB, not interlaced.
DecodedPicture ReadPng(const std::string& path, std::string& format) {
  DecodedPicture out;
  FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    ADD_FAILURE() << "cannot open " << path;
    return out;
  }
  PngReadState state;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, JumpOnReadError, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row;
  ReadRows(png, info, state, in, out, format, row);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(in);
  return out;
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
