#include "image/QVPngSlices.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include "base/QVArena.h"
#include "image/QVPictureFile.h"
#include "image/QVPngFilterChoice.h"
#include "image/QVZlibBlock.h"

namespace qv {

namespace {

// Pixels a slice when none is asked for: the rows of 256 KiB pixels filter
// and deflate in a few milliseconds, and a fresh dictionary every 768 KiB
// of rows costs well under 1 % of the file.
constexpr int64_t kSlicePixels = int64_t{1} << 18;
constexpr int32_t kMaxThreads = 8;
// zlib takes at most 4 GiB a call; a slice of very wide rows goes in pieces.
constexpr size_t kDeflatePiece = size_t{1} << 30;

void PutBigEndian(unsigned char* out, uint32_t value) {
  out[0] = static_cast<unsigned char>(value >> 24);
  out[1] = static_cast<unsigned char>(value >> 16);
  out[2] = static_cast<unsigned char>(value >> 8);
  out[3] = static_cast<unsigned char>(value);
}

// The two bytes zlib puts before a stream of the default window at level.
void PutZlibHeader(unsigned char* out, int level) {
  const unsigned flags = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
  unsigned header = (Z_DEFLATED + ((15 - 8) << 4)) << 8 | flags << 6;
  header += 31 - header % 31;
  out[0] = static_cast<unsigned char>(header >> 8);
  out[1] = static_cast<unsigned char>(header);
}

// SUB in place: each byte minus the same channel of the pixel to its left,
// from the right so that every left byte is still the original.
void FilterSub(unsigned char* row, size_t bytes) {
  for (size_t i = bytes; i-- > 3;) row[i] = static_cast<unsigned char>(row[i] - row[i - 3]);
}

// Rows with their filter byte in front, as the zlib stream holds them, and
// their compressed form; both point into the block that PngSlices holds.
struct Slice {
  unsigned char* Rows = nullptr;
  size_t RowsSize = 0;
  int32_t RowCount = 0;
  bool Last = false;
  bool Taken = false;
  bool Done = false;
  unsigned char* Deflated = nullptr;
  size_t DeflatedCapacity = 0;
  size_t DeflatedSize = 0;
  uLong Adler = 1;
  std::exception_ptr Error;
};

// Bytes of one compressing thread's zlib memory in the slices' block: its
// compressor and its filter trial's.
constexpr size_t kThreadZlibBytes = 2 * kZlibDeflateBytes;

// One compressing thread's zlib state and filter trial, both in memory.
class SliceDeflater {
 public:
  SliceDeflater(int level, std::byte* memory)
      : memory_(memory, kThreadZlibBytes), choice_(&memory_) {
    memory_.Attach(z_);
    if (deflateInit2(&z_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::bad_alloc();
  }
  ~SliceDeflater() { deflateEnd(&z_); }
  SliceDeflater(const SliceDeflater&) = delete;
  SliceDeflater& operator=(const SliceDeflater&) = delete;

  void Compress(Slice& slice, size_t rowBytes, bool chooseFilter) {
    const size_t stride = rowBytes + 1;
    unsigned char* rows = slice.Rows;
    const int filter = !chooseFilter ? 0 : choice_.Choose(slice.RowCount, rowBytes, [&](int32_t y) {
      return rows + static_cast<size_t>(y) * stride + 1;
    });
    for (int32_t y = 0; y < slice.RowCount; ++y) {
      unsigned char* row = rows + static_cast<size_t>(y) * stride;
      row[0] = static_cast<unsigned char>(filter);
      if (filter == 1) FilterSub(row + 1, rowBytes);
    }
    const size_t bytes = slice.RowsSize;
    slice.Adler = 1;
    for (size_t at = 0; at < bytes; at += kDeflatePiece)
      slice.Adler =
          adler32(slice.Adler, rows + at, static_cast<uInt>(std::min(kDeflatePiece, bytes - at)));
    Deflate(slice, rows, bytes);
  }

 private:
  void Deflate(Slice& slice, unsigned char* rows, size_t bytes) {
    if (deflateReset(&z_) != Z_OK) throw std::runtime_error("the PNG compressor failed");
    size_t out = 0;
    for (size_t at = 0;;) {
      const size_t piece = std::min(kDeflatePiece, bytes - at);
      const bool lastPiece = at + piece == bytes;
      z_.next_in = rows + at;
      z_.avail_in = static_cast<uInt>(piece);
      const int flush = !lastPiece ? Z_NO_FLUSH : slice.Last ? Z_FINISH : Z_SYNC_FLUSH;
      do {
        const size_t room = std::min(kDeflatePiece, slice.DeflatedCapacity - out);
        z_.next_out = slice.Deflated + out;
        z_.avail_out = static_cast<uInt>(room);
        const int result = deflate(&z_, flush);
        if (result == Z_STREAM_ERROR) throw std::runtime_error("the PNG compressor failed");
        out += room - z_.avail_out;
        // The room is the bound of the slice's compressed size.
        if (out == slice.DeflatedCapacity && result != Z_STREAM_END)
          throw std::runtime_error("the PNG compressor needed more room than its bound");
        if (result == Z_STREAM_END) break;
      } while (z_.avail_in > 0 || z_.avail_out == 0);
      at += piece;
      if (lastPiece) break;
    }
    slice.DeflatedSize = out;
  }

  ZlibBlock memory_;
  z_stream z_{};
  PngFilterChoice choice_;
};

}  // namespace

struct PngSlices::State {
  int32_t Width = 0, Height = 0, SliceRows = 0;
  size_t RowBytes = 0;
  int Level = 0;
  bool ChooseFilter = false;
  PngChunkWriter Write;
  int32_t Added = 0;
  int32_t WrittenSlices = 0;
  uLong Adler = 1;
  std::unique_ptr<Slice> Filling;
  std::vector<std::unique_ptr<Slice>> Spare;  // slices free to fill
  ArenaPtr Block;                             // every slice's memory, then the threads' zlib memory
  std::byte* ZlibMemory = nullptr;            // kThreadZlibBytes for each thread

  std::mutex Mutex;
  std::condition_variable Changed;
  std::deque<std::unique_ptr<Slice>> Pending;  // in file order; guarded by Mutex
  bool Stopping = false;                       // guarded by Mutex
  size_t MaxPending = 0;
  std::vector<std::thread> Threads;

  void Run(int32_t thread) {
    std::unique_ptr<SliceDeflater> deflater;
    std::unique_lock lock(Mutex);
    for (;;) {
      Slice* slice = nullptr;
      Changed.wait(lock, [&] {
        if (Stopping) return true;
        for (const auto& s : Pending)
          if (!s->Taken) return slice = s.get(), true;
        return false;
      });
      if (!slice) return;
      slice->Taken = true;
      lock.unlock();
      try {
        if (!deflater) {
          deflater = std::make_unique<SliceDeflater>(
              Level, ZlibMemory + static_cast<size_t>(thread) * kThreadZlibBytes);
        }
        deflater->Compress(*slice, RowBytes, ChooseFilter);
      } catch (...) {
        slice->Error = std::current_exception();
      }
      lock.lock();
      slice->Done = true;
      Changed.notify_all();
    }
  }

  // Writes the finished slices at the front, after waiting until no more
  // than keep slices are pending or the first of them is finished.
  void WriteFinished(size_t keep) {
    for (;;) {
      std::unique_ptr<Slice> front;
      {
        std::unique_lock lock(Mutex);
        Changed.wait(lock, [&] { return Pending.size() <= keep || Pending.front()->Done; });
        if (Pending.empty() || !Pending.front()->Done) return;
        front = std::move(Pending.front());
        Pending.pop_front();
      }
      if (front->Error) std::rethrow_exception(front->Error);
      WriteSlice(*front);
      front->RowCount = 0;
      front->Last = front->Taken = front->Done = false;
      Spare.push_back(std::move(front));
    }
  }

  // One IDAT chunk a slice: the zlib header before the first, the Adler-32
  // after the last.
  void WriteSlice(const Slice& slice) {
    const bool first = WrittenSlices == 0;
    unsigned char head[10];
    const size_t headBytes = first ? 10 : 8;
    std::memcpy(head + 4, "IDAT", 4);
    if (first) PutZlibHeader(head + 8, Level);
    Adler = adler32_combine(Adler, slice.Adler, static_cast<z_off_t>(slice.RowsSize));
    unsigned char tail[8];
    const size_t tailBytes = slice.Last ? 8 : 4;
    if (slice.Last) PutBigEndian(tail, static_cast<uint32_t>(Adler));
    const size_t length = headBytes - 8 + slice.DeflatedSize + tailBytes - 4;
    if (length > 0x7FFFFFFF) throw std::runtime_error("a PNG slice is too large");
    PutBigEndian(head, static_cast<uint32_t>(length));
    uLong crc = crc32(0, head + 4, static_cast<uInt>(headBytes - 4));
    crc = crc32(crc, slice.Deflated, static_cast<uInt>(slice.DeflatedSize));
    crc = crc32(crc, tail, static_cast<uInt>(tailBytes - 4));
    PutBigEndian(tail + tailBytes - 4, static_cast<uint32_t>(crc));
    Write(head, headBytes);
    if (slice.DeflatedSize > 0) Write(slice.Deflated, slice.DeflatedSize);
    Write(tail, tailBytes);
    ++WrittenSlices;
  }

  // Stops the threads once they finish the slice in hand.
  void Stop() {
    {
      std::lock_guard lock(Mutex);
      Stopping = true;
    }
    Changed.notify_all();
    for (std::thread& t : Threads) t.join();
    Threads.clear();
  }

  void Submit() {
    {
      std::lock_guard lock(Mutex);
      Pending.push_back(std::move(Filling));
    }
    Changed.notify_all();
  }
};

int32_t PngSlices::DefaultSliceRows(int32_t w) {
  return static_cast<int32_t>(std::clamp<int64_t>(kSlicePixels / std::max(w, 1), 1, INT32_MAX));
}

int32_t PngSlices::SliceRowsAt(int32_t y, int32_t h, int32_t sliceRows) {
  const int32_t into = y % sliceRows;
  if (into != 0) return h - y;  // the second half of the last slice
  const int32_t rows = std::min(sliceRows, h - y);
  return y + rows == h ? rows - rows / 2 : rows;
}

int32_t PngSlices::LastSliceRows(int32_t w, int32_t h) {
  if (h < 1) return 0;
  const int32_t sliceRows = DefaultSliceRows(w);
  return h - (h - 1) / sliceRows * sliceRows;
}

namespace {

int32_t ThreadCount(int32_t asked) {
  const int32_t threads =
      asked > 0 ? asked : static_cast<int32_t>(std::thread::hardware_concurrency());
  return std::clamp(threads, 1, kMaxThreads);
}

// Slices pending while the threads work: enough to keep every thread busy
// while the caller writes.
size_t MaxPending(int32_t threads) { return static_cast<size_t>(threads) * 2; }

// Bytes of a slice of rows rows w pixels wide: the rows, and the bound of
// their compressed form with room for the sync flush's marker, each rounded
// to 64.
size_t SliceBytes(int32_t w, int32_t rows, size_t* rowsBytes) {
  const size_t raw = static_cast<size_t>(rows) * (size_t{3} * static_cast<size_t>(w) + 1);
  *rowsBytes = (raw + 63) & ~size_t{63};
  return *rowsBytes + ((deflateBound(nullptr, raw) + 16 + 63) & ~size_t{63});
}

}  // namespace

int64_t PngSlices::HeldBytes(int32_t w) {
  size_t rowsBytes = 0;
  const size_t slice = SliceBytes(std::max(w, 1), DefaultSliceRows(w), &rowsBytes);
  // The pending slices and the one filling, and each thread's zlib state
  // and filter trial (some hundred KiB).
  const int32_t threads = ThreadCount(0);
  return static_cast<int64_t>((MaxPending(threads) + 1) * slice) + int64_t{threads} * (1 << 20);
}

PngSlices::PngSlices(int32_t w, int32_t h, int level, bool chooseFilter, const PngSlicing& slicing,
                     PngChunkWriter write)
    : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.Width = w, s.Height = h, s.Level = level, s.ChooseFilter = chooseFilter;
  s.RowBytes = static_cast<size_t>(w) * 3;
  s.SliceRows = slicing.SliceRows > 0 ? slicing.SliceRows : DefaultSliceRows(w);
  s.Write = std::move(write);
  const int32_t threads = ThreadCount(slicing.Threads);
  s.MaxPending = MaxPending(threads);
  // One block for the slices (the pending ones and the one filling, or as
  // many as the picture has) and the threads' zlib memory: large enough for
  // huge pages, so that touching it costs few page faults.
  const int64_t sliceCount = (int64_t{h} + s.SliceRows - 1) / s.SliceRows + 1;
  const size_t slots =
      static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(s.MaxPending) + 1, sliceCount));
  size_t rowsBytes = 0;
  const size_t slotBytes = SliceBytes(w, std::min(s.SliceRows, h), &rowsBytes);
  const size_t zlibBytes = static_cast<size_t>(threads) * kThreadZlibBytes;
  s.Block = ArenaAllocate(slots * slotBytes + zlibBytes);
  if (!s.Block) throw std::bad_alloc();
  s.ZlibMemory = s.Block.get() + slots * slotBytes;
  for (size_t i = 0; i < slots; ++i) {
    auto slice = std::make_unique<Slice>();
    slice->Rows = reinterpret_cast<unsigned char*>(s.Block.get()) + i * slotBytes;
    slice->Deflated = slice->Rows + rowsBytes;
    slice->DeflatedCapacity = slotBytes - rowsBytes;
    s.Spare.push_back(std::move(slice));
  }
  s.Threads.reserve(static_cast<size_t>(threads));
  try {
    for (int32_t i = 0; i < threads; ++i) s.Threads.emplace_back([&s, i] { s.Run(i); });
  } catch (...) {
    s.Stop();
    throw;
  }
}

PngSlices::~PngSlices() { state_->Stop(); }

void PngSlices::AddRows(const uint32_t* pixels, int32_t rows) {
  State& s = *state_;
  const size_t stride = s.RowBytes + 1;
  for (int32_t y = 0; y < rows;) {
    if (!s.Filling) {
      if (s.Spare.empty()) throw std::logic_error("no PNG slice free");
      s.Filling = std::move(s.Spare.back());
      s.Spare.pop_back();
      const int32_t count = SliceRowsAt(s.Added, s.Height, s.SliceRows);
      s.Filling->RowsSize = static_cast<size_t>(count) * stride;
      s.Filling->Last = s.Added + count == s.Height;
    }
    Slice& slice = *s.Filling;
    const int32_t count = static_cast<int32_t>(slice.RowsSize / stride);
    const int32_t take = std::min(rows - y, count - slice.RowCount);
    for (int32_t i = 0; i < take; ++i)
      UnpackRow(pixels + static_cast<ptrdiff_t>(y + i) * s.Width, s.Width, false,
                slice.Rows + static_cast<size_t>(slice.RowCount + i) * stride + 1);
    slice.RowCount += take;
    s.Added += take;
    y += take;
    if (slice.RowCount == count) {
      s.Submit();
      s.WriteFinished(s.MaxPending);
    }
  }
}

void PngSlices::Finish() {
  State& s = *state_;
  if (s.Added != s.Height || s.Filling) throw std::logic_error("PNG rows missing at the end");
  s.WriteFinished(0);
  static const unsigned char kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  s.Write(kEnd, sizeof kEnd);
}

}  // namespace qv
