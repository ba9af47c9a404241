// The commands against outputs that are not plain files, interrupts during
// the write, warnings of the reader and the wording of messages. They run
// the built qvell.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"

namespace qv::test {
namespace {

std::string Project(const ScratchDir& dir, const std::string& name, const std::string& text) {
  WriteBytes(dir.File(name), text);
  return dir.File(name);
}

std::string Sized(const std::string& width, const std::string& height) {
  return ReplaceFirst(ReplaceFirst(DefaultProjectText(), "Width: 320", "Width: " + width),
                      "Height: 320", "Height: " + height);
}

TEST(QVCommands, RenderRefusesAnOutputThatIsNotARegularFile) {
  ScratchDir dir;
  const std::string project = Project(dir, "p.qvl", Sized("8", "8"));
  ASSERT_EQ(mkfifo(dir.File("out.png").c_str(), 0644), 0);
  const ProcessResult run = RunQvell({"render", project, "-o", dir.File("out.png")});
  EXPECT_EQ(run.ExitCode, 3) << run.Describe();
  EXPECT_EQ(run.Err, "qvell: error: cannot write \"" + dir.File("out.png") +
                         "\": it is a named pipe (FIFO), not a regular file, and only a regular "
                         "file is replaced; choose a file name\n");
  struct stat info {};
  ASSERT_EQ(lstat(dir.File("out.png").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"p.qvl", "out.png"}));
}

TEST(QVCommands, InterruptDuringTheWriteRemovesTheTemporaryFile) {
  ScratchDir dir;
  // Quick to render (shallow), slow to write (many pixels).
  const std::string text = ReplaceFirst(Sized("4000", "4000"), "Depth: 100", "Depth: 2");
  const std::string project = Project(dir, "p.qvl", text);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    ScratchDir out;
    ProcessOptions options;
    options.InterruptOnWriteIn = out.File("");
    options.InterruptWith = signal;
    const ProcessResult run = RunQvell({"render", project, "-o", out.File("a.png")}, options);
    EXPECT_EQ(run.ExitCode, 3) << signal << ": " << run.Describe();
    EXPECT_EQ(run.Err, "qvell: error: interrupted; no picture was written\n") << run.Describe();
    EXPECT_TRUE(out.Entries().empty()) << signal;
  }
}

TEST(QVCommands, SummaryLineFollowsTheWrite) {
  ScratchDir dir;
  const std::string project = Project(dir, "p.qvl", Sized("3000", "3000"));
  ProcessOptions options;
  options.StderrOnTerminal = true;
  options.ProbeOnOutput = "pixels in";  // the picture must be in place by then
  options.ProbeFile = dir.File("a.png");
  const ProcessResult run = RunQvell({"render", project, "-o", dir.File("a.png")}, options);
  EXPECT_EQ(run.ExitCode, 0) << run.Describe();
  ASSERT_TRUE(run.ProbeFileExisted.has_value()) << run.Describe();
  EXPECT_TRUE(*run.ProbeFileExisted);
}

TEST(QVCommands, TextAfterTheLastBlockDrawsOneWarning) {
  ScratchDir dir;
  const std::string plain = DefaultProjectText();
  const std::string project = Project(dir, "p.qvl", plain + "Mixr: Mixer2\n{\n}\n");
  const int line = static_cast<int>(Lines(plain).size()) + 1;
  const std::string warning =
      project + ":" + std::to_string(line) + ":1: warning: text after the last block is ignored\n";
  const ProcessResult print = RunQvell({"print", project});
  EXPECT_EQ(print.ExitCode, 0) << print.Describe();
  EXPECT_EQ(print.Err, warning);
  EXPECT_EQ(print.Out, plain);
  const ProcessResult render = RunQvell({"render", project, "-o", dir.File("a.bmp")});
  EXPECT_EQ(render.ExitCode, 0) << render.Describe();
  EXPECT_EQ(render.Err, warning);
  // Blank text after the last block is no reason to warn.
  const ProcessResult blank = RunQvell({"print", Project(dir, "b.qvl", plain + " \t\n\n")});
  EXPECT_EQ(blank.ExitCode, 0) << blank.Describe();
  EXPECT_EQ(blank.Err, "");
}

// A deep view of a formula without a deep path renders in doubles, and says so.
TEST(QVCommands, ADeepViewWithoutADeepPathDrawsOneWarning) {
  ScratchDir dir;
  const std::string deep = ReplaceFirst(Sized("32", "24"), "Scale: 4", "Scale: 1E-20");
  const ProcessResult z2 =
      RunQvell({"render", Project(dir, "z2.qvl", deep), "-o", dir.File("a.bmp")});
  EXPECT_EQ(z2.ExitCode, 0) << z2.Describe();
  EXPECT_EQ(z2.Err, "");
  const std::string inverse = ReplaceFirst(deep, "FractalMethod: z^2+C", "FractalMethod: z^-1+C");
  const ProcessResult run =
      RunQvell({"render", Project(dir, "inv.qvl", inverse), "-o", dir.File("b.bmp")});
  EXPECT_EQ(run.ExitCode, 0) << run.Describe();
  EXPECT_EQ(run.Err,
            "qvell: warning: the formula \"z^-1+C\" has no deep path: at scale 1E-20 it is "
            "computed in doubles and the picture shows blocks of equal pixels (the deep path "
            "takes \"z^2+C\", \"z^3+C\" and \"z+C\")\n");
}

TEST(QVCommands, MessagesNameTheFileOnceAndStayOnOneLine) {
  ScratchDir dir;
  const ProcessResult missing = RunQvell({"print", dir.File("nofile.qvl")});
  EXPECT_EQ(missing.ExitCode, 2);
  EXPECT_EQ(missing.Err,
            dir.File("nofile.qvl") + ": error: cannot read the file: No such file or directory\n");

  const std::string huge =
      Project(dir, "huge.qvl", ReplaceFirst(DefaultProjectText(), "Scale: 4", "Scale: 1e400"));
  const ProcessResult range = RunQvell({"print", huge});
  EXPECT_EQ(range.ExitCode, 2);
  EXPECT_NE(range.Err.find("error: '1e400' is out of range"), std::string::npos) << range.Err;

  const std::string odd = dir.File("two\nlines.qvl");
  const ProcessResult split = RunQvell({"print", odd});
  EXPECT_EQ(split.ExitCode, 2);
  EXPECT_EQ(Lines(split.Err).size(), 1u) << split.Err;
  EXPECT_NE(split.Err.find("two\\x0Alines.qvl"), std::string::npos) << split.Err;
  const ProcessResult output = RunQvell({"render", "-", "-o", dir.File("a\rb.png")},
                                        StdinFrom(Project(dir, "p.qvl", Sized("4", "4"))));
  EXPECT_EQ(output.ExitCode, 0) << output.Describe();
  const ProcessResult badOutput =
      RunQvell({"render", "-", "-o", dir.File("no\ndir/a.png")}, StdinFrom(dir.File("p.qvl")));
  EXPECT_EQ(badOutput.ExitCode, 3);
  EXPECT_EQ(Lines(badOutput.Err).size(), 1u) << badOutput.Err;
}

}  // namespace
}  // namespace qv::test
