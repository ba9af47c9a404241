#pragma once
// A rectangle of pixels of a picture: columns X .. X + Width - 1 and rows
// Y .. Y + Height - 1, row 0 at the top. Plain value; any thread.
#include <algorithm>
#include <cstdint>

namespace qv {

struct PixelRect {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;

  bool Empty() const { return Width < 1 || Height < 1; }
  /// One past the last column and row, in 64 bits (never overflows).
  int64_t Right() const { return int64_t{X} + Width; }
  int64_t Bottom() const { return int64_t{Y} + Height; }
  int64_t Area() const { return Empty() ? 0 : int64_t{Width} * Height; }
  bool operator==(const PixelRect&) const = default;
};

/// The pixels both rectangles hold (empty when they hold none in common).
inline PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
  if (a.Empty() || b.Empty()) return {};
  const int64_t x0 = std::max<int64_t>(a.X, b.X), y0 = std::max<int64_t>(a.Y, b.Y);
  const int64_t x1 = std::min(a.Right(), b.Right()), y1 = std::min(a.Bottom(), b.Bottom());
  if (x1 <= x0 || y1 <= y0) return {};
  return {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
          static_cast<int32_t>(y1 - y0)};
}

/// r grown by margin pixels on every side, then clipped to a w x h picture.
inline PixelRect GrowWithin(const PixelRect& r, int32_t margin, int32_t w, int32_t h) {
  const int64_t x0 = std::max<int64_t>(int64_t{r.X} - margin, 0);
  const int64_t y0 = std::max<int64_t>(int64_t{r.Y} - margin, 0);
  const int64_t x1 = std::min<int64_t>(r.Right() + margin, w);
  const int64_t y1 = std::min<int64_t>(r.Bottom() + margin, h);
  if (x1 <= x0 || y1 <= y0) return {};
  return {static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
          static_cast<int32_t>(y1 - y0)};
}

}  // namespace qv
