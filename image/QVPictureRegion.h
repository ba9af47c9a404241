#pragma once
// Parts of a larger picture, for rendering a picture in pieces (on several
// machines) and joining them: the text a part's PNG carries to say where it
// belongs, and the check that a set of parts covers a picture exactly once.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/QVPixelRect.h"

namespace qv {

/// Where a part lies in the whole picture.
struct PictureRegion {
  PixelRect Rect;
  int32_t WholeWidth = 0;
  int32_t WholeHeight = 0;
  bool operator==(const PictureRegion&) const = default;
};

/// "X,Y,W,H of WIDTHxHEIGHT", the text of a part's "Q-Vell region" chunk.
std::string RegionText(const PictureRegion& region);

/// The region a text of RegionText describes; none for any other text or a
/// rectangle that is empty or not inside the whole picture.
std::optional<PictureRegion> ParseRegionText(const std::string& text);

/// "X,Y,W,H" (whole numbers, W and H at least 1, X and Y at least 0); none
/// for any other text.
std::optional<PixelRect> ParseRectText(const std::string& text);

/// Why the parts (rectangles of a w x h picture, named by names for the
/// message) do not cover it exactly once: a part outside the picture, two
/// parts that overlap, or pixels no part covers (the first in row order). ""
/// when they tile it. O(n log n) in the number of parts.
std::string TilingProblem(const std::vector<PixelRect>& parts,
                          const std::vector<std::string>& names, int32_t w, int32_t h);

}  // namespace qv
