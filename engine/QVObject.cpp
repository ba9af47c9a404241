#include "engine/QVObject.h"

#include <atomic>

namespace qv {

namespace {
std::atomic<uint64_t> stampCounter{0};
}

uint64_t NextStamp() { return stampCounter.fetch_add(1, std::memory_order_relaxed) + 1; }

}  // namespace qv

void QVObject::MarkChanged() { stamp_ = qv::NextStamp(); }
