// Picture decoding and the in-process reference picture for the command-line
// tests (declared in AppTestSupport.h).
#include <png.h>
#include <setjmp.h>

#include <cstdio>
#include <cstdlib>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "app/AppTestSupport.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"

namespace qv::test {

namespace {

uint32_t LittleEndian(const std::string& bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
  }
  return value;
}

struct JpegErrorJump {
  jpeg_error_mgr Manager;
  jmp_buf Jump;
};

extern "C" void JumpOutOfJpeg(j_common_ptr info) {
  longjmp(reinterpret_cast<JpegErrorJump*>(info->err)->Jump, 1);
}

// Decodes into rgb (3 bytes a pixel); false after a libjpeg error. Only C
// objects live in this frame, so the long jump skips no destructor.
bool DecodeJpeg(FILE* in, std::vector<unsigned char>& rgb, int32_t& w, int32_t& h) {
  jpeg_decompress_struct info;
  JpegErrorJump error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JumpOutOfJpeg;
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, in);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  w = static_cast<int32_t>(info.output_width);
  h = static_cast<int32_t>(info.output_height);
  rgb.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row =
        rgb.data() + static_cast<size_t>(info.output_scanline) * static_cast<size_t>(w) * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

DecodedPicture FromRgb(const std::vector<unsigned char>& rgb, int32_t w, int32_t h) {
  DecodedPicture out;
  out.Width = w;
  out.Height = h;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    out.Pixels.push_back(PackRGB(rgb[i], rgb[i + 1], rgb[i + 2]));
  return out;
}

}  // namespace

DecodedPicture ReadBmpFile(const std::string& path, std::string& problem) {
  const std::string bytes = ReadBytes(path);
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) {
    problem = "not a BMP file";
    return {};
  }
  const uint32_t offset = LittleEndian(bytes, 10, 4);
  const auto w = static_cast<int32_t>(LittleEndian(bytes, 18, 4));
  const auto storedHeight = static_cast<int32_t>(LittleEndian(bytes, 22, 4));
  if (LittleEndian(bytes, 28, 2) != 24 || LittleEndian(bytes, 30, 4) != 0 || w <= 0 ||
      storedHeight == 0) {
    problem = "not an uncompressed 24-bit BMP";
    return {};
  }
  const int32_t h = storedHeight < 0 ? -storedHeight : storedHeight;
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
  if (bytes.size() < offset + stride * static_cast<size_t>(h)) {
    problem = "BMP pixels cut short";
    return {};
  }
  DecodedPicture out;
  out.Width = w;
  out.Height = h;
  for (int32_t y = 0; y < h; ++y) {
    const int32_t stored = storedHeight > 0 ? h - 1 - y : y;  // positive height: bottom-up
    const size_t row = offset + stride * static_cast<size_t>(stored);
    for (int32_t x = 0; x < w; ++x) {
      const size_t at = row + static_cast<size_t>(x) * 3;
      out.Pixels.push_back(PackRGB(static_cast<unsigned char>(bytes[at + 2]),
                                   static_cast<unsigned char>(bytes[at + 1]),
                                   static_cast<unsigned char>(bytes[at])));
    }
  }
  return out;
}

DecodedPicture ReadPngFile(const std::string& path, std::string& problem) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    problem = image.message;
    return {};
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    problem = image.message;
    return {};
  }
  return FromRgb(rgb, static_cast<int32_t>(image.width), static_cast<int32_t>(image.height));
}

DecodedPicture ReadJpegFile(const std::string& path, std::string& problem) {
  FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    problem = "cannot open " + path;
    return {};
  }
  std::vector<unsigned char> rgb;
  int32_t w = 0, h = 0;
  const bool decoded = DecodeJpeg(in, rgb, w, h);
  std::fclose(in);
  if (!decoded) {
    problem = "not a JPEG file";
    return {};
  }
  return FromRgb(rgb, w, h);
}

DecodedPicture EnginePicture(const std::string& projectText, int threads) {
  const int32_t savedThreads = ThreadCount;
  DecodedPicture out;
  {
    QVMain main;
    ThreadCount = threads;
    const ReadResult read = projectText.empty() ? ReadResult() : ReadProject(main, projectText);
    EXPECT_TRUE(read.Ok) << read.Describe();
    if (read.Ok && main.RunPass() && !LiveGraph().Mixers.empty()) {
      const QVRGBField& field = LiveGraph().Mixers.back()->RGBField;
      out.Width = field.Width;
      out.Height = field.Height;
      for (int32_t y = 0; y < field.Height; ++y) {
        out.Pixels.insert(out.Pixels.end(), field.Row(y), field.Row(y) + field.Width);
      }
    }
  }
  ThreadCount = savedThreads;
  return out;
}

std::string PictureDifference(const DecodedPicture& actual, const DecodedPicture& expected) {
  if (actual.Width != expected.Width || actual.Height != expected.Height) {
    return "size " + std::to_string(actual.Width) + " x " + std::to_string(actual.Height) +
           " instead of " + std::to_string(expected.Width) + " x " +
           std::to_string(expected.Height);
  }
  for (int32_t y = 0; y < actual.Height; ++y) {
    for (int32_t x = 0; x < actual.Width; ++x) {
      if (actual.At(x, y) != expected.At(x, y)) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
      }
    }
  }
  return "";
}

double MeanChannelDifference(const DecodedPicture& a, const DecodedPicture& b) {
  if (a.Pixels.size() != b.Pixels.size() || a.Pixels.empty()) return 255;
  double sum = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      sum += std::abs((a.Pixels[i] >> shift & 0xFF) - (b.Pixels[i] >> shift & 0xFF));
    }
  }
  return sum / (3.0 * static_cast<double>(a.Pixels.size()));
}

}  // namespace qv::test
