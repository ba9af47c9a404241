// Feeds arbitrary bytes to the project reader as project text. Whatever the
// text, reading must not crash, hang or leak, and a failed read must leave
// the project as it was. A text that reads is written again, and that text
// must read back to itself: the reader and the writer agree on every project
// the reader can build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/QVMain.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "ReadProject_fuzz: %s\n%s\n", what, detail.c_str());
  __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QVMain main;  // one engine for the whole run, as in the editor
  const std::string before = qv::WriteProject(main);
  const qv::ReadResult result =
      qv::ReadProject(main, std::string(reinterpret_cast<const char*>(data), size));
  if (!result.Ok) {
    if (result.Line < 1 || result.Column < 1 || result.Message.empty()) {
      Fail("a failure without a place or a message", result.Describe());
    }
    if (qv::WriteProject(main) != before) Fail("a failed read changed the project", before);
    return 0;
  }
  const std::string written = qv::WriteProject(main);
  const qv::ReadResult again = qv::ReadProject(main, written);
  if (!again.Ok) Fail("the written text does not read", again.Describe() + "\n" + written);
  if (qv::WriteProject(main) != written) Fail("the written text reads differently", written);
  return 0;
}
