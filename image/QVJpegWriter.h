#pragma once
// JPEG files through libjpeg(-turbo): 24-bit RGB input, the library's default
// settings (baseline, 4:2:0, quality 75) with an optional quality override.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/QVPicture.h"
#include "image/QVPictureStream.h"

namespace qv {

/// The largest width and height a JPEG file can record in this library.
constexpr int32_t kJpegMaxDimension = 65500;

/// Throws std::runtime_error naming path when a side exceeds kJpegMaxDimension.
void RequireJpegSize(const std::string& path, int32_t w, int32_t h);

/// Writes the picture (row 0 at the top) to path as a JPEG file with
/// the given quality (1 to 100), atomically. Throws std::runtime_error naming
/// the file for an empty picture, a side over kJpegMaxDimension, a quality out
/// of range, or any encoder or write failure.
void WriteJpeg(const std::string& path, const QVPicture& picture, int quality = 75);

/// Throws std::runtime_error naming path unless quality is 1 to 100.
void RequireJpegQuality(const std::string& path, int quality);

/// A JPEG file of w x h pixels written band by band (see PictureStream).
std::unique_ptr<PictureStream> OpenJpegStream(const std::string& path, int32_t w, int32_t h,
                                              int quality);

}  // namespace qv
