#include "ui/UnitParameter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <string>

#include "UiTestSupport.h"
#include "engine/QVParameter.h"
#include "tests/ui/DeepViews.h"
#include "ui/QVStatusLine.h"
#include "ui/QVText.h"
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
  void Enter(QLineEdit* box) { QTest::keyClick(box, Qt::Key_Return); }
};

}  // namespace

TEST(TFrameParameter, TypingMarksBadTextsInlineWithoutAMessageBox) {
  qv::test::ErrorRecorder errors;
  BoundFrame b;
  b.Type(b.frame.EditScale, "-1e");
  EXPECT_TRUE(b.frame.Marks().Marked(b.frame.EditScale));
  EXPECT_EQ(b.frame.LabelStatus->Message(),
            QString::fromUtf8("'-1e' は浮動小数点数ではありません"));
  b.Type(b.frame.EditWidth, "640.0");
  EXPECT_EQ(b.frame.EditWidth->toolTip(), QString::fromUtf8("'640.0' は整数ではありません"));
  for (const char* bad : {"nan", "inf", "1,5", "0x10"}) {
    b.Type(b.frame.EditViewpointR, bad);
    EXPECT_TRUE(b.frame.Marks().Marked(b.frame.EditViewpointR)) << bad;
  }
  EXPECT_TRUE(errors.Messages.empty());
}

// Typing stores nothing, not even the texts on the way that convert; Enter or
// leaving the box stores a text that converts and is in range, and a box in
// red keeps the value stored before.
TEST(TFrameParameter, ABoxStoresOnlyOnEnterOrLeavingAndOnlyAGoodText) {
  BoundFrame b;
  const double scale = b.parameter.Scale();
  const int32_t width = b.parameter.Width();
  const uint64_t stamp = b.parameter.Stamp();
  b.Type(b.frame.EditScale, "1e400");  // "1", "1e4", "1e40" convert on the way
  b.Type(b.frame.EditWidth, "0.5");    // "0" on the way
  EXPECT_EQ(b.parameter.Stamp(), stamp);
  b.Enter(b.frame.EditScale);
  b.Enter(b.frame.EditWidth);
  EXPECT_EQ(b.parameter.Scale(), scale);
  EXPECT_EQ(b.parameter.Width(), width);
  EXPECT_EQ(b.parameter.Stamp(), stamp);
  EXPECT_EQ(b.frame.EditScale->toolTip(),
            QString::fromUtf8("'1e400' は範囲外です（数は -1.79E308 から 1.79E308 までです）"));
  b.Type(b.frame.EditScale, "2.5");
  EXPECT_EQ(b.parameter.Scale(), scale);
  b.Enter(b.frame.EditScale);
  EXPECT_EQ(b.parameter.Scale(), 2.5);
  qv::test::Commit(b.frame.EditHeight, "　２００ ");  // as an input method types it
  EXPECT_EQ(b.parameter.Height(), 200);
}

TEST(TFrameParameter, SizesBelowOneAndScalesNotAboveZeroAreRefusedWithTheReason) {
  struct Case {
    QLineEdit* TFrameParameter::*box;
    const char* text;
    int magnification;
    const char* message;
  };
  const Case cases[] = {
      {&TFrameParameter::EditWidth, "0", 0,
       "'0' は画像サイズにできません（1 以上の整数にしてください）"},
      {&TFrameParameter::EditHeight, "-5", 0,
       "'-5' は画像サイズにできません（1 以上の整数にしてください）"},
      {&TFrameParameter::EditWidth, "3", 2,
       "'3' は拡大率 1/4 で 0 になります（4 以上にしてください）"},
      {&TFrameParameter::EditScale, "0", 0,
       "'0' は視点倍率にできません（0 より大きい数にしてください）"},
      {&TFrameParameter::EditScale, "-2", 0,
       "'-2' は視点倍率にできません（0 より大きい数にしてください）"},
      {&TFrameParameter::EditScale, "1e-400", 0,
       "'1e-400' は小さすぎて 0 になります（視点倍率は 0 より大きい数です）"},
  };
  for (const Case& c : cases) {
    BoundFrame b;
    b.frame.ComboBoxMagnification->setCurrentIndex(c.magnification);
    const uint64_t stamp = b.parameter.Stamp();
    QLineEdit* box = b.frame.*c.box;
    b.Type(box, c.text);
    b.Enter(box);
    EXPECT_EQ(b.frame.LabelStatus->Message(), QString::fromUtf8(c.message)) << c.text;
    EXPECT_EQ(b.parameter.Stamp(), stamp) << c.text;
  }
}

TEST(TFrameParameter, MagnificationStoresShiftedAndRefreshesNeverShrink) {
  BoundFrame b;
  b.Type(b.frame.EditWidth, "640");
  b.Enter(b.frame.EditWidth);
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

// The boxes show every digit of a deep viewpoint and C: Enter on a box as
// shown keeps every digit, and a part typed anew leaves the other part's digits.
TEST(TFrameParameter, ADeepValueKeepsItsDigitsThroughTheBoxes) {
  BoundFrame b;
  const qv::DecimalComplex deep = qv::test::DeepTestView(30).Precise;
  b.parameter.ChangePreciseViewpoint(deep);
  b.parameter.ChangePreciseFractalParameter(deep);
  b.frame.UpdateView();
  EXPECT_EQ(b.frame.EditViewpointR->text(),
            QStringLiteral("-1.5436890126920763615708559718017479865"));
  EXPECT_EQ(b.frame.EditParameterI->text(), QStringLiteral("1.2345678901234567890123456789E-40"));
  for (QLineEdit* box : {b.frame.EditViewpointR, b.frame.EditViewpointI, b.frame.EditParameterR,
                         b.frame.EditParameterI}) {
    b.Enter(box);
  }
  EXPECT_EQ(b.parameter.PreciseViewpoint(), deep);
  EXPECT_EQ(b.parameter.PreciseFractalParameter(), deep);
  b.Type(b.frame.EditViewpointR, "0.25");
  b.Enter(b.frame.EditViewpointR);
  b.Type(b.frame.EditParameterI, "-0.5");
  b.Enter(b.frame.EditParameterI);
  EXPECT_EQ(b.parameter.PreciseViewpoint().re, qv::DecimalFromText("0.25"));
  EXPECT_EQ(b.parameter.PreciseViewpoint().im, deep.im);
  EXPECT_EQ(b.parameter.Viewpoint().re, 0.25);
  EXPECT_EQ(b.parameter.PreciseFractalParameter().re, deep.re);
  EXPECT_EQ(b.parameter.FractalParameter().im, -0.5);
}

// A part typed with 120 digits (or 16, one more than a double keeps) is
// stored with every one and shown back with every one, in the viewpoint and
// in C alike; 15 digits or fewer store the double the text keeps, as before.
TEST(TFrameParameter, ATypedPartKeepsEveryDigitItIsTypedWith) {
  std::string digits120 = "-1.";
  for (int i = 1; i < 120; ++i) digits120 += static_cast<char>('1' + (i * 7 + i / 13) % 9);
  digits120 += "E-3";
  const struct {
    std::string typed;
    std::string stored;  // DecimalToText of the stored part
  } rows[] = {
      {digits120, "-0.001" + digits120.substr(3, 119)},
      {"0.1234567890123456", "0.1234567890123456"},
      {"0.12345678901234567890", "0.1234567890123456789"},
      {"0.333333333333333333333333333333333", "0.333333333333333333333333333333333"},
      {"0.123456789012345", "0.123456789012345"},
      {"0.1000000000000000000000000001", "0.1000000000000000000000000001"},
  };
  BoundFrame b;
  for (const auto& row : rows) {
    for (QLineEdit* box : {b.frame.EditViewpointR, b.frame.EditParameterI}) {
      b.Type(box, row.typed.c_str());
      b.Enter(box);
      const qv::Decimal stored = box == b.frame.EditViewpointR
                                     ? b.parameter.PreciseViewpoint().re
                                     : b.parameter.PreciseFractalParameter().im;
      EXPECT_EQ(qv::DecimalToText(stored), row.stored) << row.typed;
      b.frame.UpdateView();
      EXPECT_EQ(qv::FromQString(box->text()), row.stored) << row.typed;
    }
  }
  // The stored digits typed again store nothing.
  const uint64_t stamp = b.parameter.Stamp();
  b.Type(b.frame.EditViewpointR, "0.1000000000000000000000000001");
  b.Enter(b.frame.EditViewpointR);
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
