#include "image/QVPictureRegion.h"

#include <algorithm>
#include <charconv>

namespace qv {
namespace {

std::string RectText(const PixelRect& r) {
  return std::to_string(r.X) + "," + std::to_string(r.Y) + "," + std::to_string(r.Width) + "," +
         std::to_string(r.Height);
}

// Reads count whole numbers (0 to INT32_MAX) separated by sep from text at
// pos; advances pos. False when they are not there.
bool ReadNumbers(const std::string& text, size_t& pos, char sep, int32_t* out, int count) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != sep) return false;
      ++pos;
    }
    const char* begin = text.data() + pos;
    const char* end = text.data() + text.size();
    if (begin == end || *begin < '0' || *begin > '9') return false;
    const auto [stop, error] = std::from_chars(begin, end, out[i]);
    if (error != std::errc()) return false;
    pos += static_cast<size_t>(stop - begin);
  }
  return true;
}

std::string Describe(const std::string& name, const PixelRect& r) {
  return name + " (" + RectText(r) + ")";
}

// The first pixel of row y no part covers, or -1 (the parts do not overlap).
int64_t FirstGapInRow(const std::vector<PixelRect>& parts, int32_t y, int32_t w) {
  std::vector<std::pair<int64_t, int64_t>> spans;
  for (const PixelRect& p : parts) {
    if (p.Y <= y && y < p.Bottom()) spans.emplace_back(p.X, p.Right());
  }
  std::sort(spans.begin(), spans.end());
  int64_t x = 0;
  for (const auto& [from, to] : spans) {
    if (from > x) return x;
    x = std::max(x, to);
  }
  return x < w ? x : -1;
}

}  // namespace

std::string RegionText(const PictureRegion& region) {
  return RectText(region.Rect) + " of " + std::to_string(region.WholeWidth) + "x" +
         std::to_string(region.WholeHeight);
}

std::optional<PixelRect> ParseRectText(const std::string& text) {
  int32_t v[4];
  size_t pos = 0;
  if (!ReadNumbers(text, pos, ',', v, 4) || pos != text.size()) return std::nullopt;
  const PixelRect r{v[0], v[1], v[2], v[3]};
  if (r.Empty()) return std::nullopt;
  return r;
}

std::optional<PictureRegion> ParseRegionText(const std::string& text) {
  int32_t v[4], whole[2];
  size_t pos = 0;
  if (!ReadNumbers(text, pos, ',', v, 4) || text.compare(pos, 4, " of ") != 0) return std::nullopt;
  pos += 4;
  if (!ReadNumbers(text, pos, 'x', whole, 2) || pos != text.size()) return std::nullopt;
  const PictureRegion region{{v[0], v[1], v[2], v[3]}, whole[0], whole[1]};
  if (region.Rect.Empty() || region.Rect.Right() > whole[0] || region.Rect.Bottom() > whole[1]) {
    return std::nullopt;
  }
  return region;
}

std::string TilingProblem(const std::vector<PixelRect>& parts,
                          const std::vector<std::string>& names, int32_t w, int32_t h) {
  const PixelRect whole{0, 0, w, h};
  int64_t area = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].Empty() || Intersect(parts[i], whole) != parts[i]) {
      return Describe(names[i], parts[i]) + " is not inside the " + std::to_string(w) + " x " +
             std::to_string(h) + " picture";
    }
    for (size_t j = 0; j < i; ++j) {
      const PixelRect common = Intersect(parts[i], parts[j]);
      if (!common.Empty()) {
        return Describe(names[j], parts[j]) + " and " + Describe(names[i], parts[i]) +
               " overlap in " + RectText(common) + "; each pixel must come from one part";
      }
    }
    area += parts[i].Area();
  }
  const int64_t missing = int64_t{w} * h - area;
  if (missing == 0) return "";
  // Some row holds the gap; it starts at a row where a part ends, or at row 0.
  std::vector<int32_t> rows{0};
  for (const PixelRect& p : parts) {
    if (p.Bottom() < h) rows.push_back(static_cast<int32_t>(p.Bottom()));
  }
  for (int32_t y : rows) {
    if (const int64_t x = FirstGapInRow(parts, y, w); x >= 0) {
      return "the parts leave " + std::to_string(missing) + " pixels of the " + std::to_string(w) +
             " x " + std::to_string(h) + " picture uncovered, the first at column " +
             std::to_string(x) + ", row " + std::to_string(y) + "; render the missing region too";
    }
  }
  return "the parts leave " + std::to_string(missing) + " pixels uncovered";
}

}  // namespace qv
