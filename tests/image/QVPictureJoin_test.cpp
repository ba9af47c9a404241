#include "image/QVPictureJoin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/ImageTestSupport.h"
#include "image/JoinTestParts.h"
#include "image/QVPngReader.h"

namespace qv::test {
namespace {

// Copies join into dir/out.png; returns the error message, or "" after a
// copy whose every pixel is JoinColour.
std::string CopyAndCheck(PictureJoin& join, const ScratchDir& dir) {
  EXPECT_EQ(join.Problem(), "");
  const std::string error = ErrorOf([&] {
    const auto out =
        OpenPictureStream(dir.File("out.png"), PictureFormat::Png, join.Width(), join.Height());
    EXPECT_TRUE(join.Copy(*out));
    out->Finish();
  });
  if (!error.empty()) return error;
  PngReader reader(dir.File("out.png"));
  std::vector<uint32_t> row(static_cast<size_t>(reader.Width()));
  for (int32_t y = 0; y < reader.Height(); ++y) {
    reader.ReadRow(row.data());
    for (int32_t x = 0; x < reader.Width(); ++x) {
      EXPECT_EQ(row[static_cast<size_t>(x)], JoinColour(x, y)) << x << "," << y;
    }
  }
  return "";
}

TEST(PictureJoin, APartChangedAfterItsCheckIsRefusedUnlessItWasKeptOpen) {
  struct Case {
    const char* change;
    size_t keepOpen;
    const char* error;  // "" : the join copies the part as checked
  };
  const Case cases[] = {
      {"wider", 0, "has changed since it was checked: its region says 8,0,8,4 of 16x4 but the "
                   "picture is 4000 x 4"},
      {"moved", 0, "has changed since it was checked: it now says 0,0,8,4 of 16x4 where it said "
                   "8,0,8,4 of 16x4"},
      {"project", 0, "has changed since it was checked: \"" /* path */},
      {"removed", 0, "again to copy it: "},
      {"wider", 2, ""},
      {"removed", 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.change) + ", keeping " + std::to_string(c.keepOpen));
    ScratchDir dir;
    const std::string left = dir.File("left.png"), right = dir.File("right.png");
    WriteJoinPart(left, {0, 0, 8, 4}, 16, 4);
    WriteJoinPart(right, {8, 0, 8, 4}, 16, 4);
    PictureJoin join({left, right}, c.keepOpen);
    const std::string change = c.change;
    const std::string next = dir.File("next.png");
    if (change == "wider") WriteJoinPart(next, {8, 0, 8, 4}, 16, 4, {}, 4000);
    if (change == "moved") WriteJoinPart(next, {0, 0, 8, 4}, 16, 4);
    if (change == "project") WriteJoinPart(next, {8, 0, 8, 4}, 16, 4, {{kProjectKeyword, "x"}});
    if (change == "removed") {
      std::filesystem::remove(right);
    } else {
      std::filesystem::rename(next, right);
    }
    const std::string error = CopyAndCheck(join, dir);
    if (*c.error == '\0') {
      EXPECT_EQ(error, "");
    } else {
      EXPECT_NE(error.find("\"" + right + "\""), std::string::npos) << error;
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
  }
}

}  // namespace
}  // namespace qv::test
