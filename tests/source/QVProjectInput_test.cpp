#include "source/QVProjectInput.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "image/ImageTestSupport.h"
#include "image/PngTestChunks.h"
#include "image/QVPngReader.h"
#include "image/QVProjectPicture.h"
#include "source/QVProjectFile.h"

namespace qv::test {
namespace {

const std::string kProject = "Parameter: \n{\n\tFractalType: ジュリア\n}\n";

TEST(ProjectInput, APngSavedWithItsProjectReadsBackAsThatProject) {
  ScratchDir dir;
  QVRGBField field;
  FillRandom(field, 5, 4, 2);
  WritePictureWithProject(dir.File("a.png"), *PictureOf(field), PictureFormat::Png, kProject);
  EXPECT_EQ(ReadProjectOrPicture(dir.File("a.png")), kProject);
  // A project file reads as it always did, whatever its encoding.
  WriteProjectFile(dir.File("a.qvl"), kProject);
  EXPECT_EQ(ReadProjectOrPicture(dir.File("a.qvl")), kProject);
}

TEST(ProjectInput, OnlyAPngCarriesTheProjectAndAnEmptyProjectWritesNoChunk) {
  ScratchDir dir;
  QVRGBField field;
  FillRandom(field, 5, 4, 3);
  WritePictureWithProject(dir.File("a.png"), *PictureOf(field), PictureFormat::Png, "");
  EXPECT_TRUE(PngReader(dir.File("a.png")).Texts().empty());
  EXPECT_THROW(ReadProjectOrPicture(dir.File("a.png")), PngReadError);
  WritePictureWithProject(dir.File("a.jpg"), *PictureOf(field), PictureFormat::Jpeg, kProject);
  EXPECT_THROW(ReadProjectOrPicture(dir.File("a.jpg")), ProjectFileError);
  EXPECT_THROW(ReadProjectOrPicture(dir.File("missing.qvl")), ProjectFileError);
}

TEST(ProjectInput, AProjectOverLibpngsEightMegabytesReadsBackWhole) {
  // A colour bar of 400,000 random entries: about 10 MB of text.
  std::mt19937 random(7);
  std::string text = kProject + "\nEffector: Bands\n{\n";
  for (int i = 0; i < 400000; ++i) {
    text += "\tConvertData: " + std::to_string(i) + " " + std::to_string(random() % 256) + " " +
            std::to_string(random() % 256) + " " + std::to_string(random() % 256) + "\n";
  }
  text += "}\n";
  ASSERT_GT(text.size(), 8000000u);
  ScratchDir dir;
  QVRGBField field;
  FillRandom(field, 3, 2, 4);
  WritePictureWithProject(dir.File("big.png"), *PictureOf(field), PictureFormat::Png, text);
  EXPECT_TRUE(ReadProjectOrPicture(dir.File("big.png")) == text);  // no 10 MB in a failure
  EXPECT_TRUE(PngReader(dir.File("big.png")).Text(kProjectKeyword) == text);
}

TEST(ProjectInput, AProjectFileOfExactlyTheLimitReadsAndOneByteMoreDoesNot) {
  ScratchDir dir;
  const std::string path = dir.File("huge.qvl");
  WriteBytes(path, std::string(kMaxProjectBytes, '\n'));
  EXPECT_EQ(ReadProjectOrPicture(path).size(), kMaxProjectBytes);
  WriteBytes(path, std::string(kMaxProjectBytes + 1, '\n'));
  EXPECT_EQ(ErrorOf([&] { ReadProjectOrPicture(path); }),
            "cannot read \"" + path + "\": it is larger than 64 MiB, too large for a project file");
}

// A 4 x 3 PNG with these chunks before and after its pixels.
std::string PngWith(const std::string& beforePixels, const std::string& afterPixels = "") {
  return kPngSignature + PngHeaderChunk(4, 3) + beforePixels + GreyPixels(4, 3) + afterPixels +
         PngEnd();
}

TEST(ProjectInput, ProjectsInEveryKindOfTextChunkReadBack) {
  const std::string key = kProjectKeyword;
  const std::string crLf = "\xEF\xBB\xBFParameter: \r\n{\r\n\tFractalType: ジュリア\r\n}\r\n";
  const struct {
    const char* Label;
    std::string Chunk;
  } cases[] = {
      {"iTXt, deflated", ITextChunk(key, kProject)},
      {"iTXt, stored", ITextChunk(key, kProject, false)},
      {"tEXt", PngChunk("tEXt", key + '\0' + kProject)},
      {"zTXt", PngChunk("zTXt", key + '\0' + '\0' + Deflate(kProject))},
      {"byte order mark and CR LF", ITextChunk(key, crLf)},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    WriteBytes(dir.File("p.png"), PngWith(ITextChunk("Comment", "before") + c.Chunk));
    EXPECT_EQ(ReadProjectOrPicture(dir.File("p.png")), kProject) << c.Label;
  }
}

TEST(ProjectInput, EachDamageOfAPngIsToldByItsCause) {
  const std::string key = kProjectKeyword;
  const std::string name = "the \"Q-Vell project\" chunk";
  std::string badCrc = ITextChunk(key, kProject);
  badCrc.back() ^= 1;
  std::string badComment = ITextChunk("Comment", "a note");
  badComment.back() ^= 1;
  std::string badZlib = Deflate(kProject);
  badZlib[0] = 0;
  const std::string cutZlib = Deflate(kProject).substr(0, 20);
  const std::string whole = PngWith("");
  const struct {
    const char* Label;
    std::string Bytes, Error;
  } cases[] = {
      {"CRC", PngWith(badCrc), name + " is damaged (CRC error)"},
      {"zlib", PngWith(PngChunk("iTXt", key + std::string("\0\1\0\0\0", 5) + badZlib)),
       name + " is damaged (its compressed text does not inflate: incorrect header check)"},
      {"cut zlib", PngWith(PngChunk("zTXt", key + std::string(2, '\0') + cutZlib)),
       name + " is damaged (its compressed text is cut short)"},
      {"after the pixels", PngWith("", ITextChunk(key, kProject)),
       name + " comes after the pixels, where it is not read: a program that rewrote the PNG moved "
              "it; keep the file as qvell wrote it"},
      {"truncated", whole.substr(0, whole.size() - 20),
       "the file ends early, inside the IDAT chunk: it is truncated"},
      {"over the limit", PngWith(ITextChunk(key, std::string(kMaxProjectBytes + 1, '\n'))),
       name + " is larger than 64 MiB of text, too large to read"},
      {"not UTF-8", PngWith(ITextChunk(key, "Parameter: マ\xFF")),
       name + "'s text is not valid UTF-8 (at byte offset 14 of the text)"},
      {"NUL", PngWith(ITextChunk(key, std::string("Parameter: \n\tマ\0", 17), false)),
       name + "'s text holds a NUL byte at line 2, column 3, which a project cannot hold"},
      {"damaged other chunk", PngWith(badComment),
       "the \"Comment\" chunk is damaged (CRC error), and no other chunk holds a project"},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    WriteBytes(dir.File("p.png"), c.Bytes);
    try {
      ReadProjectOrPicture(dir.File("p.png"));
      ADD_FAILURE() << c.Label << " reads";
    } catch (const PngNoProjectError& e) {
      ADD_FAILURE() << c.Label << " is told as a PNG without project: " << e.what();
    } catch (const PngReadError& e) {
      EXPECT_EQ(e.what(), c.Error) << c.Label;
    }
  }
  WriteBytes(dir.File("p.png"), PngWith(ITextChunk("Comment", "a note")));
  EXPECT_THROW(ReadProjectOrPicture(dir.File("p.png")), PngNoProjectError);
}

}  // namespace
}  // namespace qv::test
