// Feeds arbitrary bytes to join's part reader as the right half of a 16 x 4
// picture whose left half is a valid part. The join reads both, checks them
// and copies their rows twice: through the files kept open since the check,
// and through files opened again and checked again. Whatever the bytes, it
// must not crash or allocate for a width the join does not have, and as the
// bytes do not change between the opens, both copies must end alike: the
// same pixels, or the same refusal.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/QVPictureJoin.h"
#include "image/QVPictureStream.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "JoinPart_fuzz: %s\n%s\n", what, detail.c_str());
  __builtin_trap();
}

// Keeps the rows written to it.
class RowsKept : public qv::PictureStream {
 public:
  RowsKept(int32_t w, int32_t h) : PictureStream("", w, h) {}
  std::vector<uint32_t> Pixels;

 private:
  void Encode(const uint32_t* pixels, int32_t, int32_t rows) override {
    Pixels.insert(Pixels.end(), pixels, pixels + static_cast<size_t>(rows) * Width());
  }
  void Complete() override {}
};

// A file in memory holding bytes, named by a path every open reads from the start.
class MemoryFile {
 public:
  MemoryFile(const void* bytes, size_t size) : fd_(memfd_create("part", 0)) {
    if (fd_ < 0 || write(fd_, bytes, size) != static_cast<ssize_t>(size)) {
      Fail("cannot make a file in memory", "");
    }
  }
  ~MemoryFile() { close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

// The left half: 8 x 4 pixels at 0,0 of 16 x 4, written by the PNG writer.
const MemoryFile& LeftHalf() {
  static const MemoryFile* left = [] {
    char dir[] = "/tmp/qv-join-fuzz-XXXXXX";
    if (!mkdtemp(dir)) Fail("cannot make a directory", dir);
    const std::string path = std::string(dir) + "/left.png";
    qv::PictureFileOptions options;
    options.Texts = {{qv::kRegionKeyword, "0,0,8,4 of 16x4"}};
    const auto out = qv::OpenPictureStream(path, qv::PictureFormat::Png, 8, 4, options);
    std::vector<uint32_t> pixels(8 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x10305);
    out->WriteRows(pixels.data(), 4);
    out->Finish();
    std::FILE* in = std::fopen(path.c_str(), "rb");
    std::string bytes(4096, '\0');
    bytes.resize(in ? std::fread(bytes.data(), 1, bytes.size(), in) : 0);
    if (in) std::fclose(in);
    std::remove(path.c_str());
    rmdir(dir);
    return new MemoryFile(bytes.data(), bytes.size());
  }();
  return *left;
}

// The pixels of the join, or "refused: " and why.
std::string Join(const std::vector<std::string>& paths, size_t keepOpen) {
  try {
    qv::PictureJoin join(paths, keepOpen);
    if (!join.Problem().empty()) return "refused: " + join.Problem();
    RowsKept out(join.Width(), join.Height());
    if (!join.Copy(out)) Fail("the copy stopped with nothing to stop it", "");
    if (out.Pixels.size() != 16 * 4) Fail("the copy wrote the wrong number of pixels", "");
    return std::string(reinterpret_cast<const char*>(out.Pixels.data()), out.Pixels.size() * 4);
  } catch (const qv::JoinError& e) {
    return std::string("refused: ") + e.what();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const MemoryFile right(data, size);
  const std::vector<std::string> paths = {LeftHalf().Path(), right.Path()};
  const std::string kept = Join(paths, 2);
  const std::string reopened = Join(paths, 0);
  if (kept != reopened) Fail("a part opened again ends otherwise than one kept open", kept + "\n" + reopened);
  return 0;
}
