#include "image/QVProjectPicture.h"

#include <gtest/gtest.h>

#include <string>

#include "ImageTestSupport.h"
#include "image/QVPngReader.h"
#include "source/QVProjectFile.h"

namespace qv::test {
namespace {

const std::string kProject = "Parameter: \n{\n\tFractalType: ジュリア\n}\n";

TEST(ProjectPicture, APngSavedWithItsProjectReadsBackAsThatProject) {
  ScratchDir dir;
  QVRGBField field;
  FillRandom(field, 5, 4, 2);
  WritePictureWithProject(dir.File("a.png"), *PictureOf(field), PictureFormat::Png, kProject);
  EXPECT_EQ(ReadProjectOrPicture(dir.File("a.png")), kProject);
  // A project file reads as it always did, whatever its encoding.
  WriteProjectFile(dir.File("a.qvl"), kProject);
  EXPECT_EQ(ReadProjectOrPicture(dir.File("a.qvl")), kProject);
}

TEST(ProjectPicture, OnlyAPngCarriesTheProjectAndAnEmptyProjectWritesNoChunk) {
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

}  // namespace
}  // namespace qv::test
