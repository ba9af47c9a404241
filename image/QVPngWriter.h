#pragma once
// PNG files through libpng: 8 bits per channel RGB, no interlace, no alpha.
#include <cstdint>
#include <string>

#include "engine/QVPicture.h"

namespace qv {

/// Writes the picture (row 0 at the top) to path as a PNG file,
/// atomically. Throws std::runtime_error naming the file for an empty picture
/// or any encoder or write failure.
void WritePng(const std::string& path, const QVPicture& picture);

}  // namespace qv
