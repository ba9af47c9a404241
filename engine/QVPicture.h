#pragma once
// QVPicture: a finished picture as the host shows and saves it, built once by
// the render thread from the last mixer's field and then shared, immutable,
// by the canvas and the picture writers without copies.
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/QVField.h"

namespace qv {
using ::FieldAllocationError;
}

class QVPicture {
 public:
  /// A width x height picture, every pixel 0xFF000000 (opaque black); a
  /// negative side counts as 0. Throws FieldAllocationError when the pixels
  /// cannot be allocated.
  QVPicture(int32_t width, int32_t height);
  /// The same with the pixels left undefined, for a builder that writes
  /// every one of them.
  struct Unfilled {};
  QVPicture(int32_t width, int32_t height, Unfilled);
  QVPicture(const QVPicture&) = delete;
  QVPicture& operator=(const QVPicture&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  /// Row-major, Width() pixels per row, each 0xFFRRGGBB (the layout a
  /// QImage of Format_RGB32 wraps without a copy).
  const uint32_t* Pixels() const { return pixels_; }
  /// Only while building the picture, before it is shared.
  uint32_t* MutablePixels() { return pixels_; }
  /// Row y (no bounds check).
  const uint32_t* Row(int32_t y) const {
    return pixels_ + static_cast<size_t>(y) * static_cast<size_t>(width_);
  }
  /// The engine colour (red | green << 8 | blue << 16) of pixel (x, y).
  int32_t Color(int32_t x, int32_t y) const { return ToEngineColor(Row(y)[x]); }

  /// 0xFFRRGGBB from an engine colour, and back.
  static uint32_t FromEngineColor(int32_t color) {
    const uint32_t c = static_cast<uint32_t>(color);
    return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
  }
  static int32_t ToEngineColor(uint32_t pixel) {
    return static_cast<int32_t>((pixel >> 16 & 0xFFu) | (pixel & 0xFF00u) | (pixel & 0xFFu) << 16);
  }

 private:
  int32_t width_;
  int32_t height_;
  qv::ArenaPtr block_;
  uint32_t* pixels_ = nullptr;  // in block_
};

using QVPictureRef = std::shared_ptr<const QVPicture>;

namespace qv {

/// The picture of an RGB field. rowDone, when set, is called after each row
/// with the row number from 1; when it returns false the picture is given up
/// and the result is null. Throws FieldAllocationError like QVPicture.
QVPictureRef PictureOf(const QVRGBField& field, const std::function<bool(int32_t)>& rowDone = {});

}  // namespace qv
