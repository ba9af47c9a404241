#include "engine/QVObject.h"

#include <atomic>

namespace qv {

namespace {
std::atomic<uint64_t> stampCounter{0};
}

uint64_t NextStamp() { return stampCounter.fetch_add(1, std::memory_order_relaxed) + 1; }

std::string WriteBlock(const QVObject& object, const std::string& indent) {
  return object.Name + "\n" + indent + "{\n" + object.WriteSource(indent + "\t") + indent +
         "}\n\n";
}

bool ReadBlock(QVObject& object, SourceText& text) {
  object.Name = ReadWord(text);
  SkipWhitespace(text);
  if (ExpectChar(text, '{')) return true;
  SkipWhitespace(text);
  if (object.ReadSource(text)) return true;
  if (ExpectChar(text, '}')) return true;
  SkipWhitespace(text);
  return false;
}

}  // namespace qv

void QVObject::MarkChanged() {
  Stamp = qv::NextStamp();
}
