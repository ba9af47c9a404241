// End-to-end tests of the qvell command line: usage, exit codes and their
// messages, and print. They run the built binary.
#include <gtest/gtest.h>

#include <cctype>
#include <string_view>
#include <set>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "engine/QVMain.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace qv::test {
namespace {

// The word of lower-case letters (and, with dashes, '-' after the first
// letter) that starts at line[at]; "" when none starts there.
std::string LowerWordAt(const std::string& line, size_t at, bool dashes = false) {
  size_t end = at;
  while (end < line.size() && (std::islower(static_cast<unsigned char>(line[end])) ||
                               (dashes && end > at && line[end] == '-'))) {
    ++end;
  }
  return line.substr(at, end - at);
}

// Checks a usage error: exit 1, one message line naming the problem, then the
// usage; nothing on standard output.
void ExpectUsageError(const ProcessResult& run, const std::string& mentioned) {
  EXPECT_EQ(run.ExitCode, 1) << run.Describe();
  EXPECT_TRUE(run.Out.empty()) << run.Describe();
  const std::vector<std::string> lines = Lines(run.Err);
  ASSERT_GE(lines.size(), 2u) << run.Describe();
  EXPECT_TRUE(lines[0].starts_with("qvell: error: ")) << run.Describe();
  EXPECT_NE(lines[0].find(mentioned), std::string::npos) << run.Describe();
  EXPECT_EQ(lines[1], "usage:") << run.Describe();
  EXPECT_NE(run.Err.find("qvell render PROJECT.qvl -o OUT"), std::string::npos);
}

// Checks a project that cannot be read: exit 2 and exactly one line.
void ExpectProjectError(const ProcessResult& run, const std::string& line) {
  EXPECT_EQ(run.ExitCode, 2) << run.Describe();
  EXPECT_TRUE(run.Out.empty()) << run.Describe();
  EXPECT_EQ(run.Err, line + "\n") << run.Describe();
}

TEST(QVCommandLine, NoArgumentsPrintsTheUsageAndExitsOne) {
  ProcessOptions headless;
  headless.Environment = {{"DISPLAY", std::nullopt},
                          {"WAYLAND_DISPLAY", std::nullopt},
                          {"QT_QPA_PLATFORM", std::nullopt}};
  ExpectUsageError(RunQvell({}, headless), "no display");
  ExpectUsageError(RunQvell({"some.qvl"}, headless), "no display");
}

// True when text holds word with no letter, digit or '-' right before or
// after it.
bool HoldsWord(const std::string& text, const std::string& word) {
  const auto part = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; };
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const size_t end = at + word.size();
    if ((at == 0 || !part(text[at - 1])) && (end == text.size() || !part(text[end]))) return true;
  }
  return false;
}

TEST(QVCommandLine, ManualPageNamesEveryCommandAndOptionTheHelpPrints) {
  std::string page = ReadBytes(QV_EXAMPLES_DIR "/../dist/qvell.1");
  for (size_t at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at)) {
    page.erase(at, 1);  // roff's "\-" is a plain '-'
  }
  std::set<std::string> commands, options;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"render", "--help"}, {"join", "--help"}, {"zoom", "--help"}, {"print", "-h"}}) {
    const ProcessResult help = RunQvell(args);
    ASSERT_EQ(help.ExitCode, 0) << help.Describe();
    for (const std::string& line : Lines(help.Out)) {
      if (line.starts_with("  qvell ")) {
        const std::string word = LowerWordAt(line, 8);
        if (!word.empty()) commands.insert(word);
      }
      // An option: "-x" or "--xx-yy" after a blank, "[", "|", "," or "(".
      for (size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] != '-' || (i > 0 && std::string_view(" [|,(").find(line[i - 1]) ==
                                            std::string_view::npos)) {
          continue;
        }
        const size_t dashes = line[i + 1] == '-' ? 2 : 1;
        const std::string word = LowerWordAt(line, i + dashes, true);
        if (!word.empty()) options.insert(line.substr(i, dashes) + word);
      }
    }
  }
  // What the help shows today, so that the reading of it cannot come up empty.
  for (const char* known : {"render", "join", "zoom", "print"}) EXPECT_TRUE(commands.contains(known));
  for (const char* known : {"-o", "--memory", "--print-frame", "--help", "--version"}) {
    EXPECT_TRUE(options.contains(known)) << known;
  }
  for (const std::string& c : commands) EXPECT_TRUE(HoldsWord(page, "qvell " + c)) << c;
  for (const std::string& o : options) EXPECT_TRUE(HoldsWord(page, o)) << o;
}

TEST(QVCommandLine, AnEditorThatCannotOpenItsDisplayExitsThree) {
  ProcessOptions unreachable;
  unreachable.Environment = {
      {"DISPLAY", ":4242"}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}};
  const ProcessResult run = RunQvell({}, unreachable);
  EXPECT_EQ(run.ExitCode, 3) << run.Describe();
  EXPECT_NE(run.Err.find("qvell: error: the editor cannot start"), std::string::npos)
      << run.Describe();
}

TEST(QVCommandLine, HelpAndVersionGoToStandardOutput) {
  for (const std::string help : {"--help", "-h"}) {
    const ProcessResult run = RunQvell({help});
    EXPECT_EQ(run.ExitCode, 0) << run.Describe();
    EXPECT_TRUE(run.Out.starts_with("usage:\n")) << run.Out;
    EXPECT_TRUE(run.Err.empty()) << run.Describe();
  }
  const ProcessResult renderHelp = RunQvell({"render", "--help"});
  EXPECT_EQ(renderHelp.ExitCode, 0) << renderHelp.Describe();
  EXPECT_TRUE(renderHelp.Out.starts_with("usage:\n")) << renderHelp.Out;

  const ProcessResult version = RunQvell({"--version"});
  EXPECT_EQ(version.ExitCode, 0) << version.Describe();
  ASSERT_EQ(Lines(version.Out).size(), 1u) << version.Out;
  EXPECT_TRUE(version.Out.starts_with("qvell ")) << version.Out;
  EXPECT_GT(version.Out.find_first_of("0123456789"), 5u) << version.Out;
}

TEST(QVCommandLine, WrongArgumentsAreUsageErrors) {
  ScratchDir dir;
  const std::string project = dir.File("p.qvl");
  WriteBytes(project, DefaultProjectText());
  const std::string out = dir.File("out.png");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"paint"}, "unknown command \"paint\""},
      {{"--frobnicate"}, "unknown option"},
      {{"--version", "extra"}, "takes no arguments"},
      {{"render"}, "needs a project file"},
      {{"render", project}, "-o OUT"},
      {{"render", project, "-o"}, "-o needs a value"},
      {{"render", project, "--output="}, "needs a file name"},
      {{"render", project, project, "-o", out}, "one project file"},
      {{"render", project, "-o", out, "--faster"}, "unknown option \"--faster\""},
      {{"render", project, "-o", out, "--quiet=yes"}, "--quiet takes no value"},
      {{"render", project, "-o", out, "--quality", "0"}, "1 to 100"},
      {{"render", project, "-o", out, "--quality=101"}, "1 to 100"},
      {{"render", project, "-o", out, "--quality", "high"}, "1 to 100"},
      {{"print", project, project}, "at most one project file"},
      {{"print", "--quiet"}, "unknown option"},
  };
  for (const auto& [args, mentioned] : cases) {
    SCOPED_TRACE(args.size() > 1 ? args[0] + " ... " + args.back() : args[0]);
    ExpectUsageError(RunQvell(args), mentioned);
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"p.qvl"});
}

TEST(QVCommandLine, ThreadsMustBeAWholeNumberInRange) {
  ScratchDir dir;
  const std::string project = dir.File("p.qvl");
  WriteBytes(project, DefaultProjectText());
  for (const std::string bad : {"-1", "1.5", "two", "", "+2", "257", "99999999999", "3x"}) {
    SCOPED_TRACE("--threads \"" + bad + "\"");
    ExpectUsageError(RunQvell({"render", project, "-o", dir.File("a.png"), "--threads", bad}),
                     "--threads takes a whole number from 0 to 256");
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"p.qvl"});
}

TEST(QVCommandLine, UnknownPictureExtensionListsTheThreeFormats) {
  ScratchDir dir;
  const std::string project = dir.File("p.qvl");
  WriteBytes(project, DefaultProjectText());
  for (const std::string name : {"a.gif", "a.tiff", "a", "a.png.txt", "a."}) {
    SCOPED_TRACE(name);
    const ProcessResult run = RunQvell({"render", project, "-o", dir.File(name)});
    ExpectUsageError(run, "picture format");
    const std::string first = Lines(run.Err).empty() ? "" : Lines(run.Err)[0];
    for (const std::string format : {".bmp", ".png", ".jpg", ".jpeg"}) {
      EXPECT_NE(first.find(format), std::string::npos) << first;
    }
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"p.qvl"});
}

TEST(QVCommandLine, PrintWritesTheDefaultProjectAsUtf8WithLineFeeds) {
  const std::string printed = DefaultProjectText();
  EXPECT_TRUE(printed.starts_with("Parameter:")) << printed;
  EXPECT_EQ(printed.find('\r'), std::string::npos);
  EXPECT_TRUE(IsValidUtf8(printed));
  EXPECT_NE(printed.find("Mixer:"), std::string::npos) << printed;

  // The text reads back in this process and writes out unchanged.
  QVMain main;
  const ReadResult read = ReadProject(main, printed);
  ASSERT_TRUE(read.Ok) << read.Describe();
  EXPECT_EQ(WriteProject(main), printed);
}

TEST(QVCommandLine, PrintOfAPrintedProjectIsIdentical) {
  ScratchDir dir;
  const std::string first = DefaultProjectText();
  WriteBytes(dir.File("a.qvl"), first);
  const ProcessResult fromFile = RunQvell({"print", dir.File("a.qvl")});
  EXPECT_EQ(fromFile.ExitCode, 0) << fromFile.Describe();
  EXPECT_EQ(fromFile.Out, first);
  const ProcessResult fromStdin = RunQvell({"print", "-"}, StdinFrom(dir.File("a.qvl")));
  EXPECT_EQ(fromStdin.ExitCode, 0) << fromStdin.Describe();
  EXPECT_EQ(fromStdin.Out, first);
  EXPECT_TRUE(fromStdin.Err.empty()) << fromStdin.Describe();
}

TEST(QVCommandLine, PrintReadsShiftJisAndByteOrderMarkFiles) {
  ScratchDir dir;
  const std::string text = ReplaceFirst(DefaultProjectText(), "Depth: 100", "Depth: 57");
  const std::string shiftJis = EncodeProjectText(text, ProjectEncoding::ShiftJis);  // older files
  ASSERT_FALSE(IsValidUtf8(shiftJis)) << "expected Shift-JIS bytes";
  ASSERT_NE(shiftJis.find("\r\n"), std::string::npos);
  WriteBytes(dir.File("sjis.qvl"), shiftJis);
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  WriteBytes(dir.File("bom.qvl"), "\xEF\xBB\xBF" + crlf);
  for (const std::string name : {"sjis.qvl", "bom.qvl"}) {
    SCOPED_TRACE(name);
    const ProcessResult run = RunQvell({"print", dir.File(name)});
    EXPECT_EQ(run.ExitCode, 0) << run.Describe();
    EXPECT_EQ(run.Out, text);
  }
}

TEST(QVCommandLine, UnreadableProjectExitsTwoWithOneLine) {
  ScratchDir dir;
  const std::string text = DefaultProjectText();
  const std::string bad = ReplaceFirst(text, "Depth: 100", "Depth: abc");
  WriteBytes(dir.File("bad.qvl"), bad);
  // Where the reader stops, held against the reader run in this process.
  QVMain main;
  const ReadResult read = ReadProject(main, bad);
  ASSERT_FALSE(read.Ok);
  const std::string where = std::to_string(read.Line) + ":" + std::to_string(read.Column);
  const std::vector<std::string> lines = Lines(bad);
  ASSERT_GE(read.Line, 1);
  EXPECT_NE(lines[static_cast<size_t>(read.Line - 1)].find("abc"), std::string::npos);

  const std::string expected = ": error: " + read.Message;
  for (const std::string command : {"print", "render"}) {
    SCOPED_TRACE(command);
    std::vector<std::string> args = {command, dir.File("bad.qvl")};
    if (command == "render") args.insert(args.end(), {"-o", dir.File("out.png")});
    ExpectProjectError(RunQvell(args), dir.File("bad.qvl") + ":" + where + expected);
    args[1] = "-";
    ExpectProjectError(RunQvell(args, StdinFrom(dir.File("bad.qvl"))),
                       "<stdin>:" + where + expected);
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"bad.qvl"});
}

TEST(QVCommandLine, ProjectFileThatCannotBeReadExitsTwo) {
  ScratchDir dir;
  WriteBytes(dir.File("binary.qvl"), std::string("Parameter: \n{\n\x80\xFF\xFD\n}\n"));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {dir.File("missing.qvl"), "No such file or directory"},
      {dir.File("binary.qvl"), "neither UTF-8 nor Shift-JIS"},
      {dir.File(""), "Is a directory"},
  };
  for (const auto& [path, reason] : cases) {
    SCOPED_TRACE(path);
    const ProcessResult run = RunQvell({"render", path, "-o", dir.File("out.png")});
    EXPECT_EQ(run.ExitCode, 2) << run.Describe();
    ASSERT_EQ(Lines(run.Err).size(), 1u) << run.Describe();
    EXPECT_TRUE(run.Err.starts_with(path + ": error: ")) << run.Describe();
    EXPECT_NE(run.Err.find(reason), std::string::npos) << run.Describe();
  }
  const ProcessResult fromStdin = RunQvell({"print", "-"}, StdinFrom(dir.File("binary.qvl")));
  EXPECT_EQ(fromStdin.ExitCode, 2) << fromStdin.Describe();
  EXPECT_TRUE(fromStdin.Err.starts_with("<stdin>: error: ")) << fromStdin.Describe();
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"binary.qvl"});

  // Endless input is refused after a bounded read, from a file or a pipe.
  const ProcessResult device = RunQvell({"print", "/dev/zero"});
  EXPECT_EQ(device.ExitCode, 2) << device.Describe();
  EXPECT_EQ(device.Err,
            "/dev/zero: error: cannot read the file: it is larger than 64 MiB, "
            "too large for a project file\n");
  const ProcessResult endless = RunQvell({"print", "-"}, StdinFrom("/dev/zero"));
  EXPECT_EQ(endless.ExitCode, 2) << endless.Describe();
  EXPECT_TRUE(endless.Err.starts_with("<stdin>: error: ")) << endless.Describe();
}

TEST(QVCommandLine, FailedWriteToStandardOutputExitsThree) {
  // A file size limit between the error line's length and the project text's
  // makes the write of standard output fail as on a full disk, while the
  // error line still fits.
  ProcessResult run;
  {
    FileSizeLimit limit(200);
    run = RunQvell({"print"});
  }
  EXPECT_EQ(run.ExitCode, 3) << run.Describe();
  EXPECT_EQ(Lines(run.Err).size(), 1u) << run.Describe();
  EXPECT_TRUE(run.Err.starts_with("qvell: error: cannot write to standard output: "))
      << run.Describe();
}

}  // namespace
}  // namespace qv::test
