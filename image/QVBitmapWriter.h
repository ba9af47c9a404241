#pragma once
// Windows bitmap files, 24 bits per pixel, uncompressed. Written by hand: a
// BITMAPFILEHEADER and a 40-byte BITMAPINFOHEADER, all fields little-endian,
// then the rows from the bottom up in blue, green, red order, each padded with
// zero bytes to a multiple of 4.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/QVPicture.h"
#include "image/QVPictureStream.h"

namespace qv {

/// Size in bytes of the bitmap file of a w x h picture (w, h >= 1), computed
/// in 64 bits; may exceed what the header's 32-bit size fields can hold.
uint64_t BitmapFileSize(int32_t w, int32_t h);

/// Throws std::runtime_error naming path when a w x h bitmap would exceed the
/// header's 32-bit size fields.
void RequireBitmapSize(const std::string& path, int32_t w, int32_t h);

/// Writes the picture (row 0 at the top) to path as a 24-bit bitmap,
/// atomically. Throws std::runtime_error naming the file for an empty picture,
/// a file over 4294967295 bytes (the header's limit) or a failed write.
void WriteBitmap(const std::string& path, const QVPicture& picture);

/// A bitmap file of w x h pixels written band by band (see PictureStream).
std::unique_ptr<PictureStream> OpenBitmapStream(const std::string& path, int32_t w, int32_t h);

}  // namespace qv
