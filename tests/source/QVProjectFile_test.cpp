// Project files: encodings and line ends in both directions, atomic saving,
// and loads that fail without touching the current project.
#include "source/QVProjectFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "source/QVSourceWriter.h"
#include "tests/image/ImageTestSupport.h"
#include "tests/source/SourceTestSupport.h"

namespace {

using qv::test::ErrorOf;
using qv::test::ReadBytes;
using qv::test::ReplaceAll;
using qv::test::ScratchDir;
using qv::test::WriteBytes;

// "マンデルブロ" and "和合成" in Shift-JIS.
const std::string kMandelbrotSjis = "\x83\x7D\x83\x93\x83\x66\x83\x8B\x83\x75\x83\x8D";
const std::string kSumSjis = "\x98\x61\x8D\x87\x90\xAC";
const std::string kBom = "\xEF\xBB\xBF";

TEST(QVProjectFile, DecodesUtf8WithOrWithoutBomAndShiftJis) {
  EXPECT_EQ(qv::DecodeProjectBytes("Type: マンデルブロ\n", "a.qvl"), "Type: マンデルブロ\n");
  EXPECT_EQ(qv::DecodeProjectBytes(kBom + "Type: 和合成\n", "a.qvl"), "Type: 和合成\n");
  EXPECT_EQ(qv::DecodeProjectBytes("Type: " + kMandelbrotSjis + " " + kSumSjis, "a.qvl"),
            "Type: マンデルブロ 和合成");
  EXPECT_EQ(qv::DecodeProjectBytes("", "a.qvl"), "");
  EXPECT_EQ(qv::DecodeProjectBytes(kBom, "a.qvl"), "");
}

TEST(QVProjectFile, NormalisesEveryKindOfLineEnd) {
  EXPECT_EQ(qv::DecodeProjectBytes("a\r\nb\rc\nd\r\n\r\n", "a.qvl"), "a\nb\nc\nd\n\n");
  EXPECT_EQ(qv::DecodeProjectBytes(kSumSjis + "\r\n\r", "a.qvl"), "和合成\n\n");
  EXPECT_EQ(qv::NormaliseLineEnds("\r\r\n\n\r"), "\n\n\n\n");
}

TEST(QVProjectFile, BytesOfNeitherEncodingNameTheFile) {
  for (const std::string& bytes :
       {std::string("ok \x81\x20 broken"), std::string("\x80\x80"), std::string("cut \x83")}) {
    const std::string message = ErrorOf([&] { qv::DecodeProjectBytes(bytes, "dir/p.qvl"); });
    EXPECT_EQ(message,
              "cannot read \"dir/p.qvl\": the file is neither UTF-8 nor Shift-JIS text; save it "
              "in one of these encodings");
  }
}

TEST(QVProjectFile, EndlessOrHugeInputIsRefusedNotReadIntoMemory) {
  // A device that never ends would otherwise fill the memory.
  EXPECT_EQ(ErrorOf([] { qv::ReadProjectFile("/dev/zero"); }),
            "cannot read \"/dev/zero\": it is larger than 64 MiB, too large for a project file");
  ScratchDir dir;
  const std::string path = dir.File("huge.qvl");
  WriteBytes(path, std::string(qv::kMaxProjectBytes + 1, ' '));
  EXPECT_NE(ErrorOf([&] { qv::ReadProjectFile(path); }).find("larger than 64 MiB"),
            std::string::npos);
  std::filesystem::resize_file(path, qv::kMaxProjectBytes);  // the largest that is read
  EXPECT_EQ(qv::ReadProjectFile(path).size(), qv::kMaxProjectBytes);
}

TEST(QVProjectFile, ControlCharactersAreRefusedByLineAndColumnInEitherEncoding) {
  // Columns count characters, as the project reader's messages do.
  const struct {
    std::string Bytes, Problem;
  } cases[] = {
      {std::string("Name: マ\r\nName: a\0b\n", 20), "a NUL byte at line 2, column 8"},
      {kSumSjis + "\r\n\t" + kSumSjis + std::string(1, '\0'), "a NUL byte at line 2, column 5"},
      {"Name: \x1B[31m\n", "a control character (\"\\x1B\") at line 1, column 7"},
      {"\n\n\x7F", "a control character (\"\\x7F\") at line 3, column 1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorOf([&] { qv::DecodeProjectBytes(c.Bytes, "p.qvl"); }),
              "cannot read \"p.qvl\": the text holds " + c.Problem +
                  ", which a project cannot hold; remove it")
        << c.Problem;
  }
  EXPECT_EQ(qv::DecodeProjectBytes("a\tb\r\n\rc", "p.qvl"), "a\tb\n\nc");  // tabs and line ends
}

constexpr qv::ProjectEncoding kSjis = qv::ProjectEncoding::ShiftJis;

TEST(QVProjectFile, EncodesUtf8WithLfByDefault) {
  const struct {
    std::string Text, Bytes;
  } cases[] = {
      {"Type: マンデルブロ\n\tMixer: 和合成\n", "Type: マンデルブロ\n\tMixer: 和合成\n"},
      {"a\r\nb\rc\n", "a\nb\nc\n"},  // CR LF and lone CR become LF
      {"Name: café 😀 〜\n", "Name: café 😀 〜\n"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qv::EncodeProjectText(c.Text), c.Bytes) << c.Text;
    EXPECT_EQ(qv::EncodeProjectText(c.Text, qv::ProjectEncoding::Utf8), c.Bytes) << c.Text;
  }
}

TEST(QVProjectFile, EncodesShiftJisWithCrLfOnRequest) {
  EXPECT_EQ(qv::EncodeProjectText("Type: マンデルブロ\n\tMixer: 和合成\n", kSjis),
            "Type: " + kMandelbrotSjis + "\r\n\tMixer: " + kSumSjis + "\r\n");
  EXPECT_EQ(qv::EncodeProjectText("plain\nascii\n", kSjis), "plain\r\nascii\r\n");
  // Line ends already in CR LF or CR are not doubled.
  EXPECT_EQ(qv::EncodeProjectText("a\r\nb\rc", kSjis), "a\r\nb\r\nc");
  // Half-width katakana alone is fine in Shift-JIS.
  EXPECT_EQ(qv::EncodeProjectText("ｱ", kSjis), "\xB1");
}

TEST(QVProjectFile, RefusesShiftJisThatWouldLoseOrConfuse) {
  for (const char* text : {
           "Name: café 😀\n",  // not in Shift-JIS at all
           "Name: 〜\n",      // converts, but comes back as U+FF5E
           "Name: ﾂ｡\n",      // its Shift-JIS bytes would read back as UTF-8 "¡"
       }) {
    try {
      qv::EncodeProjectText(text, kSjis);
      ADD_FAILURE() << text << " was encoded";
    } catch (const qv::ProjectFileError& e) {
      EXPECT_EQ(e.Problem(), qv::FileProblem::Encoding) << text;
    }
  }
}

TEST(QVProjectFile, GeneratedProjectsSurviveEncodingInShiftJisWithCrLf) {
  QVMain main;
  int shiftJis = 0;
  for (int index = 0; index < qv::test::ProjectCount; ++index) {
    SCOPED_TRACE("project " + std::to_string(index));
    qv::test::BuildProject(main, index);
    const std::string text = qv::WriteProject(main);
    const std::string bytes = qv::EncodeProjectText(text, kSjis);
    EXPECT_FALSE(bytes.starts_with(kBom));
    EXPECT_EQ(bytes.find("\n"), bytes.find("\r\n") + 1);
    shiftJis += !qv::IsValidUtf8(bytes);
    // The Shift-JIS bytes, and the same with blanks for tabs, read to the same graph.
    for (const std::string& variant : {bytes, ReplaceAll(bytes, "\t", "    ")}) {
      qv::test::BuildProject(main, index + 1);
      const qv::ReadResult r = qv::ReadProject(main, qv::DecodeProjectBytes(variant, "p.qvl"));
      ASSERT_TRUE(r.Ok) << r.Describe();
      EXPECT_EQ(qv::WriteProject(main), text);
    }
  }
  EXPECT_EQ(shiftJis, qv::test::ProjectCount);  // type and method names are Japanese
}

// Replaces main's project by another, loads path and expects text back.
void ExpectLoadGivesBack(QVMain& main, const std::string& path, const std::string& text) {
  qv::test::BuildProject(main, 2);
  ASSERT_NE(qv::WriteProject(main), text);
  const qv::ReadResult r = qv::LoadProjectFile(main, path);
  ASSERT_TRUE(r.Ok) << r.Describe();
  EXPECT_EQ(qv::WriteProject(main), text);
}

TEST(QVProjectFile, SaveAndLoadGiveBackTheProject) {
  ScratchDir dir;
  const std::string path = dir.File("project.qvl");
  QVMain main;
  qv::test::BuildProject(main, 9);
  const std::string text = qv::WriteProject(main);
  const std::vector<int32_t> picture = qv::test::RenderPicture(main);
  qv::SaveProjectFile(main, path);
  EXPECT_EQ(ReadBytes(path), text);  // UTF-8 with LF, as the writer gives it
  ExpectLoadGivesBack(main, path, text);
  EXPECT_EQ(qv::test::RenderPicture(main), picture);
  qv::SaveProjectFile(main, path, kSjis);
  EXPECT_EQ(ReadBytes(path), qv::EncodeProjectText(text, kSjis));
  EXPECT_FALSE(qv::IsValidUtf8(ReadBytes(path)));
  ExpectLoadGivesBack(main, path, text);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"project.qvl"});
}

TEST(QVProjectFile, LoadsAUtf8FileWithBomAndLoneCrLineEnds) {
  ScratchDir dir;
  const std::string path = dir.File("mac.qvl");
  QVMain main;
  qv::test::BuildProject(main, 3);
  const std::string text = qv::WriteProject(main);
  WriteBytes(path, kBom + ReplaceAll(text, "\n", "\r"));
  ExpectLoadGivesBack(main, path, text);
}

TEST(QVProjectFile, FailedLoadsLeaveTheProjectUntouched) {
  ScratchDir dir;
  QVMain main;
  qv::test::BuildProject(main, 6);
  const std::string before = qv::WriteProject(main);
  const std::vector<QVGenerator*> generators(main.Graph().Generators);

  const std::string missing = dir.File("missing.qvl");
  EXPECT_EQ(ErrorOf([&] { qv::LoadProjectFile(main, missing); }),
            "cannot read \"" + missing + "\": No such file or directory");
  EXPECT_EQ(ErrorOf([&] { qv::LoadProjectFile(main, dir.File("")); }),
            "cannot read \"" + dir.File("") + "\": Is a directory");

  const std::string binary = dir.File("binary.qvl");
  WriteBytes(binary, "Parameter: \x81\x20\n");
  EXPECT_NE(ErrorOf([&] { qv::LoadProjectFile(main, binary); }).find("\"" + binary + "\""),
            std::string::npos);

  const std::string broken = dir.File("broken.qvl");
  WriteBytes(broken, qv::EncodeProjectText(ReplaceAll(before, "Range: ", "Rage: "), kSjis));
  const qv::ReadResult r = qv::LoadProjectFile(main, broken);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Message, "expected \"Range:\", found \"Rage:\"");

  EXPECT_EQ(qv::WriteProject(main), before);
  EXPECT_EQ(main.Graph().Generators, generators);
}

TEST(QVProjectFile, FailedSaveNamesTheFileAndKeepsTheOldOne) {
  ScratchDir dir;
  QVMain main;
  const std::string inMissingDir = dir.File("no/such/dir/p.qvl");
  EXPECT_EQ(ErrorOf([&] { qv::SaveProjectFile(main, inMissingDir); }),
            "cannot write \"" + inMissingDir + "\": No such file or directory");

  const std::string path = dir.File("p.qvl");
  qv::SaveProjectFile(main, path);
  const std::string old = ReadBytes(path);
  qv::test::BuildProject(main, 8);
  {
    qv::test::FileSizeLimit limit(old.size() / 2);  // the disk fills up half-way
    const std::string message = ErrorOf([&] { qv::SaveProjectFile(main, path); });
    EXPECT_EQ(message.rfind("cannot write \"" + path + "\": ", 0), 0u) << message;
  }
  EXPECT_EQ(ReadBytes(path), old);
  qv::test::BuildProject(main, 8);
  main.Graph().Rename(*main.Graph().Generators.front(), "Generator😀");  // no Shift-JIS for it
  EXPECT_EQ(ErrorOf([&] { qv::SaveProjectFile(main, path, kSjis); }),
            "cannot write \"" + path +
                "\": the project holds characters that Shift-JIS cannot keep; save it as UTF-8");
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"p.qvl"});
}

}  // namespace
