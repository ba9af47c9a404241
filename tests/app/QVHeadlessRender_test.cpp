// End-to-end tests of qvell render: the pictures it writes, held pixel by
// pixel against the engine run in this process, and every way a render or
// its output can fail. They run the built binary.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "source/QVProjectFile.h"

namespace qv::test {
namespace {

// A project file in dir holding the default project with Width and Height
// replaced.
std::string SizedProject(const ScratchDir& dir, const std::string& name, const std::string& width,
                         const std::string& height) {
  std::string text = ReplaceFirst(DefaultProjectText(), "Width: 320", "Width: " + width);
  text = ReplaceFirst(text, "Height: 320", "Height: " + height);
  WriteBytes(dir.File(name), text);
  return dir.File(name);
}

// Checks a failed render: exit 3 and exactly one line "qvell: error: ...".
void ExpectRenderError(const ProcessResult& run, const std::string& mentioned) {
  EXPECT_EQ(run.ExitCode, 3) << run.Describe();
  EXPECT_TRUE(run.Out.empty()) << run.Describe();
  EXPECT_EQ(Lines(run.Err).size(), 1u) << run.Describe();
  EXPECT_TRUE(run.Err.starts_with("qvell: error: ")) << run.Describe();
  EXPECT_NE(run.Err.find(mentioned), std::string::npos) << run.Describe();
}

TEST(QVHeadlessRender, WritesTheEnginePictureAsBmpPngAndJpeg) {
  ScratchDir dir;
  const std::string text = DefaultProjectText();
  WriteBytes(dir.File("p.qvl"), text);
  const DecodedPicture expected = EnginePicture(text);
  ASSERT_EQ(expected.Width, 320);
  ASSERT_EQ(expected.Height, 320);

  struct Case {
    std::string Name;
    DecodedPicture (*Read)(const std::string&, std::string&);
    std::vector<std::string> Extra = {};
  };
  for (const Case& c :
       {Case{"a.bmp", ReadBmpFile}, Case{"a.png", ReadPngFile}, Case{"A.PNG", ReadPngFile},
        Case{"b.Bmp", ReadBmpFile}, Case{"f.png", ReadPngFile, {"--fast"}}}) {
    SCOPED_TRACE(c.Name);
    std::vector<std::string> args = {"render", dir.File("p.qvl"), "-o", dir.File(c.Name)};
    args.insert(args.end(), c.Extra.begin(), c.Extra.end());
    const ProcessResult run = RunQvell(args);
    ASSERT_EQ(run.ExitCode, 0) << run.Describe();
    EXPECT_TRUE(run.Out.empty() && run.Err.empty()) << run.Describe();
    std::string problem;
    const DecodedPicture decoded = c.Read(dir.File(c.Name), problem);
    ASSERT_TRUE(problem.empty()) << problem;
    EXPECT_EQ(PictureDifference(decoded, expected), "");
  }
  // JPEG is lossy: the right size, and close to the picture on average.
  for (const std::string name : {"c.jpg", "d.jpeg", "e.JPG"}) {
    SCOPED_TRACE(name);
    const ProcessResult run = RunQvell({"render", dir.File("p.qvl"), "-o", dir.File(name)});
    ASSERT_EQ(run.ExitCode, 0) << run.Describe();
    std::string problem;
    const DecodedPicture decoded = ReadJpegFile(dir.File(name), problem);
    ASSERT_TRUE(problem.empty()) << problem;
    EXPECT_EQ(decoded.Width, 320);
    EXPECT_EQ(decoded.Height, 320);
    EXPECT_LT(MeanChannelDifference(decoded, expected), 4.0);
  }
}

// --auto-depth raises the depth the picture is computed with (and its PNG
// records) to 1000 per decade below scale 4; without it the set depth stands.
TEST(QVHeadlessRender, AutoDepthFollowsTheScale) {
  ScratchDir dir;
  const std::string project = SizedProject(dir, "p.qvl", "32", "24");
  WriteBytes(project, ReplaceFirst(ReadBytes(project), "Scale: 4", "Scale: 4E-6"));
  for (const bool automatic : {false, true}) {
    std::vector<std::string> args = {"render", project, "-o", dir.File("a.png")};
    if (automatic) args.push_back("--auto-depth");
    const ProcessResult run = RunQvell(args);
    ASSERT_EQ(run.ExitCode, 0) << run.Describe();
    const ProcessResult print = RunQvell({"print", dir.File("a.png")});
    ASSERT_EQ(print.ExitCode, 0) << print.Describe();
    EXPECT_NE(print.Out.find(automatic ? "\tDepth: 6000\n" : "\tDepth: 100\n"), std::string::npos)
        << print.Out;
  }
}

TEST(QVHeadlessRender, PrintedProjectFromStandardInputRendersTheDefaultPicture) {
  ScratchDir dir;
  WriteBytes(dir.File("printed.qvl"), DefaultProjectText());
  const ProcessResult run =
      RunQvell({"render", "-", "-o", dir.File("a.png")}, StdinFrom(dir.File("printed.qvl")));
  ASSERT_EQ(run.ExitCode, 0) << run.Describe();
  std::string problem;
  const DecodedPicture decoded = ReadPngFile(dir.File("a.png"), problem);
  ASSERT_TRUE(problem.empty()) << problem;
  // The default project as QVMain builds it, not read from any text.
  EXPECT_EQ(PictureDifference(decoded, EnginePicture("")), "");
}

TEST(QVHeadlessRender, EditedShiftJisCrLfProjectRendersLikeTheEngine) {
  ScratchDir dir;
  std::string text = ReplaceFirst(DefaultProjectText(), "Width: 320", "Width: 97");
  text = ReplaceFirst(text, "Height: 320", "Height: 61");
  text = ReplaceFirst(text, "Viewpoint: (0, 0)", "Viewpoint: (-0.75, 0.1)");
  text = ReplaceFirst(text, "Scale: 4", "Scale: 0.5");
  WriteBytes(dir.File("sjis.qvl"), EncodeProjectText(text, ProjectEncoding::ShiftJis));
  const DecodedPicture expected = EnginePicture(text);
  ASSERT_EQ(expected.Width, 97);
  for (int threads : {1, 2, 3, 7, 0}) {
    SCOPED_TRACE("--threads " + std::to_string(threads));
    const ProcessResult run = RunQvell({"render", dir.File("sjis.qvl"), "-o", dir.File("a.bmp"),
                                        "--threads", std::to_string(threads)});
    ASSERT_EQ(run.ExitCode, 0) << run.Describe();
    std::string problem;
    EXPECT_EQ(PictureDifference(ReadBmpFile(dir.File("a.bmp"), problem), expected), "") << problem;
  }
}

TEST(QVHeadlessRender, BrokenWorkerCountInTheEnvironmentChangesNoPixel) {
  ScratchDir dir;
  const std::string project = SizedProject(dir, "p.qvl", "50", "40");
  ProcessOptions options;
  options.Environment = {{"NUMBER_OF_PROCESSORS", "-3 junk"}};
  const ProcessResult run = RunQvell({"render", project, "-o", dir.File("a.png")}, options);
  ASSERT_EQ(run.ExitCode, 0) << run.Describe();
  const ProcessResult threaded =
      RunQvell({"render", project, "-o", dir.File("b.png"), "--threads=5"}, options);
  ASSERT_EQ(threaded.ExitCode, 0) << threaded.Describe();
  std::string problem;
  EXPECT_EQ(PictureDifference(ReadPngFile(dir.File("b.png"), problem),
                              ReadPngFile(dir.File("a.png"), problem)),
            "")
      << problem;
}

TEST(QVHeadlessRender, JpegQualityChangesTheFile) {
  ScratchDir dir;
  WriteBytes(dir.File("p.qvl"), DefaultProjectText());
  for (const std::string quality : {"10", "95"}) {
    const ProcessResult run = RunQvell({"render", dir.File("p.qvl"), "-o",
                                        dir.File("q" + quality + ".jpg"), "--quality", quality});
    ASSERT_EQ(run.ExitCode, 0) << run.Describe();
  }
  const ProcessResult byDefault = RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("d.jpg")});
  ASSERT_EQ(byDefault.ExitCode, 0) << byDefault.Describe();
  const size_t low = ReadBytes(dir.File("q10.jpg")).size();
  const size_t standard = ReadBytes(dir.File("d.jpg")).size();
  const size_t high = ReadBytes(dir.File("q95.jpg")).size();
  EXPECT_LT(low, standard);
  EXPECT_LT(standard, high);
  // Quality is a JPEG setting; other formats accept and ignore it.
  const ProcessResult png =
      RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("a.png"), "--quality", "10"});
  EXPECT_EQ(png.ExitCode, 0) << png.Describe();
}

TEST(QVHeadlessRender, HugePictureIsRefusedWithTheMemoryItNeeds) {
  ScratchDir dir;
  // Larger pictures are rendered in bands; not even one row of this one fits.
  const std::string project = SizedProject(dir, "huge.qvl", "2000000000", "100000000");
  WriteBytes(dir.File("old.png"), "previous contents");
  const ProcessResult run = RunQvell({"render", project, "-o", dir.File("old.png")});
  ExpectRenderError(run, "2000000000 x 100000000");
  EXPECT_NE(run.Err.find("memory"), std::string::npos) << run.Describe();
  EXPECT_NE(run.Err.find("MiB"), std::string::npos) << run.Describe();
  EXPECT_EQ(ReadBytes(dir.File("old.png")), "previous contents");
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"huge.qvl", "old.png"}));
}

TEST(QVHeadlessRender, SizeTheFormatCannotStoreIsRefusedBeforeRendering) {
  ScratchDir dir;
  // Deep orbits: a render of this size would take hours, so a quick refusal
  // shows that the format was checked first.
  const std::string project = SizedProject(dir, "wide.qvl", "70000", "70000");
  WriteBytes(project, ReplaceFirst(ReadBytes(project), "Depth: 100", "Depth: 1000000"));
  const ProcessResult jpeg = RunQvell({"render", project, "-o", dir.File("a.jpg")});
  ExpectRenderError(jpeg, "at most 65500");
  const ProcessResult bmp = RunQvell({"render", project, "-o", dir.File("a.bmp")});
  ExpectRenderError(bmp, "4294967295");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"wide.qvl"});
}

TEST(QVHeadlessRender, EmptyPictureOrNoMixerExitsThree) {
  ScratchDir dir;
  const std::vector<std::pair<std::string, std::string>> sizes = {
      {"0", "320"}, {"320", "0"}, {"-5", "10"}, {"10", "-2147483648"}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(width + " x " + height);
    const std::string project = SizedProject(dir, "p.qvl", width, height);
    const ProcessResult run = RunQvell({"render", project, "-o", dir.File("a.png")});
    ExpectRenderError(run, "the picture is empty");
    EXPECT_NE(run.Err.find("at least 1"), std::string::npos) << run.Describe();
  }
  // Only the parameter block: the project has no node at all.
  const std::string text = DefaultProjectText();
  WriteBytes(dir.File("p.qvl"), text.substr(0, text.find("Generator:")));
  ExpectRenderError(RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("a.png")}), "no mixer");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"p.qvl"});
}

TEST(QVHeadlessRender, UnwritableOutputExitsThreeAndLeavesNoFile) {
  ScratchDir dir;
  WriteBytes(dir.File("p.qvl"), DefaultProjectText());
  std::filesystem::create_directory(dir.File("sub.png"));
  ExpectRenderError(RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("missing/a.png")}),
                    "cannot write \"" + dir.File("missing/a.png") + "\"");
  ExpectRenderError(RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("sub.png")}),
                    "is a directory");
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"p.qvl", "sub.png"}));
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("sub.png")));
}

TEST(QVHeadlessRender, WriteFailingPartWayLeavesNoPartialFile) {
  ScratchDir dir;
  WriteBytes(dir.File("p.qvl"), DefaultProjectText());
  for (const std::string name : {"a.bmp", "a.png", "a.jpg"}) {
    SCOPED_TRACE(name);
    ProcessResult run;
    {
      FileSizeLimit limit(1000);  // far below any of the three pictures
      run = RunQvell({"render", dir.File("p.qvl"), "-o", dir.File(name)});
    }
    ExpectRenderError(run, name);
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"p.qvl"});
  }
}

TEST(QVHeadlessRender, InterruptStopsTheRenderAndWritesNothing) {
  ScratchDir dir;
  // Long enough that it is still computing when the interrupt comes: deep
  // orbits inside the set on a large picture, one worker.
  const std::string project = SizedProject(dir, "slow.qvl", "2000", "2000");
  WriteBytes(project, ReplaceFirst(ReadBytes(project), "Depth: 100", "Depth: 1000000"));
  ProcessOptions options;
  options.StderrOnTerminal = true;
  options.InterruptOnOutput = "Picture";  // the render is under way
  const ProcessResult run =
      RunQvell({"render", project, "-o", dir.File("a.png"), "--threads", "1"}, options);
  EXPECT_EQ(run.ExitCode, 3) << run.Describe();
  EXPECT_FALSE(run.TimedOut);
  EXPECT_NE(run.Err.find("qvell: error: interrupted; no picture was written"), std::string::npos)
      << run.Describe();
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"slow.qvl"});
}

}  // namespace
}  // namespace qv::test
