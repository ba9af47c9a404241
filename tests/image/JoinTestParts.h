#pragma once
// Part PNGs for the join tests, written directly (no render): each holds its
// rectangle of one whole picture whose pixels are a known function of their
// place, and says where it lies in a region chunk.
#include <cstdint>
#include <string>
#include <vector>

#include "image/QVPictureRegion.h"
#include "image/QVPictureStream.h"

namespace qv::test {

/// The pixel at column x, row y of the whole picture.
inline uint32_t JoinColour(int64_t x, int64_t y) {
  return 0xFF000000u | static_cast<uint32_t>(x * 7 & 0xFF) << 16 |
         static_cast<uint32_t>(y * 5 & 0xFF) << 8 | static_cast<uint32_t>((x + y) & 0xFF);
}

/// Writes to path the part rect of a wholeW x wholeH picture: texts, then a
/// chunk saying where rect lies, then rect's pixels. A width other than 0
/// makes the picture that wide whatever its region says.
inline void WriteJoinPart(const std::string& path, const PixelRect& rect, int32_t wholeW,
                          int32_t wholeH, std::vector<PngText> texts = {}, int32_t width = 0) {
  if (width == 0) width = rect.Width;
  texts.push_back({kRegionKeyword, RegionText({rect, wholeW, wholeH})});
  PictureFileOptions options;
  options.Texts = texts;
  const auto out = OpenPictureStream(path, PictureFormat::Png, width, rect.Height, options);
  std::vector<uint32_t> row(static_cast<size_t>(width));
  for (int32_t y = 0; y < rect.Height; ++y) {
    for (int32_t x = 0; x < width; ++x) row[static_cast<size_t>(x)] = JoinColour(rect.X + x, rect.Y + y);
    out->WriteRows(row.data(), 1);
  }
  out->Finish();
}

}  // namespace qv::test
