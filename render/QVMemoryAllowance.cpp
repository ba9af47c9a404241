#include "render/QVMemoryAllowance.h"

#include <sys/resource.h>

#include <algorithm>
#include <charconv>
#include <fstream>

#include "engine/QVMain.h"

namespace qv {

namespace {

constexpr int64_t kMiB = int64_t{1} << 20;
// What one thread may reserve of the address space besides its stack: a
// malloc arena (64 MiB on 64-bit systems), mapped whole though little is used.
constexpr int64_t kArenaBytes = 64 * kMiB;

// The soft limit of resource, or -1 when there is none.
int64_t SoftLimit(int resource) {
  struct rlimit limit {};
  if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return -1;
  return static_cast<int64_t>(std::min<rlim_t>(limit.rlim_cur, INT64_MAX));
}

// A "Key:   N kB" line of /proc/self/status in bytes, or fallback.
int64_t StatusBytes(const std::string& key, int64_t fallback) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (!line.starts_with(key + ":")) continue;
    const size_t digits = line.find_first_of("0123456789");
    int64_t kib = 0;
    if (digits == std::string::npos ||
        std::from_chars(line.data() + digits, line.data() + line.size(), kib).ec != std::errc() ||
        kib > INT64_MAX / 1024) {
      return fallback;
    }
    return kib * 1024;
  }
  return fallback;
}

// The allowance a limit leaves: the limit less what the process maps now and
// what its threads will reserve, plus base (which the caller counts as the
// process's own share).
int64_t LeftUnder(int64_t limit, int64_t mapped, int64_t reserve, int64_t base) {
  return std::max<int64_t>(0, limit - std::min(limit, mapped + reserve)) + base;
}

}  // namespace

MemoryAllowance AllowedMemory(int64_t given, int64_t threads, int64_t base) {
  MemoryAllowance allowance;
  allowance.Base = base;
  if (given > 0) {
    allowance.Bytes = given;
    allowance.From = MemoryAllowance::Source::Option;
  } else {
    allowance.Bytes = AvailableMemory();
  }
  int64_t stack = SoftLimit(RLIMIT_STACK);
  if (stack < 0 || stack > 64 * kMiB) stack = 8 * kMiB;
  threads = std::clamp<int64_t>(threads, 0, 1024);
  const struct {
    int Resource;
    MemoryAllowance::Source From;
    const char* Status;
    int64_t PerThread;
  } limits[] = {{RLIMIT_AS, MemoryAllowance::Source::AddressLimit, "VmSize", stack + kArenaBytes},
                {RLIMIT_DATA, MemoryAllowance::Source::DataLimit, "VmData", stack}};
  for (const auto& l : limits) {
    const int64_t limit = SoftLimit(l.Resource);
    if (limit < 0) continue;
    const int64_t left = LeftUnder(limit, StatusBytes(l.Status, base), threads * l.PerThread, base);
    if (left < allowance.Bytes) allowance = {left, l.From, limit, base};
  }
  return allowance;
}

std::string MemoryText(int64_t bytes, bool roundUp) {
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  if (bytes < kMiB) {
    if (bytes % 1024 != 0) return std::to_string(bytes) + " bytes";
    return std::to_string(bytes / 1024) + " KiB";
  }
  const int64_t mib = bytes / kMiB + (roundUp && bytes % kMiB != 0 ? 1 : 0);
  return std::to_string(mib) + " MiB";
}

std::string MemoryRefusal(const std::string& what, int64_t needed,
                          const MemoryAllowance& allowance) {
  const int64_t neededMiB = needed / kMiB + 1;  // enough for --memory, whatever the rounding
  const std::string need = what + " needs " + MemoryText(needed, true) +
                           " of memory with what the process itself takes, but ";
  const std::string allowed = MemoryText(allowance.Bytes, false);
  switch (allowance.From) {
    case MemoryAllowance::Source::Option:
      return need + "--memory allows " + allowed + "; allow at least --memory " +
             std::to_string(neededMiB) + "M, or lower Width";
    case MemoryAllowance::Source::Available:
      return need + "only " + allowed +
             " are available; lower Width, free memory, or allow more with --memory " +
             std::to_string(neededMiB) + "M (the system may then swap)";
    case MemoryAllowance::Source::AddressLimit:
    case MemoryAllowance::Source::DataLimit:
      break;
  }
  // Under a limit the process's own share is what it maps, not a round
  // figure: the message speaks of the picture's part alone.
  const bool address = allowance.From == MemoryAllowance::Source::AddressLimit;
  return what + " needs " + MemoryText(needed - allowance.Base, true) +
         " of memory for its fields, but the process's " +
         (address ? "address-space" : "data-segment") + " limit of " +
         MemoryText(allowance.Limit, false) + " (ulimit " + (address ? "-v" : "-d") +
         ") leaves only " + MemoryText(allowance.Bytes - allowance.Base, false) +
         " once its code, libraries and threads have theirs; raise the limit, or lower Width";
}

}  // namespace qv
