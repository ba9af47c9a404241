#include "image/QVPictureStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ImageTestSupport.h"
#include "image/QVPngReader.h"

namespace qv::test {
namespace {

const PictureFormat kFormats[] = {PictureFormat::Bmp, PictureFormat::Jpeg, PictureFormat::Png};

std::string Name(PictureFormat f) {
  return f == PictureFormat::Bmp ? "p.bmp" : f == PictureFormat::Jpeg ? "p.jpg" : "p.png";
}

TEST(PictureStream, BandsOfAnyHeightGiveTheFileOfTheWholePicture) {
  ScratchDir dir;
  QVRGBField field;
  FillRandom(field, 37, 23, 5);
  const QVPictureRef picture = PictureOf(field);
  for (PictureFormat format : kFormats) {
    WritePicture(dir.File("whole"), *picture, format, PictureFileOptions());
    const std::string whole = ReadBytes(dir.File("whole"));
    for (int32_t band : {1, 2, 7, 22, 23}) {
      const std::string path = dir.File(Name(format));
      const auto stream = OpenPictureStream(path, format, 37, 23);
      for (int32_t y = 0; y < 23; y += band)
        stream->WriteRows(picture->Row(y), std::min(band, 23 - y));
      stream->Finish();
      EXPECT_EQ(ReadBytes(path), whole) << Name(format) << ", bands of " << band;
    }
  }
}

TEST(PictureStream, RefusesRowsPastTheLastAndAnEarlyFinishWithoutLeavingAFile) {
  ScratchDir dir;
  std::vector<uint32_t> rows(4 * 3, 0xFF102030u);
  for (PictureFormat format : kFormats) {
    {
      const auto stream = OpenPictureStream(dir.File(Name(format)), format, 4, 2);
      EXPECT_THROW(stream->WriteRows(rows.data(), 3), std::logic_error) << Name(format);
      stream->WriteRows(rows.data(), 1);
      EXPECT_THROW(stream->Finish(), std::logic_error) << Name(format);
    }
    EXPECT_TRUE(dir.Entries().empty()) << Name(format);
  }
}

TEST(PngReader, TextChunksAndPixelsComeBackAsWritten) {
  ScratchDir dir;
  QVRGBField field;
  FillRandom(field, 19, 11, 8);
  PictureFileOptions options;
  options.Texts = {{kProjectKeyword, "Parameter: \n{\n\tFractalType: マンデルブロ\n}\n"},
                   {kRegionKeyword, "1,2,19,11 of 40x30"}};
  WritePicture(dir.File("t.png"), *PictureOf(field), PictureFormat::Png, options);
  PngReader reader(dir.File("t.png"));
  ASSERT_EQ(reader.Texts().size(), 2u);
  EXPECT_EQ(reader.Text(kProjectKeyword), options.Texts[0].Text);
  EXPECT_EQ(reader.Text(kRegionKeyword), options.Texts[1].Text);
  EXPECT_EQ(reader.Text("other"), std::nullopt);
  ASSERT_EQ(reader.Width(), 19);
  ASSERT_EQ(reader.Height(), 11);
  std::vector<uint32_t> row(19);
  for (int32_t y = 0; y < 11; ++y) {
    reader.ReadRow(row.data());
    for (int32_t x = 0; x < 19; ++x) {
      ASSERT_EQ(QVPicture::ToEngineColor(row[x]), field.Pixel(x, y)) << x << ", " << y;
    }
  }
  EXPECT_EQ(ReadPngProject(dir.File("t.png")), options.Texts[0].Text);
}

TEST(PngReader, APictureWithoutProjectOrNotAPngSaysWhy) {
  ScratchDir dir;
  QVRGBField field;
  FillRandom(field, 3, 3, 1);
  WritePicture(dir.File("bare.png"), *PictureOf(field), PictureFormat::Png, PictureFileOptions());
  WriteBytes(dir.File("text.png"), "Parameter:\n");
  const auto message = [](const std::string& path) {
    try {
      ReadPngProject(path);
    } catch (const PngReadError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_NE(message(dir.File("bare.png")).find("carries no project"), std::string::npos);
  EXPECT_NE(message(dir.File("bare.png")).find("--no-project"), std::string::npos);
  EXPECT_NE(message(dir.File("text.png")).find("not a PNG file"), std::string::npos);
  EXPECT_NE(message(dir.File("missing.png")), "");
  EXPECT_FALSE(IsPngFile(dir.File("text.png")));
  EXPECT_TRUE(IsPngFile(dir.File("bare.png")));
}

}  // namespace
}  // namespace qv::test
