// qvell zoom at the edges of the doubles and of the file system: scales
// that span the whole range of doubles, and frame folders that do not exist
// yet. They run the built binary.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"

namespace qv::test {
namespace {

// The value after "Key: " in a printed project.
std::string Field(const std::string& text, const std::string& key) {
  for (const std::string& line : Lines(text)) {
    const size_t at = line.find(key + ": ");
    if (at != std::string::npos) return line.substr(at + key.size() + 2);
  }
  return "";
}

TEST(QVZoom, ScalesAcrossTheWholeRangeOfDoublesStepGeometrically) {
  ScratchDir dir;
  const int frames = 7;
  for (const bool in : {true, false}) {
    const double from = in ? 1e300 : 1e-300, to = in ? 1e-300 : 1e300;
    const std::string fromText = in ? "1e300" : "1e-300", toText = in ? "1e-300" : "1e300";
    WriteBytes(dir.File("p.qvl"), ReplaceFirst(DefaultProjectText(), "Scale: 4", "Scale: " + fromText));
    for (int k = 0; k < frames; ++k) {
      const ProcessResult printed =
          RunQvell({"zoom", dir.File("p.qvl"), "--to", "0.25,-0.5", "--scale", toText, "--frames",
                    std::to_string(frames), "--print-frame", std::to_string(k)});
      ASSERT_EQ(printed.ExitCode, 0) << printed.Describe();
      const double scale = std::stod(Field(printed.Out, "Scale"));
      // 10^(300 - 100 k) one way, 10^(-300 + 100 k) the other.
      const double exponent = std::log10(from) + (std::log10(to) - std::log10(from)) * k / (frames - 1);
      EXPECT_NEAR(std::log10(scale), exponent, 1e-9) << "frame " << k << " scale " << scale;
      if (k == 0 || k == frames - 1) {
        EXPECT_EQ(scale, k == 0 ? from : to);
      }
      const std::string viewpoint = Field(printed.Out, "Viewpoint");
      EXPECT_EQ(viewpoint.find("nan"), std::string::npos) << viewpoint;
      EXPECT_EQ(viewpoint.find("inf"), std::string::npos) << viewpoint;
    }
  }
}

// --to keeps every digit it is given: the last frame of a deep zoom is centred
// on them, and the frames between carry the digits their scales need.
TEST(QVZoom, ADeepTargetKeepsItsDigits) {
  const std::string target =
      "-1.5436890126920763615708559718017479865252032976509839352408040378311686739279738664852";
  const std::string project = QV_EXAMPLES_DIR "/deep-1e100.qvl";
  const ProcessResult last = RunQvell({"zoom", project, "--to", target + ",0", "--scale", "1E-110",
                                       "--frames", "3", "--print-frame", "2"});
  ASSERT_EQ(last.ExitCode, 0) << last.Describe();
  EXPECT_EQ(Field(last.Out, "Viewpoint"), "(" + target + ", 0)");
  EXPECT_EQ(Field(last.Out, "Scale"), "1E-110");
  const ProcessResult middle = RunQvell({"zoom", project, "--to", target + ",0", "--scale",
                                         "1E-110", "--frames", "3", "--print-frame", "1"});
  ASSERT_EQ(middle.ExitCode, 0) << middle.Describe();
  EXPECT_NEAR(std::log10(std::stod(Field(middle.Out, "Scale"))), -105, 1e-9);
  // 1E-105 wide: the centre has about 105 + 10 digits, the first 85 the target's.
  EXPECT_EQ(Field(middle.Out, "Viewpoint").rfind("(" + target.substr(0, 86), 0), 0u) << middle.Out;
  EXPECT_GT(Field(middle.Out, "Viewpoint").size(), 110u);
}

TEST(QVZoom, FrameFoldersAreCreatedOrTheirProblemTold) {
  ScratchDir dir;
  WriteBytes(dir.File("p.qvl"), ReplaceFirst(ReplaceFirst(DefaultProjectText(), "Width: 320", "Width: 8"),
                                             "Height: 320", "Height: 6"));
  const std::vector<std::string> zoom = {"zoom",    dir.File("p.qvl"), "--to",     "0,0",
                                         "--scale", "1",               "--frames", "2"};
  std::vector<std::string> nested = zoom;
  nested.insert(nested.end(), {"-o", dir.File("new/deeper/f%d.png")});
  const ProcessResult made = RunQvell(nested);
  EXPECT_EQ(made.ExitCode, 0) << made.Describe();
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.File("new/deeper/f0.png")));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.File("new/deeper/f1.png")));
  WriteBytes(dir.File("plain"), "a file, not a folder");
  std::vector<std::string> blocked = zoom;
  blocked.insert(blocked.end(), {"-o", dir.File("plain/f%d.png")});
  const ProcessResult refused = RunQvell(blocked);
  EXPECT_EQ(refused.ExitCode, 3) << refused.Describe();
  EXPECT_TRUE(refused.Err.starts_with("qvell: error: frame 0: cannot create the folder \"" +
                                      dir.File("plain") + "\""))
      << refused.Describe();
}

}  // namespace
}  // namespace qv::test
