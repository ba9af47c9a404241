// Every project in examples/ renders through qvell, without a word on
// standard error, to exactly the picture the engine computes in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "engine/QVGenerator.h"
#include "engine/deep/QVDeepKernel.h"
#include "engine/kernels/QVGeneratorKernel.h"

namespace qv::test {
namespace {

std::vector<std::string> ExampleProjects() {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(QV_EXAMPLES_DIR)) {
    if (entry.path().extension() == ".qvl") paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

TEST(QVExamples, EveryExampleRendersToTheEnginePicture) {
  const std::vector<std::string> projects = ExampleProjects();
  EXPECT_GE(projects.size(), 6u);
  ScratchDir dir;
  for (const std::string& project : projects) {
    SCOPED_TRACE(project);
    const ProcessResult run = RunQvell({"render", project, "-o", dir.File("out.png")});
    ASSERT_EQ(run.ExitCode, 0) << run.Describe();
    EXPECT_EQ(run.Err, "");
    std::string problem;
    const DecodedPicture picture = ReadPngFile(dir.File("out.png"), problem);
    ASSERT_TRUE(problem.empty()) << problem;
    EXPECT_EQ(PictureDifference(picture, EnginePicture(ReadBytes(project), 2)), "");
  }
}

// The deep example, at scale 1e-100, is a detailed picture: at least 1,000
// distinct colours, and no square of 3 x 3 pixels of one colour but inside
// the set (the pixels whose count reached the depth), where the doubles'
// blocks would show.
TEST(QVExamples, TheDeepExampleAtScale1e100IsDetailed) {
  QVMain main;
  main.SetWorkers(2);
  const ReadResult read =
      ReadProject(main, ReadBytes(std::string(QV_EXAMPLES_DIR) + "/deep-1e100.qvl"));
  ASSERT_TRUE(read.Ok) << read.Describe();
  EXPECT_EQ(main.Parameter.Scale(), 1e-100);
  const QVGenerator& generator = *main.Graph().Generators.front();
  ASSERT_EQ(GeneratorKernel(generator).Level(), GeneratorKernelLevel::Deep);
  ASSERT_TRUE(main.RunPass());
  const QVRGBField& colours = main.Graph().Mixers.back()->RGBField;
  const QVFractalField& records = generator.FractalField;
  ASSERT_EQ(colours.Width, records.Width);
  ASSERT_EQ(colours.Height, records.Height);
  const int32_t w = colours.Width, h = colours.Height;
  ASSERT_GE(w * h, 320 * 240);

  std::set<int32_t> distinct;
  int64_t inside = 0;
  for (int32_t y = 0; y < h; ++y) {
    distinct.insert(colours.Row(y), colours.Row(y) + w);
    for (int32_t x = 0; x < w; ++x) inside += records.Pixel(x, y).Count >= generator.Depth();
  }
  EXPECT_GE(distinct.size(), 1000u);
  EXPECT_LT(inside, int64_t{w} * h / 2) << "the set fills the picture";

  int64_t blocks = 0;
  std::string first;
  for (int32_t y = 0; y + 3 <= h; ++y) {
    for (int32_t x = 0; x + 3 <= w; ++x) {
      bool same = true, allInside = true;
      for (int32_t dy = 0; dy < 3; ++dy) {
        for (int32_t dx = 0; dx < 3; ++dx) {
          same = same && colours.Row(y + dy)[x + dx] == colours.Row(y)[x];
          allInside = allInside && records.Pixel(x + dx, y + dy).Count >= generator.Depth();
        }
      }
      if (!same || allInside) continue;
      if (blocks++ == 0) first = std::to_string(x) + "," + std::to_string(y);
    }
  }
  EXPECT_EQ(blocks, 0) << "3 x 3 squares of one colour outside the set, the first at " << first;
}

}  // namespace
}  // namespace qv::test
