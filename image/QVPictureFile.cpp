#include "image/QVPictureFile.h"

#include <algorithm>
#include <stdexcept>

#include "image/QVBitmapWriter.h"
#include "image/QVJpegWriter.h"
#include "image/QVPngWriter.h"

namespace qv {
namespace {

// ASCII-only, so that no locale changes how a name is read.
bool SameIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return i == a.size() && b[i] == '\0';
}

}  // namespace

std::optional<PictureFormat> PictureFormatFromName(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  const std::string extension = name.substr(dot + 1);
  if (SameIgnoringCase(extension, "bmp")) return PictureFormat::Bmp;
  if (SameIgnoringCase(extension, "png")) return PictureFormat::Png;
  if (SameIgnoringCase(extension, "jpg") || SameIgnoringCase(extension, "jpeg")) {
    return PictureFormat::Jpeg;
  }
  return std::nullopt;
}

void RequirePicture(const std::string& path, const int32_t* pixels, int32_t w, int32_t h) {
  if (w < 1 || h < 1) {
    throw std::runtime_error("the picture is empty (" + std::to_string(w) + " x " +
                             std::to_string(h) + "): nothing to write to \"" + path + "\"");
  }
  if (!pixels) {
    throw std::invalid_argument("no pixels given for the " + std::to_string(w) + " x " +
                                std::to_string(h) + " picture to write to \"" + path + "\"");
  }
}

void UnpackRow(const int32_t* pixels, int32_t w, bool blueFirst, unsigned char* out) {
  for (int32_t x = 0; x < w; ++x) {
    int32_t r, g, b;
    UnpackRGB(pixels[x], r, g, b);
    *out++ = static_cast<unsigned char>(blueFirst ? b : r);
    *out++ = static_cast<unsigned char>(g);
    *out++ = static_cast<unsigned char>(blueFirst ? r : b);
  }
}

void RequirePictureSize(const std::string& path, PictureFormat format, int32_t w, int32_t h) {
  switch (format) {
    case PictureFormat::Bmp:
      RequireBitmapSize(path, w, h);
      break;
    case PictureFormat::Jpeg:
      RequireJpegSize(path, w, h);
      break;
    case PictureFormat::Png:
      break;  // PNG records sides up to 2^31 - 1
  }
}

int64_t WriterBytes(PictureFormat format, int32_t w) {
  const int64_t row = 3 * static_cast<int64_t>(std::max(w, 0)) + 4;
  constexpr int64_t kEncoderState = int64_t{4} << 20;  // zlib or libjpeg tables and buffers
  switch (format) {
    case PictureFormat::Bmp:
      return row + kEncoderState;
    case PictureFormat::Png:
      return row * 8 + kEncoderState;  // row, previous row, filter candidates
    case PictureFormat::Jpeg:
      return row * 48 + kEncoderState;  // colour-converted and sampled rows of an MCU band
  }
  return row * 48 + kEncoderState;
}

void WritePicture(const std::string& path, const int32_t* pixels, int32_t w, int32_t h,
                  PictureFormat format, int jpegQuality) {
  switch (format) {
    case PictureFormat::Bmp:
      WriteBitmap(path, pixels, w, h);
      return;
    case PictureFormat::Jpeg:
      WriteJpeg(path, pixels, w, h, jpegQuality);
      return;
    case PictureFormat::Png:
      WritePng(path, pixels, w, h);
      return;
  }
  throw std::invalid_argument("unknown picture format " + std::to_string(static_cast<int>(format)) +
                              " for \"" + path + "\"");
}

void WritePicture(const std::string& path, const QVRGBField& field, PictureFormat format,
                  int jpegQuality) {
  const int32_t* pixels = field.Data ? &field.Pixel(0, 0) : nullptr;
  WritePicture(path, pixels, field.Width, field.Height, format, jpegQuality);
}

}  // namespace qv
