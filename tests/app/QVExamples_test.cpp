// Every project in examples/ renders through qvell, without a word on
// standard error, to exactly the picture the engine computes in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"

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

}  // namespace
}  // namespace qv::test
