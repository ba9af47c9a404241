#include "engine/QVPicture.h"

#include <algorithm>
#include <new>
#include <string>

QVPicture::QVPicture(int32_t width, int32_t height) : QVPicture(width, height, Unfilled{}) {
  std::fill_n(pixels_, static_cast<size_t>(width_) * static_cast<size_t>(height_), 0xFF000000u);
}

QVPicture::QVPicture(int32_t width, int32_t height, Unfilled)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  // Two sides below 2^31 and 4 bytes a pixel: the size fits 64 bits.
  const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  if (count == 0) return;
  block_ = qv::ArenaAllocate(count * sizeof(uint32_t));
  if (!block_) {
    throw FieldAllocationError("not enough memory for the finished picture of " +
                               std::to_string(width_) + " x " + std::to_string(height_) +
                               " pixels; lower Width and Height");
  }
  // The arena's blocks are aligned for any pixel type.
  pixels_ = reinterpret_cast<uint32_t*>(block_.get());
}

namespace qv {

QVPictureRef PictureOf(const QVRGBField& field, const std::function<bool(int32_t)>& rowDone) {
  auto picture = std::make_shared<QVPicture>(field.Width, field.Height, QVPicture::Unfilled{});
  for (int32_t y = 0; y < picture->Height(); ++y) {
    const int32_t* in = field.Row(y);
    uint32_t* out =
        picture->MutablePixels() + static_cast<size_t>(y) * static_cast<size_t>(field.Width);
    for (int32_t x = 0; x < field.Width; ++x) out[x] = QVPicture::FromEngineColor(in[x]);
    if (rowDone && !rowDone(y + 1)) return nullptr;
  }
  return picture;
}

}  // namespace qv
