#pragma once
// PNG files through libpng: 8 bits per channel RGB, no interlace, no alpha.
#include <cstdint>
#include <string>

namespace qv {

/// Writes w x h packed pixels (row 0 at the top) to path as a PNG file,
/// atomically. Throws std::runtime_error naming the file for an empty picture
/// or any encoder or write failure.
void WritePng(const std::string& path, const int32_t* pixels, int32_t w, int32_t h);

}  // namespace qv
