#include "image/QVPictureRegion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
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

// Random exact tilings of a small picture, cut by guillotine, appended to out.
void Cut(const PixelRect& r, std::mt19937& random, std::vector<PixelRect>& out) {
  const bool across = random() % 2 == 0;
  const int32_t length = across ? r.Height : r.Width;
  if (length < 2 || random() % 3 == 0) {
    out.push_back(r);
    return;
  }
  const int32_t at = 1 + static_cast<int32_t>(random() % static_cast<uint32_t>(length - 1));
  if (across) {
    Cut({r.X, r.Y, r.Width, at}, random, out);
    Cut({r.X, r.Y + at, r.Width, r.Height - at}, random, out);
  } else {
    Cut({r.X, r.Y, at, r.Height}, random, out);
    Cut({r.X + at, r.Y, r.Width - at, r.Height}, random, out);
  }
}

TEST(PictureRegion, TilingCheckAgreesWithAPixelCountOnRandomTilings) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 20000; ++trial) {
    const int32_t w = 1 + static_cast<int32_t>(random() % 9), h = 1 + static_cast<int32_t>(random() % 7);
    std::vector<PixelRect> parts;
    Cut({0, 0, w, h}, random, parts);
    // Spoil some: drop, move, resize or repeat a part.
    for (int k = static_cast<int>(random() % 3); k > 0 && !parts.empty(); --k) {
      PixelRect& p = parts[random() % parts.size()];
      const int32_t step = random() % 2 == 0 ? 1 : -1;
      switch (random() % 5) {
        case 0: parts.erase(parts.begin() + (&p - parts.data())); break;
        case 1: p.X += step; break;
        case 2: p.Y += step; break;
        case 3: (random() % 2 == 0 ? p.Width : p.Height) += step; break;
        default: parts.push_back(PixelRect(p)); break;
      }
    }
    std::vector<std::string> names;
    std::vector<int> count(static_cast<size_t>(w * h), 0);
    bool stray = false;
    for (const PixelRect& p : parts) {
      names.push_back("p" + std::to_string(names.size()));
      stray = stray || p.Empty() || p.X < 0 || p.Y < 0 || p.Right() > w || p.Bottom() > h;
      for (int32_t y = std::max(p.Y, 0); y < std::min<int64_t>(p.Bottom(), h); ++y) {
        for (int32_t x = std::max(p.X, 0); x < std::min<int64_t>(p.Right(), w); ++x) {
          ++count[static_cast<size_t>(y * w + x)];
        }
      }
    }
    const std::string problem = TilingProblem(parts, names, w, h);
    const auto hole = std::find(count.begin(), count.end(), 0);
    const bool overlap = std::any_of(count.begin(), count.end(), [](int c) { return c > 1; });
    SCOPED_TRACE("trial " + std::to_string(trial) + ": " + problem);
    ASSERT_EQ(problem.empty(), !stray && !overlap && hole == count.end());
    if (stray) {
      EXPECT_NE(problem.find("is not inside"), std::string::npos);
    } else if (overlap) {
      // The common rectangle named is covered twice throughout.
      const size_t at = problem.find("overlap in ");
      ASSERT_NE(at, std::string::npos);
      const std::optional<PixelRect> common =
          ParseRectText(problem.substr(at + 11, problem.find(';') - at - 11));
      ASSERT_TRUE(common.has_value());
      for (int32_t y = common->Y; y < common->Bottom(); ++y) {
        for (int32_t x = common->X; x < common->Right(); ++x) {
          EXPECT_GE(count[static_cast<size_t>(y * w + x)], 2) << x << "," << y;
        }
      }
    } else if (hole != count.end()) {
      const int32_t first = static_cast<int32_t>(hole - count.begin());
      const std::string where =
          "first at column " + std::to_string(first % w) + ", row " + std::to_string(first / w);
      EXPECT_NE(problem.find(where), std::string::npos) << where;
      const auto missing = std::count(count.begin(), count.end(), 0);
      EXPECT_NE(problem.find("leave " + std::to_string(missing) + " pixels"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace qv
