#pragma once
// Helpers shared by the picture-file tests: a scratch directory, file
// listing and reading, random pictures, and a file-size limit that makes any
// write past it fail the way a full disk does.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/QVField.h"
#include "engine/QVPicture.h"

namespace qv::test {

/// A fresh empty directory, removed with its contents at the end of the test.
class ScratchDir {
 public:
  ScratchDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("qv-image-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

  /// Names of every entry, hidden ones included.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

/// A w x h field of random colours, reproducible from seed.
inline void FillRandom(QVRGBField& field, int32_t w, int32_t h, uint32_t seed) {
  field.Resize(w, h);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int32_t> channel(0, 255);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const int32_t r = channel(random);
      const int32_t g = channel(random);
      field.Put(x, y, PackRGB(r, g, channel(random)));
    }
  }
}

/// While alive, writing beyond `bytes` into any file fails with EFBIG, as a
/// full disk would fail, instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_limit_);
    rlimit limit = old_limit_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_limit_);
    std::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_limit_{};
  void (*old_handler_)(int) = nullptr;
};

/// The message of the std::runtime_error thrown by f, or "" when f throws
/// nothing.
template <typename F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

/// Packed pixels of a decoded picture, for comparison with the source field.
struct DecodedPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<int32_t> Pixels;  // row-major, row 0 at the top
  int32_t At(int32_t x, int32_t y) const {
    return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
  }
};

/// The first pixel where decoded and field differ, or "" when none does.
inline std::string FirstDifference(const DecodedPicture& decoded, const QVRGBField& field) {
  if (decoded.Width != field.Width || decoded.Height != field.Height) {
    return "size " + std::to_string(decoded.Width) + " x " + std::to_string(decoded.Height);
  }
  for (int32_t y = 0; y < field.Height; ++y) {
    for (int32_t x = 0; x < field.Width; ++x) {
      if (decoded.At(x, y) != field.Pixel(x, y)) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
      }
    }
  }
  return "";
}

/// Writes random pictures of several odd sizes to dir/name with
/// write(path, field) and expects read(path, label) to give back every pixel;
/// only that one file is left in dir afterwards.
template <typename Write, typename Read>
void ExpectExactRoundTrips(const ScratchDir& dir, const std::string& name, Write write, Read read) {
  const int32_t sizes[][2] = {{1, 1}, {3, 2}, {5, 7}, {17, 3}, {4, 4}, {2, 9}, {64, 33}};
  uint32_t seed = 1;
  for (const auto& size : sizes) {
    const std::string label = std::to_string(size[0]) + " x " + std::to_string(size[1]);
    QVRGBField field;
    FillRandom(field, size[0], size[1], seed++);
    const std::string path = dir.File(name);
    write(path, field);
    const DecodedPicture decoded = read(path, label);
    EXPECT_EQ(FirstDifference(decoded, field), "") << label;
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{name});
}

}  // namespace qv::test
