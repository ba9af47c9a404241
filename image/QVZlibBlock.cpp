#include "image/QVZlibBlock.h"

#include <cstdint>
#include <cstdlib>

namespace qv {

voidpf ZlibBlock::Allocate(voidpf opaque, uInt items, uInt size) {
  auto* block = static_cast<ZlibBlock*>(opaque);
  // Both factors are 32 bits, so the product fits; rounded to a cache line.
  const size_t bytes = (size_t{items} * size + 63) & ~size_t{63};
  if (bytes <= static_cast<size_t>(block->end_ - block->next_)) {
    std::byte* at = block->next_;
    block->next_ += bytes;
    return at;
  }
  return std::malloc(size_t{items} * size);  // null when out of memory: zlib reports it
}

void ZlibBlock::Release(voidpf opaque, voidpf address) {
  const auto* block = static_cast<const ZlibBlock*>(opaque);
  const auto at = reinterpret_cast<uintptr_t>(address);
  // The block's own memory goes back with the block.
  if (at >= reinterpret_cast<uintptr_t>(block->begin_) &&
      at < reinterpret_cast<uintptr_t>(block->end_))
    return;
  std::free(address);
}

}  // namespace qv
