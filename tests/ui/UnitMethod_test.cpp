#include "ui/UnitMethod.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QTest>
#include <set>

#include "UiTestSupport.h"
#include "engine/methods/QVDivergenceMethods.h"
#include "engine/methods/QVFractalMethods.h"
#include "engine/methods/QVRenderingMethods.h"

namespace {

// A frame bound to a clone of "エプシロンクロス" (two slots), freshly shown.
struct BoundFrame {
  TFrameMethod frame;
  std::unique_ptr<QVDivergenceMethod> method = qv::CloneAs(*DivergenceMethods()[1]);
  BoundFrame() {
    frame.SetMethodList(DivergenceMethods());
    frame.Method = method.get();
    frame.UpdateView();
  }
};

}  // namespace

TEST(TFrameMethod, UpdateViewShowsKindLabelsAndFourRows) {
  BoundFrame b;
  EXPECT_EQ(b.frame.ComboBoxMethod->count(), static_cast<int>(DivergenceMethods().size()));
  EXPECT_EQ(b.frame.ComboBoxMethod->currentIndex(), 1);
  EXPECT_EQ(b.frame.LabelParam0->text(), QString::fromUtf8("幅"));
  EXPECT_EQ(b.frame.LabelParam1->text(), QString::fromUtf8("回数"));
  EXPECT_EQ(b.frame.LabelParam2->text(), QString());
  EXPECT_EQ(b.frame.EditParam0R->text(), QStringLiteral("0.01"));
  EXPECT_EQ(b.frame.EditParam3I->text(), QStringLiteral("0"));
}

TEST(TFrameMethod, EnterStoresOnlyWhatConvertsIntoSlotsTheMethodHas) {
  BoundFrame b;
  uint64_t stamp = b.method->Stamp();
  b.frame.EditParam1R->clear();
  QTest::keyClicks(b.frame.EditParam1R, "2.5");
  EXPECT_EQ(b.method->Stamp(), stamp);  // typing stores nothing
  QTest::keyClick(b.frame.EditParam1R, Qt::Key_Return);
  EXPECT_EQ(b.method->ParamValue(1).re, 2.5);
  EXPECT_GT(b.method->Stamp(), stamp);

  stamp = b.method->Stamp();
  QTest::keyClicks(b.frame.EditParam1R, "e");  // "2.5e" does not convert
  QTest::keyClick(b.frame.EditParam1R, Qt::Key_Return);
  EXPECT_EQ(b.method->ParamValue(1).re, 2.5);
  EXPECT_EQ(b.method->Stamp(), stamp);
  EXPECT_TRUE(b.frame.Marks().Marked(b.frame.EditParam1R));
  EXPECT_EQ(b.frame.EditParam1R->toolTip(),
            QString::fromUtf8("'2.5e' は浮動小数点数ではありません"));
  QTest::keyClicks(b.frame.EditParam1R, "1");
  EXPECT_FALSE(b.frame.Marks().Marked(b.frame.EditParam1R));
  QTest::keyClick(b.frame.EditParam1R, Qt::Key_Return);
  EXPECT_EQ(b.method->ParamValue(1).re, 25.0);

  stamp = b.method->Stamp();
  qv::test::Commit(b.frame.EditParam2I, "7");  // slot 2 does not exist: nothing stored
  EXPECT_EQ(b.method->Stamp(), stamp);
  qv::test::Commit(b.frame.EditParam2I, "abc");  // but the text is still checked
  EXPECT_TRUE(b.frame.Marks().Marked(b.frame.EditParam2I));
}

TEST(TFrameMethod, UnknownKindKeepsTheSelectionAndCloneSelectedFollowsTheBox) {
  BoundFrame b;
  const auto unlisted = qv::CloneAs(*OutputMethods()[1]);  // a name the box does not list
  b.frame.Method = unlisted.get();
  b.frame.ComboBoxMethod->setCurrentIndex(2);
  b.frame.UpdateView();
  EXPECT_EQ(b.frame.ComboBoxMethod->currentIndex(), 2);
  EXPECT_EQ(b.frame.CloneSelected(DivergenceMethods())->Name(), DivergenceMethods()[2]->Name());
}

// The boxes' left edges over every method of a family shown in one frame.
template <typename T>
std::set<int> BoxLefts(const std::vector<const T*>& list) {
  TFrameMethod frame;
  frame.SetMethodList(list);
  frame.resize(360, 200);
  frame.show();
  std::set<int> lefts;
  for (const T* prototype : list) {
    std::unique_ptr<T> method = qv::CloneAs(*prototype);
    frame.Method = method.get();
    frame.UpdateView();
    frame.GroupBoxMethod->layout()->activate();
    lefts.insert(frame.EditParam0R->x());
  }
  return lefts;
}

// The label column fits the widest label of the family, so the boxes stand
// still whichever method is shown.
TEST(TFrameMethod, BoxesStayInPlaceAcrossEveryMethodOfTheFamily) {
  EXPECT_EQ(BoxLefts(FractalMethods()).size(), 1u);
  EXPECT_EQ(BoxLefts(DivergenceMethods()).size(), 1u);
  EXPECT_EQ(BoxLefts(RenderingMethods()).size(), 1u);
}
