#pragma once
// The memory of fields and pictures: large blocks kept after use and handed
// out again, so that a render of the same size as the last one (the next band,
// the next frame, the next preview) reuses memory already touched instead of
// paying the kernel for fresh pages; a block that is new asks for transparent
// huge pages when it is large, so touching it costs a fault per 2 MiB instead
// of one per 4 KiB.
//
// The arena keeps at most kArenaKeptBytes of free blocks and gives them all
// back to the system before an allocation that would otherwise fail. Small
// blocks go to the ordinary heap. Thread-safe.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace qv {

/// Free bytes the arena keeps for reuse at most.
inline constexpr size_t kArenaKeptBytes = size_t{256} << 20;
/// Blocks from this size on come from the arena (smaller ones from the heap).
inline constexpr size_t kArenaMinBytes = size_t{64} << 10;

/// Gives a block back to the arena (or the heap); its size as allocated.
struct ArenaRelease {
  size_t Bytes = 0;
  void operator()(std::byte* block) const;
};

using ArenaPtr = std::unique_ptr<std::byte[], ArenaRelease>;

/// A block of at least bytes bytes, aligned to 64, its contents undefined;
/// null when the memory is not there (never throws).
ArenaPtr ArenaAllocate(size_t bytes);

/// Free bytes the arena keeps now.
size_t ArenaKeptBytes();

}  // namespace qv
