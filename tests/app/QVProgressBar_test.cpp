// End-to-end tests of the render's progress display: shown only when standard
// error is a terminal and --quiet is not given. They run the built binary
// with standard error on a pseudo-terminal.
#include <gtest/gtest.h>

#include <string>

#include "app/AppTestSupport.h"

namespace qv::test {
namespace {

ProcessOptions OnTerminal() {
  ProcessOptions options;
  options.StderrOnTerminal = true;
  return options;
}

// The last state of every line the terminal shows: the text after the last
// carriage return of each line, without the erase-to-end-of-line sequence.
std::vector<std::string> ScreenLines(const std::string& received) {
  std::vector<std::string> screen;
  for (std::string line : Lines(received)) {
    while (!line.empty() && line.back() == '\r') line.pop_back();
    line = line.substr(line.rfind('\r') == std::string::npos ? 0 : line.rfind('\r') + 1);
    const size_t erase = line.find("\x1b[K");
    if (erase != std::string::npos) line.erase(erase);
    screen.push_back(line);
  }
  return screen;
}

TEST(QVProgressBar, TerminalShowsNodeLinesAndTheClosingLine) {
  ScratchDir dir;
  WriteBytes(dir.File("p.qvl"), DefaultProjectText());
  const ProcessResult run =
      RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("a.png")}, OnTerminal());
  ASSERT_EQ(run.ExitCode, 0) << run.Describe();
  const std::vector<std::string> screen = ScreenLines(run.Err);
  ASSERT_GE(screen.size(), 2u) << run.Err;
  // The drawing is the last node; every node line ends complete.
  const std::string& draw = screen[screen.size() - 2];
  EXPECT_TRUE(draw.starts_with("Draw ")) << draw;
  EXPECT_NE(draw.find(" 320/320 100% "), std::string::npos) << draw;
  for (size_t i = 0; i + 1 < screen.size(); ++i) {
    EXPECT_NE(screen[i].find("/320 100% "), std::string::npos) << screen[i];
    EXPECT_NE(screen[i].find("[########################]"), std::string::npos) << screen[i];
  }
  const std::string& summary = screen.back();
  EXPECT_TRUE(summary.starts_with("320 x 320 pixels in ")) << summary;
  EXPECT_TRUE(summary.ends_with(" pixels per second)")) << summary;
}

TEST(QVProgressBar, QuietOrNoTerminalShowsNothing) {
  ScratchDir dir;
  WriteBytes(dir.File("p.qvl"), DefaultProjectText());
  const ProcessResult quiet =
      RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("a.png"), "--quiet"}, OnTerminal());
  EXPECT_EQ(quiet.ExitCode, 0) << quiet.Describe();
  EXPECT_EQ(quiet.Err, "");
  const ProcessResult piped = RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("b.png")});
  EXPECT_EQ(piped.ExitCode, 0) << piped.Describe();
  EXPECT_EQ(piped.Err, "");
}

TEST(QVProgressBar, ErrorOnATerminalIsOneLine) {
  ScratchDir dir;
  std::string text = ReplaceFirst(DefaultProjectText(), "Width: 320", "Width: 100000000");
  WriteBytes(dir.File("p.qvl"), ReplaceFirst(text, "Height: 320", "Height: 100000000"));
  const ProcessResult run =
      RunQvell({"render", dir.File("p.qvl"), "-o", dir.File("a.png")}, OnTerminal());
  EXPECT_EQ(run.ExitCode, 3) << run.Describe();
  const std::vector<std::string> screen = ScreenLines(run.Err);
  ASSERT_EQ(screen.size(), 1u) << run.Err;
  EXPECT_TRUE(screen[0].starts_with("qvell: error: a picture of 100000000 x 100000000"))
      << screen[0];
}

}  // namespace
}  // namespace qv::test
