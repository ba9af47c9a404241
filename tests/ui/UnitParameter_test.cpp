#include "ui/UnitParameter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "UiTestSupport.h"
#include "engine/QVParameter.h"
#include "ui/UnitMethod.h"

namespace {

struct BoundFrame {
  QVParameter parameter;
  TFrameParameter frame;
  BoundFrame() {
    frame.SetParameter(&parameter);
    frame.UpdateView();
  }
  void Type(QLineEdit* box, const char* text) {
    box->clear();
    QTest::keyClicks(box, text);
  }
};

}  // namespace

TEST(TFrameParameter, TypingMarksBadTextsInlineWithoutAMessageBox) {
  qv::test::ErrorRecorder errors;
  BoundFrame b;
  b.Type(b.frame.EditScale, "-1e");  // "-", "-1" (stored), "-1e" (marked)
  EXPECT_EQ(b.parameter.Scale(), -1.0);
  EXPECT_TRUE(b.frame.Marks().Marked(b.frame.EditScale));
  EXPECT_EQ(b.frame.LabelStatus->text(), QString::fromUtf8("'-1e' は浮動小数点数ではありません"));
  QTest::keyClicks(b.frame.EditScale, "2");
  EXPECT_EQ(b.parameter.Scale(), -100.0);
  EXPECT_FALSE(b.frame.Marks().Marked(b.frame.EditScale));
  EXPECT_EQ(b.frame.LabelStatus->text(), QString());
  b.Type(b.frame.EditWidth, "640.0");
  EXPECT_EQ(b.parameter.Width(), 640);  // "640" was stored, "640." not
  EXPECT_EQ(b.frame.EditWidth->toolTip(), QString::fromUtf8("'640.0' は整数ではありません"));
  for (const char* bad : {"nan", "inf", "1,5", "0x10"}) {
    b.Type(b.frame.EditViewpointR, bad);
    EXPECT_TRUE(b.frame.Marks().Marked(b.frame.EditViewpointR)) << bad;
  }
  EXPECT_EQ(b.parameter.Viewpoint().re, 0.0);  // "0" of "0x10" was the last good text
  EXPECT_TRUE(errors.Messages.empty());
}

TEST(TFrameParameter, MagnificationStoresShiftedAndRefreshesNeverShrink) {
  BoundFrame b;
  b.Type(b.frame.EditWidth, "640");
  b.frame.ComboBoxMagnification->setCurrentIndex(2);  // "1/4"
  EXPECT_EQ(b.parameter.Width(), 160);
  EXPECT_EQ(b.parameter.Height(), 80);
  for (int i = 0; i < 3; ++i) b.frame.UpdateView();  // one refresh per zoom
  EXPECT_EQ(b.parameter.Width(), 160);
  EXPECT_EQ(b.frame.EditWidth->text(), QStringLiteral("640"));
  EXPECT_EQ(b.frame.ComboBoxMagnification->currentIndex(), 2);
  b.frame.ComboBoxMagnification->setCurrentIndex(0);
  EXPECT_EQ(b.parameter.Width(), 640);
  EXPECT_EQ(b.parameter.Height(), 320);

  b.frame.ComboBoxMagnification->setCurrentIndex(3);
  b.parameter.ChangeWidth(300);  // as a load does
  b.frame.UpdateView();
  EXPECT_EQ(b.frame.EditWidth->text(), QStringLiteral("300"));
  EXPECT_EQ(b.frame.ComboBoxMagnification->currentIndex(), 0);
  EXPECT_EQ(b.parameter.Width(), 300);
}

// The parameters hold what the text keeps; a refresh shows it and stores nothing
// (a store would stop the render and mark the picture out of date).
TEST(TFrameParameter, UpdateViewShowsTheKeptDigitsAndStoresNothing) {
  BoundFrame b;
  b.parameter.ChangeViewpoint({0.123456789012345678, 0.0});
  EXPECT_EQ(b.parameter.Viewpoint().re, 0.123456789012346);
  const uint64_t stamp = b.parameter.Stamp();
  b.frame.UpdateView();
  EXPECT_EQ(b.frame.EditViewpointR->text(), QStringLiteral("0.123456789012346"));
  EXPECT_EQ(b.parameter.Stamp(), stamp);
}

TEST(TFrameParameter, TypeAndMethodChoicesReachTheParameters) {
  BoundFrame b;
  b.frame.ComboBoxFractalType->setCurrentIndex(1);
  EXPECT_EQ(b.parameter.FractalType(), 1);
  const QVFractalMethod* before = &b.parameter.FractalMethod();
  const uint64_t stamp = b.parameter.Stamp();
  b.frame.FrameFractalMethod->ComboBoxMethod->setCurrentIndex(2);
  EXPECT_NE(&b.parameter.FractalMethod(), before);
  EXPECT_EQ(b.parameter.FractalMethod().Name(), FractalMethods()[2]->Name());
  EXPECT_EQ(b.frame.FrameFractalMethod->Method, &b.parameter.FractalMethod());
  EXPECT_GT(b.parameter.Stamp(), stamp);
}
