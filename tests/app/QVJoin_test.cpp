// End-to-end tests of qvell join on hostile inputs: parts replaced while it
// runs, signals, a small limit of open files, the output among the parts,
// projects that cannot be compared and mixed sample counts. The parts are
// written directly (image/JoinTestParts.h) unless the render is the point.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "image/JoinTestParts.h"
#include "image/QVPngReader.h"

namespace qv::test {
namespace {

// Runs qvell with args under soft and hard limits of open files.
ProcessResult RunWithFileLimit(int64_t soft, int64_t hard, const std::vector<std::string>& args,
                               ProcessOptions options = {}) {
  options.FileLimitSoft = soft;
  options.FileLimitHard = hard;
  return RunQvell(args, options);
}

// A 1500 x 2001 picture in two parts: a tall top one, slow enough to copy
// that the bottom row is opened well after the output is opened, and the
// bottom row.
std::vector<std::string> TallJoin(const ScratchDir& dir) {
  WriteJoinPart(dir.File("top.png"), {0, 0, 1500, 2000}, 1500, 2001);
  WriteJoinPart(dir.File("bottom.png"), {0, 2000, 1500, 1}, 1500, 2001);
  return {dir.File("top.png"), dir.File("bottom.png")};
}

TEST(QVJoin, APartReplacedDuringTheJoinIsRefusedByName) {
  ScratchDir dir, out;
  std::vector<std::string> args = {"join", out.File("joined.png")};
  for (const std::string& part : TallJoin(dir)) args.push_back(part);
  // Under 40 files no part is kept open from its check to its copy.
  ProcessOptions swap;
  swap.CallOnWriteIn = out.File("");
  swap.OnWrite = [&] {
    WriteJoinPart(dir.File("wide.png"), {0, 2000, 1500, 1}, 1500, 2001, {}, 200000);
    std::filesystem::rename(dir.File("wide.png"), dir.File("bottom.png"));
  };
  const ProcessResult run = RunWithFileLimit(40, 40, args, swap);
  EXPECT_EQ(run.ExitCode, 3) << run.Describe();
  EXPECT_NE(run.Err.find("\"" + dir.File("bottom.png") + "\" has changed since it was checked"),
            std::string::npos)
      << run.Describe();
  EXPECT_TRUE(out.Entries().empty());
}

TEST(QVJoin, AnInterruptLeavesTheOldOutputAndNoTemporaryFile) {
  ScratchDir dir, out;
  WriteBytes(out.File("joined.png"), "old");
  std::vector<std::string> args = {"join", out.File("joined.png")};
  for (const std::string& part : TallJoin(dir)) args.push_back(part);
  ProcessOptions options;
  options.InterruptOnWriteIn = out.File("");
  const ProcessResult run = RunQvell(args, options);
  EXPECT_EQ(run.ExitCode, 3) << run.Describe();
  EXPECT_EQ(run.Err, "qvell: error: interrupted; no picture was written\n");
  EXPECT_EQ(out.Entries(), std::set<std::string>{"joined.png"});
  EXPECT_EQ(ReadBytes(out.File("joined.png")), "old");
}

TEST(QVJoin, ColumnsPastTheFileLimitAreToldHowToJoinThem) {
  ScratchDir dir;
  std::vector<std::string> args = {"join", dir.File("joined.png")};
  for (int32_t x = 0; x < 60; ++x) {
    args.push_back(dir.File("strip" + std::to_string(x) + ".png"));
    WriteJoinPart(args.back(), {x, 0, 1, 2}, 60, 2);
  }
  // The soft limit is raised to the hard one; past that the message says what to do.
  const ProcessResult raised = RunWithFileLimit(40, 200, args);
  EXPECT_EQ(raised.ExitCode, 0) << raised.Describe();
  const ProcessResult over = RunWithFileLimit(40, 40, args);
  EXPECT_EQ(over.ExitCode, 3) << over.Describe();
  EXPECT_NE(over.Err.find("the limit is 40 files); raise the limit with ulimit -n, or render "
                          "fewer columns"),
            std::string::npos)
      << over.Describe();
  EXPECT_NE(over.Err.find("\"" + dir.File("strip"), 0), std::string::npos) << over.Describe();
}

TEST(QVJoin, AnOutputThatIsOneOfThePartsIsRefused) {
  ScratchDir dir;
  WriteJoinPart(dir.File("a.png"), {0, 0, 3, 2}, 5, 2);
  WriteJoinPart(dir.File("b.png"), {3, 0, 2, 2}, 5, 2);
  std::filesystem::create_symlink(dir.File("a.png"), dir.File("link.png"));
  const std::string before = ReadBytes(dir.File("a.png"));
  for (const char* output : {"a.png", "link.png"}) {
    const ProcessResult run =
        RunQvell({"join", dir.File(output), dir.File("a.png"), dir.File("b.png")});
    EXPECT_EQ(run.ExitCode, 3) << run.Describe();
    EXPECT_NE(run.Err.find("the output \"" + dir.File(output) + "\" is the same file as the part \"" +
                           dir.File("a.png") + "\""),
              std::string::npos)
        << run.Describe();
    EXPECT_EQ(ReadBytes(dir.File("a.png")), before);
  }
}

// The bytes of a PNG whose project chunk fails its checksum.
std::string DamageProject(const std::string& bytes) {
  std::string damaged = bytes;
  const size_t at = damaged.find(kProjectKeyword);
  EXPECT_NE(at, std::string::npos);
  damaged[at + 40] ^= 0x20;
  return damaged;
}

TEST(QVJoin, ProjectsThatCannotBeComparedAreRefused) {
  struct Case {
    const char* left;   // project text, "-" for none
    const char* right;
    bool damaged;       // both project chunks fail their checksums
    const char* error;  // "" : joins
  };
  const Case cases[] = {
      {"first project text, long enough to damage", "second project text, long enough to damage",
       true, "chunk is damaged (CRC error), so it cannot be checked against the other parts"},
      {"one project text, long enough to damage", "-", false,
       "carries the project it was rendered from and"},
      {"-", "-", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.left) + " / " + c.right);
    ScratchDir dir;
    const auto texts = [](const std::string& project) -> std::vector<PngText> {
      if (project == "-") return {};
      return {{kProjectKeyword, project}, {kSupersampleKeyword, "1"}};
    };
    WriteJoinPart(dir.File("l.png"), {0, 0, 3, 2}, 5, 2, texts(c.left));
    WriteJoinPart(dir.File("r.png"), {3, 0, 2, 2}, 5, 2, texts(c.right));
    if (c.damaged) {
      for (const char* name : {"l.png", "r.png"}) {
        WriteBytes(dir.File(name), DamageProject(ReadBytes(dir.File(name))));
      }
    }
    const ProcessResult run =
        RunQvell({"join", dir.File("j.png"), dir.File("l.png"), dir.File("r.png")});
    if (*c.error == '\0') {
      EXPECT_EQ(run.ExitCode, 0) << run.Describe();
    } else {
      EXPECT_EQ(run.ExitCode, 3) << run.Describe();
      EXPECT_NE(run.Err.find(c.error), std::string::npos) << run.Describe();
      EXPECT_NE(run.Err.find("\"" + dir.File("l.png") + "\""), std::string::npos) << run.Describe();
      EXPECT_FALSE(std::filesystem::exists(dir.File("j.png")));
    }
  }
}

TEST(QVJoin, PartsRenderedWithDifferentSampleCountsAreRefused) {
  ScratchDir dir;
  std::string text = ReplaceFirst(DefaultProjectText(), "Width: 320", "Width: 20");
  text = ReplaceFirst(text, "Height: 320", "Height: 10");
  WriteBytes(dir.File("p.qvl"), text);
  const auto render = [&](const char* region, const char* samples, const std::string& out) {
    const ProcessResult run = RunQvell(
        {"render", dir.File("p.qvl"), "--region", region, "--supersample", samples, "-o", out});
    EXPECT_EQ(run.ExitCode, 0) << run.Describe();
  };
  render("0,0,12,10", "2", dir.File("l2.png"));
  render("12,0,8,10", "2", dir.File("r2.png"));
  render("12,0,8,10", "1", dir.File("r1.png"));
  const ProcessResult mixed =
      RunQvell({"join", dir.File("j.png"), dir.File("l2.png"), dir.File("r1.png")});
  EXPECT_EQ(mixed.ExitCode, 3) << mixed.Describe();
  EXPECT_NE(mixed.Err.find("\"" + dir.File("r1.png") + "\" records --supersample 1 and \"" +
                           dir.File("l2.png") + "\" --supersample 2"),
            std::string::npos)
      << mixed.Describe();
  const ProcessResult same =
      RunQvell({"join", dir.File("j.png"), dir.File("l2.png"), dir.File("r2.png")});
  EXPECT_EQ(same.ExitCode, 0) << same.Describe();
  EXPECT_EQ(PngReader(dir.File("j.png")).Text(kSupersampleKeyword), "2");
}

}  // namespace
}  // namespace qv::test
