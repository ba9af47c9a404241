#include "image/QVPictureRegion.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <map>
#include <numeric>
#include <optional>

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

// The first column the spans (first column -> part, disjoint) leave uncovered.
int64_t FirstGap(const std::map<int64_t, size_t>& spans, const std::vector<PixelRect>& parts) {
  int64_t x = 0;
  for (const auto& [from, part] : spans) {
    if (from > x) return x;
    x = parts[part].Right();
  }
  return x;
}

std::string OverlapText(const std::vector<PixelRect>& parts, const std::vector<std::string>& names,
                        size_t a, size_t b) {
  if (b < a) std::swap(a, b);
  return Describe(names[a], parts[a]) + " and " + Describe(names[b], parts[b]) + " overlap in " +
         RectText(Intersect(parts[a], parts[b])) + "; each pixel must come from one part";
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
  const size_t n = parts.size();
  int64_t area = 0;
  for (size_t i = 0; i < n; ++i) {
    if (parts[i].Empty() || Intersect(parts[i], whole) != parts[i]) {
      return Describe(names[i], parts[i]) + " is not inside the " + std::to_string(w) + " x " +
             std::to_string(h) + " picture";
    }
    area += parts[i].Area();
  }
  // A sweep down the rows where parts begin or end. The parts covering a row
  // are disjoint spans kept by first column, so a part that begins overlaps
  // one of them exactly when it overlaps a neighbour of its first column.
  std::vector<size_t> byTop(n), byBottom(n);
  std::iota(byTop.begin(), byTop.end(), size_t{0});
  std::iota(byBottom.begin(), byBottom.end(), size_t{0});
  std::stable_sort(byTop.begin(), byTop.end(),
                   [&](size_t a, size_t b) { return parts[a].Y < parts[b].Y; });
  std::stable_sort(byBottom.begin(), byBottom.end(),
                   [&](size_t a, size_t b) { return parts[a].Bottom() < parts[b].Bottom(); });
  std::map<int64_t, size_t> spans;
  int64_t covered = 0;  // columns the spans cover
  // The first uncovered pixel (column, row): the coverage of a row changes
  // only where a part begins or ends, and a row where parts only begin has
  // no gap the row above lacks, so it lies in row 0 or where a part ends.
  std::optional<std::pair<int64_t, int64_t>> gap;
  if (n == 0 || parts[byTop[0]].Y > 0) gap = {0, 0};
  size_t top = 0, bottom = 0;
  while (bottom < n) {
    int64_t y = parts[byBottom[bottom]].Bottom();
    if (top < n) y = std::min<int64_t>(y, parts[byTop[top]].Y);
    for (; bottom < n && parts[byBottom[bottom]].Bottom() == y; ++bottom) {
      spans.erase(parts[byBottom[bottom]].X);
      covered -= parts[byBottom[bottom]].Width;
    }
    for (; top < n && parts[byTop[top]].Y == y; ++top) {
      const size_t i = byTop[top];
      const auto next = spans.lower_bound(parts[i].X);
      if (next != spans.end() && next->first < parts[i].Right()) {
        return OverlapText(parts, names, next->second, i);
      }
      if (next != spans.begin() && parts[std::prev(next)->second].Right() > parts[i].X) {
        return OverlapText(parts, names, std::prev(next)->second, i);
      }
      spans.emplace_hint(next, parts[i].X, i);
      covered += parts[i].Width;
    }
    if (!gap && y < h && covered < w) gap = {FirstGap(spans, parts), y};
  }
  const int64_t missing = int64_t{w} * h - area;
  if (missing == 0) return "";
  const auto [x, y] = gap.value_or(std::pair<int64_t, int64_t>{0, 0});
  return "the parts leave " + std::to_string(missing) + " pixels of the " + std::to_string(w) +
         " x " + std::to_string(h) + " picture uncovered, the first at column " +
         std::to_string(x) + ", row " + std::to_string(y) + "; render the missing region too";
}

}  // namespace qv
