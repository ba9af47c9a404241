#include "image/QVSupersample.h"

#include <algorithm>
#include <charconv>

namespace qv {

std::optional<int32_t> ParseSupersampleText(const std::string& text) {
  int32_t n = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, n);
  if (text.empty() || text[0] < '0' || text[0] > '9' || error != std::errc() || stop != end ||
      n < 1 || n > kMaxSupersample) {
    return std::nullopt;
  }
  return n;
}

void AverageBlocks(const uint32_t* fine, size_t fineStride, int32_t n, int32_t w, int32_t rows,
                   uint32_t* out) {
  // A block's channel sum is at most 64 x 255: 32 bits hold it.
  const uint32_t count = static_cast<uint32_t>(n) * static_cast<uint32_t>(n);
  for (int32_t y = 0; y < rows; ++y) {
    const uint32_t* top = fine + static_cast<size_t>(y) * static_cast<size_t>(n) * fineStride;
    for (int32_t x = 0; x < w; ++x) {
      uint32_t r = 0, g = 0, b = 0;
      for (int32_t j = 0; j < n; ++j) {
        const uint32_t* p = top + static_cast<size_t>(j) * fineStride + static_cast<size_t>(x) * n;
        for (int32_t i = 0; i < n; ++i) {
          r += p[i] >> 16 & 0xFFu;
          g += p[i] >> 8 & 0xFFu;
          b += p[i] & 0xFFu;
        }
      }
      const uint32_t half = count / 2;
      *out++ =
          0xFF000000u | (r + half) / count << 16 | (g + half) / count << 8 | (b + half) / count;
    }
  }
}

}  // namespace qv
