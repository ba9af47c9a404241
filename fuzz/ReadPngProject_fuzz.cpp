// Feeds arbitrary bytes to the reader of the project a PNG carries, as a
// stream (the way a pipe gives them). Whatever the bytes, it must give the
// project text or refuse them with a PngReadError that says why; never crash,
// hang or allocate beyond the project limit. A text it gives is valid UTF-8
// within the limit, without a byte order mark, CR or control characters.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "image/QVPngReader.h"
#include "source/QVProjectFile.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "ReadPngProject_fuzz: %s\n%s\n", what, detail.c_str());
  __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Inputs without the signature are read as what follows it, so that every
  // input reaches the chunks.
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!qv::HasPngSignature(bytes)) bytes.insert(0, "\x89PNG\r\n\x1A\n");
  std::FILE* in = fmemopen(bytes.data(), bytes.size(), "rb");
  if (!in) return 0;
  std::fseek(in, 8, SEEK_SET);
  try {
    const std::string text = qv::ReadPngProject(in);
    if (text.size() > qv::kMaxProjectBytes) Fail("a text over the limit", std::to_string(text.size()));
    if (!qv::IsValidUtf8(text)) Fail("a text that is not UTF-8", text);
    if (text.starts_with(qv::kByteOrderMark) || text.find('\r') != std::string::npos ||
        !qv::ControlCharacterProblem(text).empty()) {
      Fail("a text with a byte order mark, a CR or a control character", text);
    }
  } catch (const qv::PngReadError& e) {
    if (std::string(e.what()).empty()) Fail("a refusal without a reason", "");
  }
  std::fclose(in);
  return 0;
}
