#include "image/QVPictureFile.h"

#include <algorithm>
#include <stdexcept>

#include "image/QVBitmapWriter.h"
#include "image/QVJpegWriter.h"
#include "image/QVPictureStream.h"
#include "image/QVPngSlices.h"
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

void RequirePicture(const std::string& path, const QVPicture& picture) {
  const int32_t w = picture.Width(), h = picture.Height();
  if (w < 1 || h < 1) {
    throw std::runtime_error("the picture is empty (" + std::to_string(w) + " x " +
                             std::to_string(h) + "): nothing to write to \"" + path + "\"");
  }
}

void UnpackRow(const uint32_t* pixels, int32_t w, bool blueFirst, unsigned char* out) {
  for (int32_t x = 0; x < w; ++x) {
    const uint32_t r = pixels[x] >> 16 & 0xFFu, g = pixels[x] >> 8 & 0xFFu, b = pixels[x] & 0xFFu;
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
      return PngSlices::HeldBytes(w) + kEncoderState;
    case PictureFormat::Jpeg:
      return row * 48 + kEncoderState;  // colour-converted and sampled rows of an MCU band
  }
  return row * 48 + kEncoderState;
}

void WritePicture(const std::string& path, const QVPicture& picture, PictureFormat format,
                  int jpegQuality) {
  PictureFileOptions options;
  options.JpegQuality = jpegQuality;
  WritePicture(path, picture, format, options);
}

std::unique_ptr<PictureStream> OpenPictureStream(const std::string& path, PictureFormat format,
                                                 int32_t w, int32_t h,
                                                 const PictureFileOptions& options) {
  if (w < 1 || h < 1) {
    throw std::runtime_error("the picture is empty (" + std::to_string(w) + " x " +
                             std::to_string(h) + "): nothing to write to \"" + path + "\"");
  }
  switch (format) {
    case PictureFormat::Bmp:
      return OpenBitmapStream(path, w, h);
    case PictureFormat::Jpeg:
      return OpenJpegStream(path, w, h, options.JpegQuality);
    case PictureFormat::Png:
      return OpenPngStream(path, w, h, options.Texts, options.FastPng);
  }
  throw std::invalid_argument("unknown picture format " + std::to_string(static_cast<int>(format)) +
                              " for \"" + path + "\"");
}

}  // namespace qv
