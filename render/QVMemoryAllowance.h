#pragma once
// How much memory a render may use, and why: the --memory option, the memory
// the system has available, and the process's own limits (ulimit -v, the
// address space, and ulimit -d, the data segment), whichever allows least.
// A limit counts every mapping of the process, so what the program already
// maps and what its threads will reserve (stacks, allocator arenas) is taken
// off it. Any thread.
#include <cstdint>
#include <string>

namespace qv {

/// The bytes a render may use and where that number comes from.
struct MemoryAllowance {
  enum class Source { Option, Available, AddressLimit, DataLimit };
  int64_t Bytes = 0;  ///< for the whole process, as --memory counts it
  Source From = Source::Available;
  int64_t Limit = 0;  ///< the limit itself (AddressLimit, DataLimit)
  int64_t Base = 0;   ///< of Bytes, what the process is counted to take itself
};

/// The allowance for a process of threads threads besides the main one;
/// given is --memory in bytes (0: not given). base is what the process is
/// counted to take besides the render's bands (within Bytes).
MemoryAllowance AllowedMemory(int64_t given, int64_t threads, int64_t base);

/// A size for a message: bytes or KiB under 1 MiB, else whole MiB, rounded
/// up (a need) or down (an allowance), so that a need above an allowance
/// never reads as the same or less.
std::string MemoryText(int64_t bytes, bool roundUp);

/// The refusal of a render that needs needed bytes (with the process's own
/// share) beyond allowance: what is needed, what is allowed and why, and
/// what to do. what names the thing refused, e.g. "a band of one row of the
/// 100 x 100 picture".
std::string MemoryRefusal(const std::string& what, int64_t needed,
                          const MemoryAllowance& allowance);

}  // namespace qv
