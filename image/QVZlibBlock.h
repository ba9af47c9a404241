#pragma once
// The memory of a zlib compressor taken from a block its owner already holds
// (the PNG slices' block, which is backed by huge pages), so that a new
// compressor does not fault in some hundred small heap pages of its own: on
// a virtual machine each of those faults costs microseconds, and a thread's
// first allocations also map a heap of its own. Once the block is used up
// the heap serves the rest. One block per compressing thread.
#include <zlib.h>

#include <cstddef>

namespace qv {

/// Bytes the deflate state of zlib at the default window and memory level
/// takes (zlib's own formula, with room for its state and alignment).
inline constexpr size_t kZlibDeflateBytes =
    (size_t{1} << (15 + 2)) + (size_t{1} << (8 + 9)) + (size_t{16} << 10);

class ZlibBlock {
 public:
  /// bytes from begin (aligned to 16 at least), kept alive by the caller
  /// until every stream attached is ended.
  ZlibBlock(std::byte* begin, size_t bytes) : next_(begin), end_(begin + bytes), begin_(begin) {}
  ZlibBlock(const ZlibBlock&) = delete;
  ZlibBlock& operator=(const ZlibBlock&) = delete;

  /// Has z take its memory from this block; before deflateInit.
  void Attach(z_stream& z) {
    z.zalloc = &Allocate;
    z.zfree = &Release;
    z.opaque = this;
  }

 private:
  static voidpf Allocate(voidpf opaque, uInt items, uInt size);
  static void Release(voidpf opaque, voidpf address);

  std::byte* next_;
  std::byte* const end_;
  std::byte* const begin_;
};

}  // namespace qv
