// End-to-end tests of the picture commands around qvell render: PNG files
// that carry their project, bands in every format, regions and join, and zoom
// frames. They run the built binary and compare files and decoded pixels.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "image/QVPictureFile.h"
#include "image/QVPngReader.h"
#include "image/QVProjectPicture.h"
#include "source/QVProjectInput.h"

namespace qv::test {
namespace {

// A small project with the differential on (its neighbours cross every band
// and region edge), written to dir/p.qvl.
std::string DifferentialProject(const ScratchDir& dir) {
  std::string text = ReplaceFirst(DefaultProjectText(), "Width: 320", "Width: 67");
  text = ReplaceFirst(text, "Height: 320", "Height: 45");
  text = ReplaceFirst(text, "Differential: off", "Differential: on");
  text = ReplaceFirst(text, "DifferentialEdgeSW: off", "DifferentialEdgeSW: on");
  WriteBytes(dir.File("p.qvl"), text);
  return dir.File("p.qvl");
}

void ExpectSuccess(const ProcessResult& run) {
  EXPECT_EQ(run.ExitCode, 0) << run.Describe();
  EXPECT_EQ(run.Err, "") << run.Describe();
}

TEST(PictureCommands, APngCarriesItsProjectAndRendersToItselfBitForBit) {
  ScratchDir dir;
  const std::string project = DifferentialProject(dir);
  ExpectSuccess(RunQvell({"render", project, "-o", dir.File("x.png")}));
  const ProcessResult printed = RunQvell({"print", dir.File("x.png")});
  ExpectSuccess(printed);
  EXPECT_EQ(printed.Out, RunQvell({"print", project}).Out);
  ExpectSuccess(RunQvell({"render", dir.File("x.png"), "-o", dir.File("y.png")}));
  EXPECT_EQ(ReadBytes(dir.File("y.png")), ReadBytes(dir.File("x.png")));

  ExpectSuccess(RunQvell({"render", project, "-o", dir.File("bare.png"), "--no-project"}));
  const ProcessResult bare = RunQvell({"print", dir.File("bare.png")});
  EXPECT_EQ(bare.ExitCode, 2) << bare.Describe();
  EXPECT_EQ(bare.Err, dir.File("bare.png") +
                          ": error: this PNG file carries no project (no \"Q-Vell project\" text "
                          "chunk); qvell render writes one unless given --no-project\n");
  EXPECT_EQ(RunQvell({"render", dir.File("bare.png"), "-o", dir.File("z.png")}).ExitCode, 2);
}

TEST(PictureCommands, ASupersampledPngRendersAgainWithItsRecordedCount) {
  ScratchDir dir;
  const std::string project = DifferentialProject(dir);
  ExpectSuccess(RunQvell({"render", project, "-o", dir.File("x3.png"), "--supersample", "3"}));
  ExpectSuccess(RunQvell({"render", project, "-o", dir.File("x1.png")}));
  ASSERT_NE(ReadBytes(dir.File("x3.png")), ReadBytes(dir.File("x1.png")));
  struct Case {
    std::vector<std::string> args;
    const char* same;  // the file the output equals byte for byte
  };
  const Case cases[] = {
      {{"render", dir.File("x3.png"), "-o", dir.File("y.png")}, "x3.png"},
      {{"render", "-", "-o", dir.File("y.png")}, "x3.png"},  // the PNG on standard input
      {{"render", dir.File("x3.png"), "-o", dir.File("y.png"), "--supersample", "1"}, "x1.png"},
      {{"render", dir.File("x1.png"), "-o", dir.File("y.png")}, "x1.png"},
  };
  for (const Case& c : cases) {
    ExpectSuccess(RunQvell(c.args, StdinFrom(dir.File("x3.png"))));
    EXPECT_EQ(ReadBytes(dir.File("y.png")), ReadBytes(dir.File(c.same))) << c.args[1] << c.same;
  }

  // A count that does not read is refused, not taken as 1.
  PictureFileOptions file;
  file.Texts = {{kProjectKeyword, ReadBytes(project)}, {kSupersampleKeyword, "9"}};
  WritePicture(dir.File("bad.png"), QVPicture(2, 2), PictureFormat::Png, file);
  const ProcessResult bad = RunQvell({"render", dir.File("bad.png"), "-o", dir.File("z.png")});
  EXPECT_EQ(bad.ExitCode, 2) << bad.Describe();
  EXPECT_EQ(bad.Err, dir.File("bad.png") +
                         ": error: the \"Q-Vell supersample\" chunk says \"9\", not a whole "
                         "number from 1 to 8; render the picture again\n");
}

TEST(PictureCommands, TheEditorsPictureFunctionsAndTheCommandLineReadEachOthersPngs) {
  ScratchDir dir;
  const std::string project = DifferentialProject(dir);
  const std::string text = RunQvell({"print", project}).Out;
  // Command line to editor: the editor's load reads the project qvell wrote.
  ExpectSuccess(RunQvell({"render", project, "-o", dir.File("cli.png")}));
  EXPECT_EQ(ReadProjectOrPicture(dir.File("cli.png")), text);
  // Editor to command line: a picture the editor saves with its project.
  const DecodedPicture picture = EnginePicture(text);
  QVPicture saved(picture.Width, picture.Height);
  for (size_t i = 0; i < picture.Pixels.size(); ++i) {
    saved.MutablePixels()[i] = QVPicture::FromEngineColor(picture.Pixels[i]);
  }
  WritePictureWithProject(dir.File("editor.png"), saved, PictureFormat::Png, text);
  EXPECT_EQ(RunQvell({"print", dir.File("editor.png")}).Out, text);
  ExpectSuccess(RunQvell({"render", dir.File("editor.png"), "-o", dir.File("again.png")}));
  EXPECT_EQ(ReadBytes(dir.File("again.png")), ReadBytes(dir.File("editor.png")));
}

TEST(PictureCommands, BandsUnderASmallMemoryGiveTheSameFileInEveryFormat) {
  ScratchDir dir;
  const std::string project = DifferentialProject(dir);
  // 48 MiB for the process itself, and room for a few rows of fields.
  const std::string tight = std::to_string((48 << 20) + 30000);
  for (const std::string name : {"a.bmp", "a.png", "a.jpg"}) {
    ExpectSuccess(RunQvell({"render", project, "-o", dir.File("whole-" + name)}));
    ExpectSuccess(RunQvell({"render", project, "-o", dir.File(name), "--memory", tight}));
    EXPECT_EQ(ReadBytes(dir.File(name)), ReadBytes(dir.File("whole-" + name))) << name;
  }
  const ProcessResult tooSmall =
      RunQvell({"render", project, "-o", dir.File("b.png"), "--memory", "40M"});
  EXPECT_EQ(tooSmall.ExitCode, 3) << tooSmall.Describe();
  EXPECT_NE(tooSmall.Err.find("--memory allows 40 MiB; allow at least --memory "), std::string::npos)
      << tooSmall.Describe();
}

// The deep example at scale 1e-100, made small: regions rendered apart and
// joined give the whole picture's bytes, which are the engine's picture.
TEST(PictureCommands, DeepRegionsJoinIntoTheWholePicture) {
  ScratchDir dir;
  std::string text = ReadBytes(QV_EXAMPLES_DIR "/deep-1e100.qvl");
  text = ReplaceFirst(ReplaceFirst(text, "Width: 320", "Width: 67"), "Height: 240", "Height: 45");
  WriteBytes(dir.File("deep.qvl"), text);
  ExpectSuccess(RunQvell({"render", dir.File("deep.qvl"), "-o", dir.File("whole.png")}));
  std::vector<std::string> join = {"join", dir.File("joined.png")};
  for (const char* region : {"0,0,30,20", "30,0,37,20", "0,20,67,25"}) {
    join.push_back(dir.File("part" + std::to_string(join.size()) + ".png"));
    ExpectSuccess(
        RunQvell({"render", dir.File("deep.qvl"), "--region", region, "-o", join.back()}));
  }
  ExpectSuccess(RunQvell(join));
  EXPECT_EQ(ReadBytes(dir.File("joined.png")), ReadBytes(dir.File("whole.png")));
  std::string problem;
  EXPECT_EQ(PictureDifference(ReadPngFile(dir.File("whole.png"), problem), EnginePicture(text, 2)),
            "");
  EXPECT_EQ(problem, "");
}

TEST(PictureCommands, RegionsJoinIntoTheWholePictureAndGapsOrOverlapsAreRefused) {
  ScratchDir dir;
  const std::string project = DifferentialProject(dir);
  ExpectSuccess(RunQvell({"render", project, "-o", dir.File("whole.png")}));
  const std::vector<std::string> regions = {"0,0,30,20", "30,0,37,20", "0,20,67,25"};
  std::vector<std::string> join = {"join", dir.File("joined.png")};
  for (size_t i = 0; i < regions.size(); ++i) {
    const std::string part = dir.File("part" + std::to_string(i) + ".png");
    ExpectSuccess(RunQvell({"render", project, "--region", regions[i], "-o", part}));
    join.push_back(part);
  }
  ExpectSuccess(RunQvell(join));
  std::string problem;
  EXPECT_EQ(PictureDifference(ReadPngFile(dir.File("joined.png"), problem),
                              ReadPngFile(dir.File("whole.png"), problem)),
            "");
  EXPECT_EQ(ReadBytes(dir.File("joined.png")), ReadBytes(dir.File("whole.png")));

  const ProcessResult gap = RunQvell({"join", dir.File("gap.png"), join[3], join[4]});
  EXPECT_EQ(gap.ExitCode, 3) << gap.Describe();
  EXPECT_NE(gap.Err.find("uncovered, the first at column 0, row 0"), std::string::npos) << gap.Err;
  const ProcessResult overlap =
      RunQvell({"join", dir.File("overlap.png"), join[2], join[3], join[4], join[2]});
  EXPECT_EQ(overlap.ExitCode, 3) << overlap.Describe();
  EXPECT_NE(overlap.Err.find("overlap in 0,0,30,20"), std::string::npos) << overlap.Err;
  const ProcessResult whole = RunQvell({"join", dir.File("w.png"), dir.File("whole.png")});
  EXPECT_EQ(whole.ExitCode, 3) << whole.Describe();
  EXPECT_NE(whole.Err.find("render the parts with qvell render --region"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("gap.png")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("overlap.png")));
}

TEST(PictureCommands, ZoomFrameKEqualsTheRenderOfItsPrintedProject) {
  ScratchDir dir;
  const std::string project = DifferentialProject(dir);
  const std::vector<std::string> zoom = {"zoom",    project, "--to",     "-0.7,0.21",
                                         "--scale", "0.02",  "--frames", "4"};
  std::vector<std::string> all = zoom;
  all.insert(all.end(), {"-o", dir.File("f%02d.png")});
  ExpectSuccess(RunQvell(all));
  for (int k = 0; k < 4; ++k) {
    std::vector<std::string> print = zoom;
    print.insert(print.end(), {"--print-frame", std::to_string(k)});
    const ProcessResult printed = RunQvell(print);
    ExpectSuccess(printed);
    WriteBytes(dir.File("frame.qvl"), printed.Out);
    ExpectSuccess(RunQvell({"render", dir.File("frame.qvl"), "-o", dir.File("frame.png")}));
    const std::string name = "f0" + std::to_string(k) + ".png";
    EXPECT_EQ(ReadBytes(dir.File(name)), ReadBytes(dir.File("frame.png"))) << name;
    if (k == 3) {
      EXPECT_NE(printed.Out.find("Scale: 0.02\n"), std::string::npos) << printed.Out;
    }
  }
  std::vector<std::string> one = zoom;
  one.insert(one.end(), {"--frame", "2", "-o", dir.File("one%d.png")});
  ExpectSuccess(RunQvell(one));
  EXPECT_EQ(ReadBytes(dir.File("one2.png")), ReadBytes(dir.File("f02.png")));
}

}  // namespace
}  // namespace qv::test
