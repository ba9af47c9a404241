#include "ui/QVMagnification.h"

#include <gtest/gtest.h>

#include "ui/QVCaption.h"

TEST(QVMagnification, StoresTheTypedSizeShifted) {
  const int32_t cases[][3] = {
      {640, 0, 640}, {640, 2, 160}, {641, 1, 320}, {640, 3, 80}, {-7, 1, -4}};
  for (const auto& c : cases) EXPECT_EQ(QVMagnification::Stored(c[0], c[1]), c[2]) << c[0];
}

TEST(QVMagnification, RefreshShowsTheTypedSizeOnlyWhenItMatchesTheStoredOne) {
  // Stored by the frame under 1/4: show 640 x 480 and keep 1/4.
  auto s = QVMagnification::Refresh(160, 120, 640, 480, 2);
  EXPECT_EQ(s.Width, 640);
  EXPECT_EQ(s.Height, 480);
  EXPECT_EQ(s.Index, 2);
  // After a load (stored size not typed >> index): the stored size at "1".
  s = QVMagnification::Refresh(300, 200, 640, 480, 2);
  EXPECT_EQ(s.Width, 300);
  EXPECT_EQ(s.Height, 200);
  EXPECT_EQ(s.Index, 0);
  // At start nothing was typed.
  s = QVMagnification::Refresh(320, 320, std::nullopt, std::nullopt, 1);
  EXPECT_EQ(s.Width, 320);
  EXPECT_EQ(s.Index, 0);
}

TEST(QVCaption, RenderingAndProgressTexts) {
  EXPECT_EQ(QVCaption::Rendering("Q-Vell Viewer"), "Q-Vell Viewer [描画中]");
  EXPECT_EQ(QVCaption::Progress("Q-Vell Viewer", "Generator1", 12, 320),
            "Q-Vell Viewer [Generator1 12/320]");
}
