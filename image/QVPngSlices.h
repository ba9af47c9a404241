#pragma once
// The pixels of a PNG file compressed on several threads. The rows are cut
// into slices of a fixed number of rows, the last slice cut in two halves
// (the rows that come last, after every other slice was handed over, then
// make a short slice on each of two threads, and the file is done soon after
// them). Each slice is filtered and deflated on its own (a fresh dictionary,
// ended on a byte boundary by a sync flush, the last one by the final
// block), and the pieces joined in order form one valid zlib stream whose
// Adler-32 is combined from the slices' own. The slices depend only on the
// picture's size and the slice height, so the file is the same byte for byte
// whatever the number of threads, the bands the rows come in or the timing.
// Compression runs beside the caller: the rows handed over are copied, and
// the caller only waits when more slices are pending than the threads can
// take.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace qv {

/// How the pixels of a PNG are spread over threads.
struct PngSlicing {
  int32_t Threads = 0;    ///< compressing threads; 0: one per core (at most 8)
  int32_t SliceRows = 0;  ///< rows a slice; 0: about a quarter of a million pixels
};

/// Receives the bytes of the file in order (IDAT chunks, then IEND); throws
/// on a failed write.
using PngChunkWriter = std::function<void(const unsigned char* bytes, size_t size)>;

class PngSlices {
 public:
  /// A w x h RGB picture compressed at level; chooseFilter picks none or
  /// SUB for each slice by a sample of its rows (otherwise none).
  PngSlices(int32_t w, int32_t h, int level, bool chooseFilter, const PngSlicing& slicing,
            PngChunkWriter write);
  /// Stops the threads; the slices not yet written are dropped.
  ~PngSlices();
  PngSlices(const PngSlices&) = delete;
  PngSlices& operator=(const PngSlices&) = delete;

  /// Appends rows of w pixels 0xFFRRGGBB. Writes the slices finished so far;
  /// throws what a write or a compression threw (std::bad_alloc when zlib
  /// runs out of memory).
  void AddRows(const uint32_t* pixels, int32_t rows);
  /// Waits for the last slices and writes them and the IEND chunk; every
  /// row must have been added.
  void Finish();

  /// The slice height chosen for a width when none is asked for.
  static int32_t DefaultSliceRows(int32_t w);
  /// Rows of the slice that starts at row y of an h rows picture cut into
  /// slices of sliceRows: sliceRows, but the last slice's rows cut in two
  /// (the first half the larger).
  static int32_t SliceRowsAt(int32_t y, int32_t h, int32_t sliceRows);
  /// Rows of the last slice of a w x h picture with the default slicing,
  /// both halves together.
  static int32_t LastSliceRows(int32_t w, int32_t h);
  /// The most bytes the slices of a w pixels wide picture hold at once
  /// (rows and their compressed form), with the default slicing.
  static int64_t HeldBytes(int32_t w);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace qv
