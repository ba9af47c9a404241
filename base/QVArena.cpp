#include "base/QVArena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

namespace qv {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Blocks from half a huge page on take a whole one: one fault and 2 MiB of
// clearing cost less than the 256 to 512 faults of small pages (each some
// microseconds on a virtual machine), and such blocks (a field of a band of
// rows) come back for the next band anyway.
constexpr size_t kHugeFromBytes = kHugePage / 2;
constexpr std::align_val_t kAlignment{64};  // a cache line

size_t RoundUp(size_t bytes, size_t step) { return (bytes + step - 1) / step * step; }

// A block of bytes from the system; null when the system refuses. A block of
// whole huge pages is aligned to a huge page and asks to be backed by them.
std::byte* MapBlock(size_t bytes) {
  if (bytes < kHugePage) {
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : static_cast<std::byte*>(block);
  }
  const size_t mapped = bytes + kHugePage;
  void* start = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (start == MAP_FAILED) return nullptr;
  const uintptr_t address = reinterpret_cast<uintptr_t>(start);
  const uintptr_t aligned = RoundUp(address, kHugePage);
  // The unaligned head and the tail past the block go back at once.
  if (aligned > address) munmap(start, aligned - address);
  const size_t tail = mapped - (aligned - address) - bytes;
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
  auto* block = reinterpret_cast<std::byte*>(aligned);
  // Only a hint: without huge pages the block works the same.
  madvise(block, bytes, MADV_HUGEPAGE);
  return block;
}

class Arena {
 public:
  // A kept block of at least bytes and at most about twice that, the
  // smallest such, with its size; null when there is none.
  std::byte* Take(size_t bytes, size_t& size) {
    const std::lock_guard<std::mutex> guard(lock_);
    auto best = free_.end();
    for (auto it = free_.begin(); it != free_.end(); ++it) {
      if (it->Bytes < bytes || it->Bytes > 2 * bytes) continue;
      if (best == free_.end() || it->Bytes < best->Bytes) best = it;
    }
    if (best == free_.end()) return nullptr;
    std::byte* block = best->Block;
    size = best->Bytes;
    kept_ -= best->Bytes;
    free_.erase(best);
    return block;
  }

  // Keeps block, dropping the oldest kept blocks past the limit.
  void Keep(std::byte* block, size_t bytes) {
    std::vector<Free> dropped;
    {
      const std::lock_guard<std::mutex> guard(lock_);
      free_.push_back({block, bytes});
      kept_ += bytes;
      while (kept_ > kArenaKeptBytes) {
        dropped.push_back(free_.front());
        kept_ -= free_.front().Bytes;
        free_.erase(free_.begin());
      }
    }
    for (const Free& f : dropped) munmap(f.Block, f.Bytes);
  }

  // Gives every kept block back to the system.
  void Drop() {
    std::vector<Free> dropped;
    {
      const std::lock_guard<std::mutex> guard(lock_);
      dropped.swap(free_);
      kept_ = 0;
    }
    for (const Free& f : dropped) munmap(f.Block, f.Bytes);
  }

  size_t Kept() {
    const std::lock_guard<std::mutex> guard(lock_);
    return kept_;
  }

 private:
  struct Free {
    std::byte* Block;
    size_t Bytes;
  };
  std::mutex lock_;
  std::vector<Free> free_;  // oldest first
  size_t kept_ = 0;
};

// Never destroyed: blocks may come back while the process ends.
Arena& TheArena() {
  static Arena* arena = new Arena;
  return *arena;
}

}  // namespace

void ArenaRelease::operator()(std::byte* block) const {
  if (!block) return;
  if (Bytes < kArenaMinBytes) {
    ::operator delete[](block, kAlignment);
    return;
  }
  TheArena().Keep(block, Bytes);
}

ArenaPtr ArenaAllocate(size_t bytes) {
  if (bytes < kArenaMinBytes) {
    void* block = ::operator new[](std::max<size_t>(bytes, 1), kAlignment, std::nothrow);
    return ArenaPtr(static_cast<std::byte*>(block), ArenaRelease{bytes});
  }
  if (bytes > SIZE_MAX / 2 - kHugePage) return ArenaPtr(nullptr, ArenaRelease{});
  const size_t rounded = RoundUp(bytes, bytes < kHugeFromBytes ? kArenaMinBytes : kHugePage);
  size_t size = 0;
  if (std::byte* kept = TheArena().Take(rounded, size)) return ArenaPtr(kept, ArenaRelease{size});
  std::byte* block = MapBlock(rounded);
  if (!block) {
    TheArena().Drop();
    block = MapBlock(rounded);
  }
  return ArenaPtr(block, ArenaRelease{block ? rounded : 0});
}

size_t ArenaKeptBytes() { return TheArena().Kept(); }

}  // namespace qv
