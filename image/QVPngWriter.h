#pragma once
// PNG files: 8 bits per channel RGB, no interlace, no alpha, optional text
// chunks (iTXt, UTF-8) before the pixels. libpng writes the header and the
// texts, PngSlices the pixels.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/QVPicture.h"
#include "image/QVPictureStream.h"
#include "image/QVPngSlices.h"

namespace qv {

/// Writes the picture (row 0 at the top) to path as a PNG file with the given
/// text chunks, atomically. Throws std::runtime_error naming the file for an
/// empty picture or any encoder or write failure.
void WritePng(const std::string& path, const QVPicture& picture,
              const std::vector<PngText>& texts = {});

/// A PNG file of w x h pixels written band by band (see PictureStream); fast
/// trades a larger file for a quicker encoding. The pixels are compressed
/// on threads beside the caller as slicing says (see PngSlices); the file is
/// the same whatever the number of threads.
std::unique_ptr<PictureStream> OpenPngStream(const std::string& path, int32_t w, int32_t h,
                                             const std::vector<PngText>& texts, bool fast = false,
                                             const PngSlicing& slicing = {});

}  // namespace qv
