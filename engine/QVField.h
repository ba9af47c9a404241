#pragma once
// Pixel fields: one contiguous row-major block per node output (row 0 is the
// top). QVFractalField holds a generator's records, QVRGBField packed colours
// red | green << 8 | blue << 16. Plain value holders: the owner resizes before
// its workers start; workers write disjoint rows without locks.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/QVArena.h"
#include "base/QVComplex.h"

/// One generator record: the complex value and the integer of the output method.
struct FractalPixel {
  QVComplex Z;
  int32_t Count = 0;
};

/// A field that could not be allocated; the field is left empty (0 x 0).
class FieldAllocationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class QVField {
 public:
  explicit QVField(int32_t elementSize) : ElementSize(elementSize) {}
  QVField(const QVField&) = delete;
  QVField& operator=(const QVField&) = delete;

  int32_t Width = 0;
  int32_t Height = 0;
  const int32_t ElementSize;
  qv::ArenaPtr Data;  ///< from the arena: kept and reused after the field lets it go

  /// Same size: keeps storage and pixels. Otherwise stores the new size and
  /// allocates w * h * ElementSize bytes (nothing when either is 0; negative
  /// sizes count as 0). Throws FieldAllocationError, leaving the field 0 x 0,
  /// when the byte count overflows or memory runs out.
  void Resize(int32_t w, int32_t h);

  /// Address of pixel (x, y); no bounds check.
  std::byte* Pixel(int32_t x, int32_t y) const {
    return Data.get() + static_cast<ptrdiff_t>(ElementSize) *
                            (static_cast<ptrdiff_t>(x) + static_cast<ptrdiff_t>(y) * Width);
  }
  void Put(int32_t x, int32_t y, const void* value);

  /// Bytes a field of w x h elements of the given size needs, or -1 on overflow.
  static int64_t ByteCount(int64_t w, int64_t h, int64_t elementSize);
};

class QVFractalField : public QVField {
 public:
  QVFractalField() : QVField(sizeof(FractalPixel)) {}
  FractalPixel& Pixel(int32_t x, int32_t y) const {
    return *reinterpret_cast<FractalPixel*>(QVField::Pixel(x, y));
  }
  void Put(int32_t x, int32_t y, const FractalPixel& p) { Pixel(x, y) = p; }
  FractalPixel* Row(int32_t y) const { return &Pixel(0, y); }
};

class QVRGBField : public QVField {
 public:
  QVRGBField() : QVField(4) {}
  int32_t& Pixel(int32_t x, int32_t y) const {
    return *reinterpret_cast<int32_t*>(QVField::Pixel(x, y));
  }
  void Put(int32_t x, int32_t y, int32_t color) { Pixel(x, y) = color; }
  int32_t* Row(int32_t y) const { return &Pixel(0, y); }
};

/// r | g << 8 | b << 16; callers pass channels in 0..255.
inline int32_t PackRGB(int32_t r, int32_t g, int32_t b) { return r | g << 8 | b << 16; }
inline void UnpackRGB(int32_t color, int32_t& r, int32_t& g, int32_t& b) {
  r = color & 0xFF;
  g = (color >> 8) & 0xFF;
  b = (color >> 16) & 0xFF;
}
namespace qv {

/// NormaliseRGB on channels of type Int, whose products with 255 must fit it.
template <typename Int>
inline void NormaliseChannels(Int& r, Int& g, Int& b) {
  r = r < 0 ? 0 : r;
  g = g < 0 ? 0 : g;
  b = b < 0 ? 0 : b;
  if (r < 256 && g < 256 && b < 256) return;
  const Int m = r > g ? (r > b ? r : b) : (g > b ? g : b);
  r = r * 255 / m;
  g = g * 255 / m;
  b = b * 255 / m;
}

}  // namespace qv

/// Negative channels become 0; if any channel exceeds 255, all are scaled by
/// 255 / max (integer, truncating), keeping the hue.
void NormaliseRGB(int32_t& r, int32_t& g, int32_t& b);
/// The same on 64-bit channels, for sums of many pictures.
void NormaliseRGB(int64_t& r, int64_t& g, int64_t& b);
