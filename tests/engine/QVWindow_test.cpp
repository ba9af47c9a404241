// The parameters' window: a generator computes just a rectangle of the
// picture, each pixel at the plane point it has in the whole picture.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVParameter.h"
#include "engine/kernels/QVGeneratorKernel.h"

namespace {

using qv::GeneratorKernelLevel;
using qv::PixelRect;

TEST(QVParameter, ComputedRectIsTheWindowClippedOrTheWholePicture) {
  QVParameter p;
  p.ChangeWidth(40);
  p.ChangeHeight(30);
  EXPECT_EQ(p.ComputedRect(), (PixelRect{0, 0, 40, 30}));
  p.ChangeWindow({5, 6, 7, 8});
  EXPECT_EQ(p.ComputedRect(), (PixelRect{5, 6, 7, 8}));
  p.ChangeWindow({35, 25, 10, 10});
  EXPECT_EQ(p.ComputedRect(), (PixelRect{35, 25, 5, 5}));
  p.ChangeWindow({40, 0, 3, 3});
  EXPECT_TRUE(p.ComputedRect().Empty());
}

// Every pixel of a window's field equals that pixel of the whole field, for
// the plain loop and every kernel level this processor runs.
TEST(QVGenerator, AWindowsFieldHoldsThosePixelsOfTheWholeField) {
  QVNodeGraph graph;
  QVParameter p;
  p.ChangeWidth(37);
  p.ChangeHeight(29);
  p.ChangeViewpoint({-0.5, 0.1});
  p.ChangeScale(3.0);
  QVGenerator* g = graph.AddGenerator(&p);
  for (GeneratorKernelLevel level : {GeneratorKernelLevel::Plain, GeneratorKernelLevel::Auto}) {
    qv::ForceGeneratorKernelLevel(level);
    p.ChangeWindow({});
    ASSERT_TRUE(g->Compute(qv::Pass{}));
    QVFractalField whole;
    whole.Resize(37, 29);
    std::memcpy(whole.Row(0), g->FractalField.Row(0), sizeof(FractalPixel) * 37 * 29);
    for (const PixelRect r :
         {PixelRect{0, 0, 1, 1}, PixelRect{3, 4, 20, 11}, PixelRect{36, 0, 1, 29}}) {
      p.ChangeWindow(r);
      ASSERT_TRUE(g->Compute(qv::Pass{}));
      ASSERT_EQ(g->FractalField.Width, r.Width);
      ASSERT_EQ(g->FractalField.Height, r.Height);
      for (int32_t y = 0; y < r.Height; ++y) {
        for (int32_t x = 0; x < r.Width; ++x) {
          const FractalPixel& a = g->FractalField.Pixel(x, y);
          const FractalPixel& b = whole.Pixel(r.X + x, r.Y + y);
          // Bit for bit (the records' padding aside).
          ASSERT_TRUE(std::bit_cast<uint64_t>(a.Z.re) == std::bit_cast<uint64_t>(b.Z.re) &&
                      std::bit_cast<uint64_t>(a.Z.im) == std::bit_cast<uint64_t>(b.Z.im) &&
                      a.Count == b.Count)
              << qv::GeneratorKernelLevelName(level) << " at " << r.X + x << ", " << r.Y + y;
        }
      }
    }
  }
  qv::ForceGeneratorKernelLevel(GeneratorKernelLevel::Auto);
}

}  // namespace
