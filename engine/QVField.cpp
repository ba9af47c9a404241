#include "engine/QVField.h"

#include <algorithm>
#include <cstring>
#include <new>

int64_t QVField::ByteCount(int64_t w, int64_t h, int64_t elementSize) {
  if (w <= 0 || h <= 0) return 0;
  const int64_t limit = INT64_MAX;
  if (w > limit / h) return -1;
  const int64_t n = w * h;
  if (n > limit / elementSize) return -1;
  return n * elementSize;
}

void QVField::Resize(int32_t w, int32_t h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (w == Width && h == Height) return;
  Data.reset();
  Width = 0;
  Height = 0;
  const int64_t bytes = ByteCount(w, h, ElementSize);
  if (bytes < 0 || static_cast<uint64_t>(bytes) > SIZE_MAX) {
    throw FieldAllocationError("a picture of " + std::to_string(w) + " x " + std::to_string(h) +
                               " pixels is too large to address");
  }
  if (bytes > 0) {
    Data = qv::ArenaAllocate(static_cast<size_t>(bytes));
    if (!Data) {
      throw FieldAllocationError("out of memory: a picture of " + std::to_string(w) + " x " +
                                 std::to_string(h) + " pixels needs " + std::to_string(bytes) +
                                 " bytes");
    }
  }
  Width = w;
  Height = h;
}

void QVField::Put(int32_t x, int32_t y, const void* value) {
  std::memcpy(Pixel(x, y), value, static_cast<size_t>(ElementSize));
}

void NormaliseRGB(int64_t& r, int64_t& g, int64_t& b) {
  // Channel sums stay far below 2^55, so the products with 255 cannot overflow.
  qv::NormaliseChannels(r, g, b);
}

void NormaliseRGB(int32_t& r, int32_t& g, int32_t& b) {
  int64_t c[3] = {r, g, b};
  NormaliseRGB(c[0], c[1], c[2]);
  r = static_cast<int32_t>(c[0]);
  g = static_cast<int32_t>(c[1]);
  b = static_cast<int32_t>(c[2]);
}
