#include "support/QVTestPictures.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>

// jpeglib.h uses FILE and size_t without declaring them: it comes after them.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "engine/QVField.h"

namespace qv::test {

namespace {

uint32_t LittleEndian(const std::string& bytes, size_t at, int count) {
  uint32_t v = 0;
  for (int i = count - 1; i >= 0; --i) {
    v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
  }
  return v;
}

// The headers of a 24-bit bottom-up bitmap; the first violation goes to fail.
template <typename Fail>
void CheckBitmapHeaders(const std::string& bytes, Fail fail) {
  const auto le = [&](size_t at, int count) { return LittleEndian(bytes, at, count); };
  if (bytes[0] != 'B' || bytes[1] != 'M') fail("no BM signature");
  if (le(2, 4) != bytes.size()) fail("bfSize is not the file size");
  if (le(6, 4) != 0) fail("reserved fields not 0");
  if (le(10, 4) != 54) fail("pixels not right after the headers");
  if (le(14, 4) != 40) fail("not a BITMAPINFOHEADER");
  const auto w = static_cast<int32_t>(le(18, 4));
  const auto h = static_cast<int32_t>(le(22, 4));
  if (w < 1 || h < 1) fail("width or height not positive (top-down or empty)");
  if (le(26, 2) != 1) fail("planes not 1");
  if (le(28, 2) != 24) fail("not 24 bits per pixel");
  if (le(30, 4) != 0) fail("compressed");
  if (le(46, 4) != 0) fail("palette size given");
}

struct JpegReadError {
  jpeg_error_mgr Base;  // first member: libjpeg hands back &Base
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void JumpOnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegReadError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

// Decodes to RGB; false after a libjpeg error. No C++ objects in this frame.
bool DecodeJpeg(jpeg_decompress_struct& cinfo, JpegReadError& err, FILE* in, DecodedPicture& out,
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

struct PngReadState {
  std::jmp_buf Jump;
  std::string* Problem;
};

void JumpOnPngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
  *state->Problem = std::string("libpng: ") + message;
  std::longjmp(state->Jump, 1);
}

// Reads the rows; false after a libpng error. No C++ objects in this frame.
bool ReadPngRows(png_structp png, png_infop info, PngReadState& state, FILE* in,
                 DecodedPicture& out, std::string& format, std::vector<png_byte>& row) {
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
  if (format != "8 RGB") return true;
  out.Pixels.assign(static_cast<size_t>(w) * h, 0);
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

}  // namespace

DecodedPicture ReadBitmap(const std::string& bytes, std::string& problem) {
  DecodedPicture out;
  auto fail = [&](const std::string& what) {
    if (problem.empty()) problem = what;
  };
  if (bytes.size() < 54) {
    fail("shorter than the headers");
    return out;
  }
  CheckBitmapHeaders(bytes, fail);
  if (!problem.empty()) return out;
  const auto w = static_cast<int32_t>(LittleEndian(bytes, 18, 4));
  const auto h = static_cast<int32_t>(LittleEndian(bytes, 22, 4));
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  if (LittleEndian(bytes, 34, 4) != stride * static_cast<size_t>(h)) fail("biSizeImage wrong");
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
      out.Pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
          PackRGB(static_cast<unsigned char>(bytes[at + 2]),
                  static_cast<unsigned char>(bytes[at + 1]), static_cast<unsigned char>(bytes[at]));
    }
    for (size_t pad = start + 3 * static_cast<size_t>(w); pad < start + stride; ++pad) {
      if (bytes[pad] != 0) fail("padding byte not 0 in stored row " + std::to_string(fileRow));
    }
  }
  return out;
}

DecodedPicture ReadBmpFile(const std::string& path, std::string& problem) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    problem = "cannot open " + path;
    return {};
  }
  return ReadBitmap(std::string(std::istreambuf_iterator<char>(in), {}), problem);
}

DecodedPicture ReadPngFile(const std::string& path, std::string& problem, std::string* format) {
  DecodedPicture out;
  FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    problem = "cannot open " + path;
    return out;
  }
  PngReadState state{{}, &problem};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, JumpOnPngError, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> row;
  std::string found;
  if (ReadPngRows(png, info, state, in, out, found, row) && found != "8 RGB") {
    problem = "not 8-bit RGB: " + found;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(in);
  if (format) *format = found;
  return out;
}

DecodedPicture ReadJpegFile(const std::string& path, std::string& problem, int* components) {
  DecodedPicture out;
  FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    problem = "cannot open " + path;
    return out;
  }
  jpeg_decompress_struct cinfo{};
  JpegReadError err{};
  cinfo.err = jpeg_std_error(&err.Base);
  err.Base.error_exit = JumpOnJpegError;
  std::vector<JSAMPLE> row;
  int count = 0;
  if (!DecodeJpeg(cinfo, err, in, out, count, row))
    problem = std::string("libjpeg: ") + err.Message;
  std::fclose(in);
  if (components) *components = count;
  return out;
}

}  // namespace qv::test
