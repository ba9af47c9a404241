#pragma once
// Decoders of the picture files the writers and qvell produce, written from
// the file formats (not from the writers), shared by every test folder. Each
// reports why a file is not what it should be instead of failing a test
// itself.
#include <cstdint>
#include <string>
#include <vector>

namespace qv::test {

/// Packed pixels of a decoded picture, for comparison with the source field.
struct DecodedPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<int32_t> Pixels;  // row-major, row 0 at the top
  int32_t At(int32_t x, int32_t y) const {
    return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
  }
};

/// A 24-bit uncompressed bottom-up bitmap: checks every header field such a
/// file must have and records the first violation in problem.
DecodedPicture ReadBitmap(const std::string& bytes, std::string& problem);
DecodedPicture ReadBmpFile(const std::string& path, std::string& problem);

/// A PNG file; format receives "8 RGB" for 8-bit RGB without interlace (the
/// only format decoded; any other leaves the pixels out and sets problem).
DecodedPicture ReadPngFile(const std::string& path, std::string& problem, std::string* format);
inline DecodedPicture ReadPngFile(const std::string& path, std::string& problem) {
  return ReadPngFile(path, problem, nullptr);
}

/// A JPEG file decoded to RGB; components receives the file's colour components.
DecodedPicture ReadJpegFile(const std::string& path, std::string& problem, int* components);
inline DecodedPicture ReadJpegFile(const std::string& path, std::string& problem) {
  return ReadJpegFile(path, problem, nullptr);
}

}  // namespace qv::test
