#include "ui/QVViewerStatus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/DeepViews.h"
#include "ui/QVViewZoom.h"

namespace {

using S = QVViewerStatus;
using St = S::State;
using namespace std::chrono_literals;

}  // namespace

// Each road of a render request, by its events: the state, the status text
// and the caption at the end.
TEST(QVViewerStatus, EveryRoadOfARender) {
  struct Row {
    const char* name;
    const char* events;  // s start, p picture, e end, x user stop, f failure, n nothing to draw
    St state;
    const char* text;
    const char* caption;
  };
  const Row rows[] = {
      {"finished", "spe", St::Finished, "描画完了 2.00 秒（毎秒 100 画素）", "V"},
      {"running", "s", St::Rendering, "描画中…（Esc で中止）", "V"},
      {"stopped by the user", "sxe", St::Stopped, "描画を中断しました（F5 で描画）", "V [中断]"},
      {"ended without a picture", "se", St::Stopped, "描画を中断しました（F5 で描画）", "V [中断]"},
      {"failed", "sfe", St::Failed, "描画できませんでした: why", "V"},
      {"no mixer", "n", St::NothingToDraw, "reason", "V"},
      {"a stop after the end changes nothing", "spex", St::Finished,
       "描画完了 2.00 秒（毎秒 100 画素）", "V"},
      {"a new start after a stop", "sxes", St::Rendering, "描画中…（Esc で中止）", "V"},
  };
  const S::Clock::time_point t0{};
  for (const Row& row : rows) {
    S status;
    for (const char* e = row.events; *e; ++e) {
      switch (*e) {
        case 's':
          status.Started(t0, 200);
          break;
        case 'p':
          status.PictureShown(t0 + 2s);
          break;
        case 'e':
          status.Ended();
          break;
        case 'x':
          status.Stopped();
          break;
        case 'f':
          status.Failed("why");
          break;
        default:
          status.NothingToDraw("reason");
          break;
      }
    }
    EXPECT_EQ(status.Current(), row.state) << row.name;
    EXPECT_EQ(status.Text(), row.text) << row.name;
    EXPECT_EQ(status.Caption("V"), row.caption) << row.name;
  }
}

TEST(QVViewerStatus, ANoteLastsUntilTheNextRender) {
  S status;
  status.Started({}, 1);
  status.Note("n");
  EXPECT_EQ(status.Text(), "n");
  status.Started({}, 1);
  EXPECT_EQ(status.Text(), "描画中…（Esc で中止）");
}

TEST(QVViewerStatus, FinishedTextsTimeAndRate) {
  EXPECT_EQ(S::FinishedText(0.25, 307200), "描画完了 0.250 秒（毎秒 1,228,800 画素）");
  EXPECT_EQ(S::FinishedText(12.5, 1000), "描画完了 12.50 秒（毎秒 80 画素）");
  EXPECT_EQ(S::FinishedText(250.0, 1000000000), "描画完了 250.0 秒（毎秒 4,000,000 画素）");
  EXPECT_EQ(S::FinishedText(0.0, 100), "描画完了 0.000 秒");
}

// The point shows the digits that tell neighbouring pixels apart.
TEST(QVViewerStatus, PointTextToThePixel) {
  struct Row {
    QVComplex point;
    double pixel;
    const char* text;
  };
  const Row rows[] = {
      {{-0.53125, 0.25}, 0.00625, "座標 (-0.531, 0.25)"},
      {{-0.743643887037151, 0.131825904205330}, 1e-10, "座標 (-0.743643887, 0.1318259042)"},
      {{1234.5678, -0.0001}, 0.1, "座標 (1234.6, -0.0001)"},
      {{-0.5, 0.0}, 1e-30, "座標 (-0.5, 0)"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(S::PointText(row.point, row.pixel), row.text) << row.text;
  }
}

// A point held with every digit shows as the doubles do while 15 digits reach
// the pixel, and with as many as the pixel's place needs beyond.
TEST(QVViewerStatus, PrecisePointTextToThePixel) {
  struct Row {
    const char* re;
    const char* im;
    double pixel;
    const char* text;
  };
  const Row rows[] = {
      {"-0.53125", "0.25", 0.00625, "座標 (-0.531, 0.25)"},
      {"-0.74364388703715123456789", "0.131825904205330", 1e-10,
       "座標 (-0.743643887, 0.1318259042)"},
      {"-1.5436890126920763615708559718017479865", "1.2345678901234567890123456789E-40",
       1e-30 / 320, "座標 (-1.543689012692076361570855971801748, 1E-40)"},
      {"9.99999999999999999999999999999999999", "-2.5E-21", 2e-20, "座標 (10, -3E-21)"},
      {"0.1250000000000000000000000000000004", "0", 2e-30, "座標 (0.125, 0)"},
  };
  for (const Row& row : rows) {
    const qv::DecimalComplex precise{qv::DecimalFromText(row.re), qv::DecimalFromText(row.im)};
    EXPECT_EQ(S::PointText(precise, qv::DecimalToComplex(precise), row.pixel), row.text)
        << row.text;
  }
}

// At scale 1e-100 every pixel of a row shows a point of its own: the shown
// real parts, read back and taken apart in MPFR, step by one pixel (give or
// take the rounding to the pixel's place) from the picture's left edge on.
TEST(QVViewerStatus, PointsOfNeighbouringDeepPixelsDiffer) {
  const QVView view = qv::test::DeepTestView(100);
  const int32_t w = 320, h = 240;
  const double pixel = view.Scale / w;
  std::vector<qv::Decimal> shown;
  for (int32_t x = 0; x < w; ++x) {
    const std::string text =
        S::PointText(qv::PrecisePointAt(view, w, h, x, 17), qv::PointAt(view, w, h, x, 17), pixel);
    const size_t open = text.find('('), comma = text.find(", ");
    ASSERT_NE(comma, std::string::npos) << text;
    shown.push_back(qv::DecimalFromText(text.substr(open + 1, comma - open - 1)));
    EXPECT_GT(qv::SignificantDigits(shown.back()), x == w / 2 ? 30 : 100) << text;
  }
  EXPECT_NEAR(qv::test::DecimalDifference(shown[0], view.Precise.re), -160 * pixel, 0.33 * pixel);
  for (size_t x = 1; x < shown.size(); ++x) {
    EXPECT_NEAR(qv::test::DecimalDifference(shown[x], shown[x - 1]), pixel, 0.33 * pixel) << x;
  }
}

TEST(QVViewerStatus, TheDeepPathsNoteNamesItsDepths) {
  EXPECT_EQ(S::DeepPathText(1000, 1000), "深い視点（摂動計算）深さ 1000");
  EXPECT_EQ(S::DeepPathText(500, 20000), "深い視点（摂動計算）深さ 500〜20000");
}

TEST(QVViewerStatus, WhyNothingIsDrawn) {
  EXPECT_NE(S::NothingToDrawReason(0, 640, 480).find("ミキサーがない"), std::string::npos);
  EXPECT_NE(S::NothingToDrawReason(1, 0, 480).find("幅 0、高さ 480"), std::string::npos);
  EXPECT_EQ(S::NothingToDrawReason(1, 1, 1), "");
  EXPECT_NE(S::RefusalText(qv::ViewRefusal::OutOfRange, "拡大").find("これ以上拡大できません"),
            std::string::npos);
}
