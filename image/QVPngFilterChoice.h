#pragma once
// The PNG row filter and zlib level of a written picture. Measured on the
// 1024 x 1024 benchmark picture and the examples: no filter compresses the
// pictures with flat areas and hard bands of colour best (10 to 35 % smaller
// than SUB), while SUB is far better on smooth gradients (30 % smaller than
// no filter); libpng's own choice between them per row takes SUB nearly every
// time, and its full adaptive choice costs twice the time for larger files.
// So each slice of rows is filtered as a sample of its rows compresses best.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace qv {

class ZlibBlock;

/// zlib levels: the default, and the one of a write that asks for speed.
inline constexpr int kPngLevel = 2;
inline constexpr int kPngFastLevel = 1;

/// Chooses between PNG's "none" and "sub" filters for RGB rows (3 bytes a
/// pixel) by compressing every 16th row both ways; reuses its zlib state.
class PngFilterChoice {
 public:
  /// memory, when given, holds the zlib state (and must outlive this).
  explicit PngFilterChoice(ZlibBlock* memory = nullptr);
  ~PngFilterChoice();
  PngFilterChoice(const PngFilterChoice&) = delete;
  PngFilterChoice& operator=(const PngFilterChoice&) = delete;

  /// Rows between two sampled rows.
  static constexpr int32_t kSampleStep = 16;

  /// The filter (0: none, 1: sub, as PNG numbers them) for the count rows of
  /// rowBytes bytes each at rows, given through row(i) (the i-th row's bytes).
  template <typename Row>
  int Choose(int32_t count, size_t rowBytes, Row&& row) {
    sample_.Reset(rowBytes);
    for (int32_t i = 0; i < count; i += kSampleStep) sample_.Add(row(i));
    return Compare();
  }

 private:
  struct Sample {
    void Reset(size_t rowBytes);
    void Add(const unsigned char* row);
    size_t RowBytes = 0;
    size_t Used = 0;
    std::unique_ptr<unsigned char[]> None, Sub;  // each row with its filter byte
    size_t Capacity = 0;
  };
  int Compare();
  size_t Deflated(const unsigned char* data, size_t bytes);

  Sample sample_;
  struct Stream;
  std::unique_ptr<Stream> stream_;
};

}  // namespace qv
