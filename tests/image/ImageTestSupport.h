#pragma once
// Helpers shared by the picture-file tests: random pictures and their
// comparison with decoded files, on top of the scratch files.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/QVField.h"
#include "engine/QVPicture.h"
#include "support/QVTestPictures.h"
#include "support/ScratchFiles.h"

namespace qv::test {

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
