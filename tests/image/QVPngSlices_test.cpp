#include "image/QVPngSlices.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "image/QVPngWriter.h"

namespace {

using qv::test::DecodedPicture;
using qv::test::ScratchDir;

// Runs of twenty rows of noise between runs of smooth gradients, so that the
// slices of one picture take different filters.
void FillMixed(QVRGBField& field, int32_t w, int32_t h, uint32_t seed) {
  qv::test::FillRandom(field, w, h, seed);
  for (int32_t y = 0; y < h; ++y) {
    if ((y / 20) % 2 == 1) continue;
    for (int32_t x = 0; x < w; ++x) field.Put(x, y, PackRGB(x & 255, (x + y) & 255, y & 255));
  }
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t BigEndianAt(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The IDAT chunks of a PNG file joined, as one zlib stream.
std::string JoinedIdat(const std::string& png) {
  std::string joined;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t length = BigEndianAt(png, at);
    if (png.compare(at + 4, 4, "IDAT") == 0) joined += png.substr(at + 8, length);
    at += 12 + size_t{length};
  }
  return joined;
}

// Writes field in bands of bandRows through a PNG stream sliced as asked.
void WriteInBands(const std::string& path, const QVRGBField& field, int32_t bandRows, bool fast,
                  const qv::PngSlicing& slicing) {
  const auto picture = qv::PictureOf(field);
  const auto stream =
      qv::OpenPngStream(path, field.Width, field.Height, {{"Comment", "sliced"}}, fast, slicing);
  for (int32_t y = 0; y < field.Height; y += bandRows)
    stream->WriteRows(picture->Row(y), std::min(bandRows, field.Height - y));
  stream->Finish();
}

TEST(QVPngSlices, EverySlicingDecodesToThePixelsAndThreadsChangeNoByte) {
  struct Case {
    int32_t W, H, SliceRows, BandRows;
  };
  const Case cases[] = {
      {1, 1, 0, 1},    {5, 3, 1, 2},      {37, 41, 4, 7},  {37, 41, 17, 41},
      {300, 70, 0, 9}, {300, 70, 69, 70}, {2, 200, 3, 64}, {1000, 5, 2, 1},
  };
  ScratchDir dir;
  uint32_t seed = 11;
  for (const Case& c : cases) {
    QVRGBField field;
    FillMixed(field, c.W, c.H, seed++);
    for (const bool fast : {false, true}) {
      std::string single;
      for (const int32_t threads : {1, 2, 3, 8}) {
        const std::string label = std::to_string(c.W) + " x " + std::to_string(c.H) +
                                  ", slices of " + std::to_string(c.SliceRows) + " rows, " +
                                  std::to_string(threads) + " threads" + (fast ? ", fast" : "");
        const std::string path = dir.File("sliced.png");
        WriteInBands(path, field, c.BandRows, fast, {threads, c.SliceRows});
        // libpng reads the pixels back exactly ...
        std::string problem, format;
        const DecodedPicture decoded = qv::test::ReadPngFile(path, problem, &format);
        EXPECT_EQ(problem, "") << label;
        EXPECT_EQ(format, "8 RGB") << label;
        EXPECT_EQ(qv::test::FirstDifference(decoded, field), "") << label;
        // ... zlib takes the joined slices as one stream with a right Adler-32 ...
        const std::string bytes = FileBytes(path);
        const std::string idat = JoinedIdat(bytes);
        const size_t rowBytes = size_t{3} * static_cast<size_t>(c.W) + 1;
        std::vector<unsigned char> raw(rowBytes * static_cast<size_t>(c.H) + 1);
        uLongf rawSize = raw.size();
        EXPECT_EQ(uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(idat.data()),
                             idat.size()),
                  Z_OK)
            << label;
        EXPECT_EQ(rawSize, rowBytes * static_cast<size_t>(c.H)) << label;
        // ... and the file does not depend on the number of threads.
        if (threads == 1) single = bytes;
        EXPECT_TRUE(bytes == single) << label;
      }
    }
  }
}

// Walking the slices from the top covers every row once: slices of
// sliceRows rows on multiples of it, then the last stretch of rows in two
// halves (the first the larger), of which LastSliceRows gives the total.
TEST(QVPngSlices, SlicesTileThePictureAndTheLastIsCutInTwo) {
  for (int32_t h = 1; h <= 70; ++h) {
    for (int32_t sliceRows = 1; sliceRows <= 24; ++sliceRows) {
      std::vector<int32_t> slices;
      for (int32_t y = 0; y < h && slices.size() <= static_cast<size_t>(h);) {
        slices.push_back(qv::PngSlices::SliceRowsAt(y, h, sliceRows));
        ASSERT_GT(slices.back(), 0) << h << " " << sliceRows << " at " << y;
        y += slices.back();
      }
      const int32_t stretch =
          h - (h - 1) / sliceRows * sliceRows;  // rows after the last full slice
      const size_t halves = stretch >= 2 ? 2 : 1;
      ASSERT_GE(slices.size(), halves);
      int32_t total = 0;
      for (size_t i = 0; i + halves < slices.size(); ++i) {
        EXPECT_EQ(slices[i], sliceRows) << h << " " << sliceRows << " slice " << i;
        total += slices[i];
      }
      const int32_t first = slices[slices.size() - halves],
                    second = halves == 2 ? slices.back() : 0;
      EXPECT_EQ(first + second, stretch) << h << " " << sliceRows;
      EXPECT_TRUE(first - second == 0 || first - second == 1) << h << " " << sliceRows;
      EXPECT_EQ(total + stretch, h) << h << " " << sliceRows;
    }
  }
  // The default slicing's last slice, for a render that gives it a band.
  EXPECT_EQ(qv::PngSlices::LastSliceRows(1024, 1024), 256);
  EXPECT_EQ(qv::PngSlices::LastSliceRows(1024, 1000), 1000 - 768);
  EXPECT_EQ(qv::PngSlices::LastSliceRows(320, 320), 320);
}

TEST(QVPngSlices, FileDoesNotDependOnTheBands) {
  ScratchDir dir;
  QVRGBField field;
  FillMixed(field, 64, 300, 5);
  WriteInBands(dir.File("whole.png"), field, 300, false, {2, 0});
  WriteInBands(dir.File("rows.png"), field, 1, false, {2, 0});
  WriteInBands(dir.File("bands.png"), field, 37, false, {2, 0});
  const std::string whole = FileBytes(dir.File("whole.png"));
  EXPECT_TRUE(FileBytes(dir.File("rows.png")) == whole);
  EXPECT_TRUE(FileBytes(dir.File("bands.png")) == whole);
}

}  // namespace
