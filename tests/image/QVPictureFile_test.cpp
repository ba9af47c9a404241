#include "image/QVPictureFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <string>

#include "ImageTestSupport.h"
#include "base/QVAtomicFile.h"

namespace {

using qv::PictureFormat;
using qv::test::ErrorOf;
using qv::test::FillRandom;
using qv::test::ReadBytes;
using qv::test::ScratchDir;
using qv::test::WriteBytes;

const PictureFormat kFormats[] = {PictureFormat::Bmp, PictureFormat::Jpeg, PictureFormat::Png};

// Each test gets a scratch directory and a field to fill.
class QVPictureFile : public testing::Test {
 protected:
  ScratchDir dir;
  QVRGBField field;
};

std::string NameOf(PictureFormat format) {
  switch (format) {
    case PictureFormat::Bmp:
      return "bmp";
    case PictureFormat::Jpeg:
      return "jpg";
    case PictureFormat::Png:
      return "png";
  }
  return "?";
}

TEST_F(QVPictureFile, ExtensionChoosesTheFormatIgnoringCase) {
  EXPECT_EQ(qv::PictureFormatFromName("a.bmp"), PictureFormat::Bmp);
  EXPECT_EQ(qv::PictureFormatFromName("a.BMP"), PictureFormat::Bmp);
  EXPECT_EQ(qv::PictureFormatFromName("a.jpg"), PictureFormat::Jpeg);
  EXPECT_EQ(qv::PictureFormatFromName("a.JPEG"), PictureFormat::Jpeg);
  EXPECT_EQ(qv::PictureFormatFromName("a.JpEg"), PictureFormat::Jpeg);
  EXPECT_EQ(qv::PictureFormatFromName("a.Png"), PictureFormat::Png);
  EXPECT_EQ(qv::PictureFormatFromName("x.tar.png"), PictureFormat::Png);
  EXPECT_EQ(qv::PictureFormatFromName("dir.d/.png"), PictureFormat::Png);
  EXPECT_EQ(qv::PictureFormatFromName("x.png.qvl"), std::nullopt);
  EXPECT_EQ(qv::PictureFormatFromName("picture"), std::nullopt);
  EXPECT_EQ(qv::PictureFormatFromName("picture."), std::nullopt);
  EXPECT_EQ(qv::PictureFormatFromName(""), std::nullopt);
  EXPECT_EQ(qv::PictureFormatFromName("a.jpe"), std::nullopt);
  EXPECT_EQ(qv::PictureFormatFromName("a.pngx"), std::nullopt);
  EXPECT_EQ(qv::PictureFormatFromName("a.bmp "), std::nullopt);
  EXPECT_EQ(qv::PictureFormatFromName("dir.png/picture"), std::nullopt);
}

TEST_F(QVPictureFile, EachFormatWritesItsOwnSignature) {
  FillRandom(field, 5, 3, 11);
  const std::string signatures[] = {"BM", "\xFF\xD8\xFF", "\x89PNG\r\n\x1A\n"};
  for (int i = 0; i < 3; ++i) {
    const std::string path = dir.File("sig." + NameOf(kFormats[i]));
    qv::WritePicture(path, *qv::PictureOf(field), kFormats[i]);
    EXPECT_EQ(ReadBytes(path).substr(0, signatures[i].size()), signatures[i]) << path;
  }
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"sig.bmp", "sig.jpg", "sig.png"}));
}

TEST_F(QVPictureFile, EmptyPictureIsRefusedAndNothingWritten) {
  const QVPicture empty(0, 0), noRows(7, 0), noColumns(-1, 4);
  for (const PictureFormat format : kFormats) {
    const std::string fresh = dir.File("empty." + NameOf(format));
    EXPECT_EQ(ErrorOf([&] { qv::WritePicture(fresh, empty, format); }),
              "the picture is empty (0 x 0): nothing to write to \"" + fresh + "\"");
    EXPECT_EQ(ErrorOf([&] { qv::WritePicture(fresh, noRows, format); }),
              "the picture is empty (7 x 0): nothing to write to \"" + fresh + "\"");
    EXPECT_EQ(ErrorOf([&] { qv::WritePicture(fresh, noColumns, format); }),
              "the picture is empty (0 x 4): nothing to write to \"" + fresh + "\"");
  }
  EXPECT_TRUE(dir.Entries().empty());
  const std::string existing = dir.File("existing.png");
  WriteBytes(existing, "old picture");
  EXPECT_NE(ErrorOf([&] { qv::WritePicture(existing, empty, PictureFormat::Png); }), "");
  EXPECT_EQ(ReadBytes(existing), "old picture");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"existing.png"});
}

TEST_F(QVPictureFile, MissingDirectoryIsReportedWithFileAndReason) {
  FillRandom(field, 3, 2, 12);
  for (const PictureFormat format : kFormats) {
    const std::string path = dir.File("no/such/dir/out." + NameOf(format));
    EXPECT_EQ(ErrorOf([&] { qv::WritePicture(path, *qv::PictureOf(field), format); }),
              "cannot write \"" + path + "\": " + qv::SystemErrorText(ENOENT));
  }
  EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(QVPictureFile, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  FillRandom(field, 200, 150, 13);  // every format needs far more than the limit
  for (const PictureFormat format : kFormats) {
    const std::string name = "full." + NameOf(format);
    const std::string path = dir.File(name);
    const std::string old(500, 'o');
    WriteBytes(path, old);
    std::string message;
    {
      qv::test::FileSizeLimit limit(4000);
      message = ErrorOf([&] { qv::WritePicture(path, *qv::PictureOf(field), format); });
    }
    EXPECT_EQ(message, "cannot write \"" + path + "\": " + qv::SystemErrorText(EFBIG)) << name;
    EXPECT_EQ(ReadBytes(path), old) << name;
    std::filesystem::remove(path);
    EXPECT_TRUE(dir.Entries().empty()) << name;
  }
}

TEST_F(QVPictureFile, SuccessfulWriteReplacesTheOldFileAndLeavesNoTemporary) {
  FillRandom(field, 9, 4, 14);
  for (const PictureFormat format : kFormats) {
    const std::string path = dir.File("replace." + NameOf(format));
    WriteBytes(path, "old");
    qv::WritePicture(path, *qv::PictureOf(field), format, 90);
    const std::string written = ReadBytes(path);
    EXPECT_GT(written.size(), 3u);
    EXPECT_NE(written, "old");
  }
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"replace.bmp", "replace.jpg", "replace.png"}));
}

}  // namespace
