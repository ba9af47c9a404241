#include "engine/QVPicture.h"

#include <algorithm>
#include <new>
#include <string>

QVPicture::QVPicture(int32_t width, int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  // Two sides below 2^31 and 4 bytes a pixel: the size fits 64 bits.
  const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  if (count == 0) return;
  pixels_.reset(new (std::nothrow) uint32_t[count]);
  if (!pixels_) {
    throw FieldAllocationError("not enough memory for the finished picture of " +
                               std::to_string(width_) + " x " + std::to_string(height_) +
                               " pixels; lower Width and Height");
  }
  std::fill_n(pixels_.get(), count, 0xFF000000u);
}

namespace qv {

QVPictureRef PictureOf(const QVRGBField& field, const std::function<void(int32_t)>& rowDone) {
  auto picture = std::make_shared<QVPicture>(field.Width, field.Height);
  for (int32_t y = 0; y < picture->Height(); ++y) {
    const int32_t* in = field.Row(y);
    uint32_t* out =
        picture->MutablePixels() + static_cast<size_t>(y) * static_cast<size_t>(field.Width);
    for (int32_t x = 0; x < field.Width; ++x) out[x] = QVPicture::FromEngineColor(in[x]);
    if (rowDone) rowDone(y + 1);
  }
  return picture;
}

}  // namespace qv
