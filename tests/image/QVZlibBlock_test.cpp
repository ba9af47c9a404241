#include "image/QVZlibBlock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// Compresses data at level, through memory when it is given (else with
// zlib's own allocator), and returns the stream.
std::vector<unsigned char> Deflated(const std::vector<unsigned char>& data, int level,
                                    qv::ZlibBlock* memory) {
  z_stream z{};
  if (memory) memory->Attach(z);
  EXPECT_EQ(deflateInit(&z, level), Z_OK);
  std::vector<unsigned char> out(deflateBound(&z, data.size()));
  z.next_in = const_cast<unsigned char*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  EXPECT_EQ(deflateEnd(&z), Z_OK);
  return out;
}

// Rows of a smooth gradient with noise: matches near and far, so the whole
// window and hash table are used.
std::vector<unsigned char> TestData(size_t bytes) {
  std::mt19937 random(7);
  std::vector<unsigned char> data(bytes);
  for (size_t i = 0; i < bytes; ++i)
    data[i] = static_cast<unsigned char>(i / 97 + (random() % 8 == 0 ? random() % 256 : 0));
  return data;
}

// The stream is the same byte for byte whatever memory zlib is given: a block
// that holds everything, one that holds part (the heap gives the rest), none;
// the block's old contents (a block handed out again) change nothing; and the
// stream inflates back to the data.
TEST(QVZlibBlock, StreamIsTheSameInAnyMemory) {
  const std::vector<unsigned char> data = TestData(size_t{600} << 10);
  for (const int level : {1, 2, 6}) {
    SCOPED_TRACE(level);
    const std::vector<unsigned char> plain = Deflated(data, level, nullptr);
    for (const size_t bytes : {qv::kZlibDeflateBytes, size_t{70} << 10, size_t{0}}) {
      SCOPED_TRACE(bytes);
      std::vector<std::byte> block(bytes + 64, std::byte{0xA5});
      qv::ZlibBlock memory(block.data(), bytes);
      EXPECT_EQ(Deflated(data, level, &memory), plain);
    }
  }
  const std::vector<unsigned char> packed = Deflated(data, 2, nullptr);
  std::vector<unsigned char> back(data.size());
  uLongf size = back.size();
  ASSERT_EQ(uncompress(back.data(), &size, packed.data(), packed.size()), Z_OK);
  EXPECT_EQ(size, data.size());
  EXPECT_EQ(back, data);
}

}  // namespace
