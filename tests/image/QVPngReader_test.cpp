#include "image/QVPngReader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "PngTestChunks.h"

namespace qv::test {
namespace {

TEST(PngReader, ReadingTheTextsOfAVeryWidePictureSetsUpNoRows) {
  // A hundred bytes that describe a picture of 400,000,000 x 1: a row of it takes
  // 1.2 GB, which reading the project must not touch.
  ScratchDir dir;
  const std::string path = dir.File("wide.png");
  const std::string project = "Parameter: \n{\n}\n";
  WriteBytes(path, kPngSignature + PngHeaderChunk(400000000, 1) +
                       ITextChunk(kProjectKeyword, project) + PngChunk("IDAT", Deflate("\0")) +
                       PngEnd());
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {  // the command line's read, then join's
    bool ok = false;
    try {
      ok = ReadPngProject(path) == project && PngReader(path).Text(kProjectKeyword) == project;
    } catch (...) {
    }
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  rusage usage{};
  ASSERT_EQ(wait4(child, &status, 0, &usage), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_LT(usage.ru_maxrss, 100 << 10) << "kilobytes at most";  // this process's own, and little more
}

TEST(PngReader, APaletteAfterAncillaryChunksDecodesAndADamagedTextIsToldWhenAskedFor) {
  std::string badRegion = ITextChunk(kRegionKeyword, "0,0,2,2 of 2x2");
  badRegion.back() ^= 1;
  const std::string palette = std::string("\xFF\x00\x00", 3) + std::string("\x00\x00\xFF", 3);
  const std::string rows = std::string("\0\0\1\0\1\0", 6);  // filter 0, indices 0 1 / 1 0
  ScratchDir dir;
  WriteBytes(dir.File("p.png"), kPngSignature + PngHeaderChunk(2, 2, 3) +
                                    PngChunk("gAMA", BigEndian32(45455)) + PngChunk("PLTE", palette) +
                                    badRegion + ITextChunk("Comment", "palette") +
                                    PngChunk("IDAT", Deflate(rows)) + PngEnd());
  PngReader reader(dir.File("p.png"));
  EXPECT_EQ(reader.Text("Comment"), "palette");
  EXPECT_EQ(reader.Texts().size(), 1u);
  EXPECT_EQ(ErrorOf([&] { reader.Text(kRegionKeyword); }),
            "the \"Q-Vell region\" chunk is damaged (CRC error)");
  std::vector<uint32_t> row(2);
  reader.ReadRow(row.data());
  EXPECT_EQ(row, (std::vector<uint32_t>{0xFFFF0000u, 0xFF0000FFu}));
  reader.ReadRow(row.data());
  EXPECT_EQ(row, (std::vector<uint32_t>{0xFF0000FFu, 0xFFFF0000u}));
}

TEST(PngReader, RowsOfATruncatedFileSayItIsTruncated) {
  ScratchDir dir;
  QVRGBField field;
  FillRandom(field, 19, 11, 8);
  WritePicture(dir.File("t.png"), *PictureOf(field), PictureFormat::Png, PictureFileOptions());
  const std::string whole = ReadBytes(dir.File("t.png"));
  WriteBytes(dir.File("t.png"), whole.substr(0, whole.size() - 40));
  PngReader reader(dir.File("t.png"));
  std::vector<uint32_t> row(19);
  EXPECT_EQ(ErrorOf([&] {
              for (int32_t y = 0; y < 11; ++y) reader.ReadRow(row.data());
            }),
            "the file ends early, inside the IDAT chunk: it is truncated");
}

}  // namespace
}  // namespace qv::test
