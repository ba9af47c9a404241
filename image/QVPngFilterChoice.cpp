#include "image/QVPngFilterChoice.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "image/QVZlibBlock.h"

namespace qv {

struct PngFilterChoice::Stream {
  z_stream Z{};
  bool Ready = false;
  std::vector<unsigned char> Out;
};

PngFilterChoice::PngFilterChoice(ZlibBlock* memory) : stream_(std::make_unique<Stream>()) {
  if (memory) memory->Attach(stream_->Z);
  // The trial compresses at the fastest level: it only ranks the two filters.
  stream_->Ready = deflateInit(&stream_->Z, kPngFastLevel) == Z_OK;
}

PngFilterChoice::~PngFilterChoice() {
  if (stream_->Ready) deflateEnd(&stream_->Z);
}

void PngFilterChoice::Sample::Reset(size_t rowBytes) {
  RowBytes = rowBytes;
  Used = 0;
}

void PngFilterChoice::Sample::Add(const unsigned char* row) {
  const size_t need = Used + RowBytes + 1;
  if (need > Capacity) {
    const size_t grown = std::max(need, 2 * Capacity);
    // Every byte up to Used is written before it is read: no zeroing.
    auto none = std::make_unique_for_overwrite<unsigned char[]>(grown),
         sub = std::make_unique_for_overwrite<unsigned char[]>(grown);
    if (Used > 0) {  // the first rows find no buffers to copy
      std::memcpy(none.get(), None.get(), Used);
      std::memcpy(sub.get(), Sub.get(), Used);
    }
    None = std::move(none), Sub = std::move(sub), Capacity = grown;
  }
  unsigned char* n = None.get() + Used;
  unsigned char* s = Sub.get() + Used;
  n[0] = 0, s[0] = 1;
  std::memcpy(n + 1, row, RowBytes);
  // SUB: each byte minus the same channel of the pixel to its left.
  for (size_t i = 0; i < RowBytes; ++i)
    s[1 + i] = static_cast<unsigned char>(row[i] - (i >= 3 ? row[i - 3] : 0));
  Used = need;
}

size_t PngFilterChoice::Deflated(const unsigned char* data, size_t bytes) {
  z_stream& z = stream_->Z;
  deflateReset(&z);
  stream_->Out.resize(deflateBound(&z, bytes));
  z.next_in = const_cast<unsigned char*>(data);
  z.avail_in = static_cast<uInt>(bytes);
  z.next_out = stream_->Out.data();
  z.avail_out = static_cast<uInt>(stream_->Out.size());
  deflate(&z, Z_FINISH);
  return z.total_out;
}

int PngFilterChoice::Compare() {
  // Without zlib state (no memory) or rows, SUB: the safer of the two.
  if (!stream_->Ready || sample_.Used == 0 || sample_.Used > UINT32_MAX) return 1;
  const size_t none = Deflated(sample_.None.get(), sample_.Used);
  const size_t sub = Deflated(sample_.Sub.get(), sample_.Used);
  return none <= sub ? 0 : 1;
}

}  // namespace qv
