#pragma once
// Anti-aliasing by supersampling: a picture computed n times finer in each
// direction becomes the picture of the requested size by averaging each n x n
// block, channel by channel, with exact integer rounding (halves round up).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qv {

/// The most samples per side a pixel may take.
inline constexpr int32_t kMaxSupersample = 8;

/// The sample count a picture records (its "Q-Vell supersample" chunk): a
/// whole number from 1 to kMaxSupersample in decimal; none for any other text.
std::optional<int32_t> ParseSupersampleText(const std::string& text);

/// Averages rows x w blocks of n x n pixels of fine (0xFFRRGGBB, rows of
/// fineStride pixels, the block of output pixel (x, y) at fine column n x,
/// row n y) into out (rows x w pixels, 0xFFRRGGBB). n from 1 to 8.
void AverageBlocks(const uint32_t* fine, size_t fineStride, int32_t n, int32_t w, int32_t rows,
                   uint32_t* out);

}  // namespace qv
