#include "image/QVPictureRegion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

TEST(PictureRegion, TextRoundTripsAndOddTextsAreRefused) {
  const PictureRegion region{{10, 20, 30, 40}, 100, 60};
  EXPECT_EQ(RegionText(region), "10,20,30,40 of 100x60");
  EXPECT_EQ(ParseRegionText(RegionText(region)), region);
  for (const char* bad : {"", "10,20,30,40", "10,20,30,40 of 100x59", "10,20,0,40 of 100x60",
                          "-1,20,30,40 of 100x60", "10,20,30,40 of 100x60 ", "a,b,c,d of 1x1"}) {
    EXPECT_EQ(ParseRegionText(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ParseRectText("0,5,7,9"), (PixelRect{0, 5, 7, 9}));
  for (const char* bad :
       {"0,5,7", "0,5,7,0", "+1,5,7,9", "1,5,7,9,", "1.0,5,7,9", "99999999999,1,1,1"}) {
    EXPECT_EQ(ParseRectText(bad), std::nullopt) << bad;
  }
}

TEST(PictureRegion, ExactTilingsPassAndGapsOverlapsAndStraysAreNamed) {
  const std::vector<std::string> names = {"a", "b", "c", "d"};
  // Four unequal quarters of 10 x 7.
  const std::vector<PixelRect> quarters = {{0, 0, 4, 3}, {4, 0, 6, 3}, {0, 3, 4, 4}, {4, 3, 6, 4}};
  EXPECT_EQ(TilingProblem(quarters, names, 10, 7), "");
  EXPECT_EQ(TilingProblem({{0, 0, 10, 7}}, {"whole"}, 10, 7), "");

  std::vector<PixelRect> gap = quarters;
  gap[3] = {5, 3, 5, 4};  // column 4 of rows 3..6 is missing
  EXPECT_NE(TilingProblem(gap, names, 10, 7).find("4 pixels"), std::string::npos);
  EXPECT_NE(TilingProblem(gap, names, 10, 7).find("column 4, row 3"), std::string::npos);

  std::vector<PixelRect> overlap = quarters;
  overlap[1] = {3, 0, 7, 3};
  const std::string message = TilingProblem(overlap, names, 10, 7);
  EXPECT_NE(message.find("a (0,0,4,3) and b (3,0,7,3) overlap in 3,0,1,3"), std::string::npos)
      << message;

  std::vector<PixelRect> stray = quarters;
  stray[3] = {4, 3, 7, 4};
  EXPECT_NE(TilingProblem(stray, names, 10, 7).find("d (4,3,7,4) is not inside"),
            std::string::npos);
}

}  // namespace
}  // namespace qv
