#include "image/QVPngFilterChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "image/QVPngWriter.h"

namespace {

using qv::test::DecodedPicture;
using qv::test::ScratchDir;

// Engine colour of pixel (x, y) of a test picture: bands of 40 rows, every
// other band (from the first) above split a noise of four colours (what no
// filter compresses best: SUB would turn four colours into sixteen
// differences), the others a smooth gradient across the row (what SUB
// compresses best: every step to the left is the same small difference).
int32_t TestColor(int32_t x, int32_t y, int32_t split) {
  if ((y / 40) % 2 == 0 && y < split) {
    static const int32_t colors[] = {PackRGB(10, 20, 30), PackRGB(200, 40, 90), PackRGB(90, 250, 7),
                                     PackRGB(33, 33, 200)};
    const uint32_t hash = (static_cast<uint32_t>(x) * 2654435761u) ^
                          (static_cast<uint32_t>(y) * 40503u + 0x9E3779B9u);
    return colors[(hash >> 13) % 4];
  }
  return PackRGB(x % 256, (x / 2 + y) % 256, (3 * x) % 256);
}

std::vector<unsigned char> RgbRow(int32_t w, int32_t y, int32_t split) {
  std::vector<unsigned char> row;
  for (int32_t x = 0; x < w; ++x) {
    int32_t r, g, b;
    UnpackRGB(TestColor(x, y, split), r, g, b);
    row.insert(row.end(), {static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                           static_cast<unsigned char>(b)});
  }
  return row;
}

TEST(QVPngFilterChoice, FlatBandsTakeNoFilterAndGradientsTakeSub) {
  qv::PngFilterChoice choice;
  const int32_t w = 300;
  const struct {
    int32_t First, Split;
    int Filter;
  } cases[] = {{0, 1000, 0}, {0, 0, 1}, {40, 1000, 1}, {80, 1000, 0}};
  for (const auto& c : cases) {
    std::vector<std::vector<unsigned char>> rows;
    for (int32_t y = c.First; y < c.First + 40; ++y) rows.push_back(RgbRow(w, y, c.Split));
    EXPECT_EQ(choice.Choose(40, rows[0].size(), [&](int32_t i) { return rows[i].data(); }),
              c.Filter)
        << "rows from " << c.First << ", split " << c.Split;
  }
}

// Slices of both kinds in one file, each with its own filter, quick or not:
// the file decodes to the picture.
TEST(QVPngFilterChoice, SlicesOfEitherFilterReadBackExactly) {
  ScratchDir dir;
  const int32_t w = 257, h = 203;
  QVRGBField field;
  field.Resize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) field.Put(x, y, TestColor(x, y, 160));
  const QVPictureRef picture = qv::PictureOf(field);
  for (bool fast : {false, true}) {
    const std::string path = dir.File(fast ? "fast.png" : "chosen.png");
    auto stream = qv::OpenPngStream(path, w, h, {}, fast);
    for (int32_t y = 0; y < h; y += 40) stream->WriteRows(picture->Row(y), std::min(40, h - y));
    stream->Finish();
    std::string problem;
    const DecodedPicture decoded = qv::test::ReadPngFile(path, problem);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(qv::test::FirstDifference(decoded, field), "") << (fast ? "fast" : "chosen");
  }
}

}  // namespace
