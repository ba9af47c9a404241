#include "ui/UnitEffector.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "engine/QVEffector.h"
#include "engine/QVMixer.h"
#include "tests/ui/UiNodeEditorsSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QVColorBarWidgets.h"
#include "ui/UnitPanelEffector.h"

namespace {

using qv::test::Click;

// The effector editor opened by a click on Effector1's panel.
class EffectorEditor : public ::testing::Test {
 protected:
  EffectorEditor() {
    Click(e_.controller.Panels(qv::NodeKind::Effector)[0]->Panel1);
    frame_ = e_.formEffector.FrameEffector1;
  }
  QVEffector& Node() { return *e_.main.Graph().Effectors[0]; }
  int MarkerColumn() const {
    return frame_->ShapeColorBarMarker->x() + qv::ColorBarView::MarkerWidth / 2 -
           frame_->ImageColorBar->x();
  }
  qv::test::NodeEditors e_;
  TFrameEffector* frame_;
};

TEST_F(EffectorEditor, NewEffectorShowsEntryZeroThenTheNextButtonEntryOne) {
  EXPECT_EQ(e_.formEffector.windowTitle(), QStringLiteral("Q-Vell Effector"));
  EXPECT_EQ(frame_->EditX->text(), QStringLiteral("0"));
  EXPECT_EQ(frame_->ImagePalette->Color(), 0);
  EXPECT_EQ(MarkerColumn(), 0);
  Click(frame_->ButtonColorBarInc);
  EXPECT_EQ(frame_->EditX->text(), QStringLiteral("1"));
  EXPECT_EQ(frame_->ImagePalette->Color(), 0xFFFFFF);
  EXPECT_EQ(MarkerColumn(), 321);
  Click(frame_->ButtonColorBarInc);  // stops at the last entry
  EXPECT_EQ(frame_->Selected(), 1);
}

TEST_F(EffectorEditor, DoubleClickInsertsTheGreyAtTheColumn) {
  QTest::mouseDClick(frame_->ImageColorBar, Qt::LeftButton, {}, QPoint(160, 8));
  EXPECT_EQ(Node().EntryCount(), 3);
  EXPECT_EQ(frame_->Selected(), 1);
  EXPECT_EQ(Node().EntryInput(1), 0.498442367601246);  // 160 / 321 as the text keeps it
  EXPECT_EQ(frame_->EditX->text(), QStringLiteral("0.498442367601246"));
  EXPECT_EQ(frame_->ImagePalette->Color(), 0x7F7F7F);
  EXPECT_EQ(MarkerColumn(), 160);
}

TEST_F(EffectorEditor, EnterCommitsTheTypedInputAndMovesTheEntry) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(&e_.formEffector));
  frame_->EditX->setFocus();
  frame_->EditX->selectAll();
  QTest::keyClicks(frame_->EditX, "2");
  EXPECT_EQ(Node().EntryInput(0), 0.0);  // nothing before the commit
  QTest::keyClick(frame_->EditX, Qt::Key_Return);
  EXPECT_EQ(Node().EntryInput(0), 1.0);
  EXPECT_EQ(Node().EntryInput(1), 2.0);
  EXPECT_EQ(frame_->Selected(), 1);
  EXPECT_EQ(frame_->ImageColorBar->Colors().front(), 0xFFFFFF);  // white (1) to black (2)
}

TEST_F(EffectorEditor, EnterInAnotherBoxPressesTheHiddenOkButton) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(&e_.formEffector));
  frame_->EditX->setText("0.5");
  frame_->EditX->setModified(true);  // typed, still pending
  frame_->EditDifferentialVectorR->setFocus();
  QTest::keyClick(frame_->EditDifferentialVectorR, Qt::Key_Return);
  EXPECT_EQ(Node().EntryInput(0), 0.5);
  EXPECT_FALSE(frame_->EditX->isModified());
}

TEST_F(EffectorEditor, TextsThatDoNotConvertAreMarkedAndStoreNothing) {
  const uint64_t stamp = Node().Stamp();
  for (const char* text : {"nan", "-", "1e", ""}) {
    frame_->EditX->setText(text);
    frame_->EditX->setModified(true);
    frame_->Button1->click();
    EXPECT_TRUE(frame_->Marks().Marked(frame_->EditX)) << text;
    qv::test::Commit(frame_->EditDifferentialVectorR, text);
    EXPECT_TRUE(frame_->Marks().Marked(frame_->EditDifferentialVectorR)) << text;
  }
  EXPECT_EQ(Node().EntryInput(0), 0.0);
  EXPECT_EQ(Node().DifferentialVector().re, 1.0);
  EXPECT_EQ(Node().Stamp(), stamp);
}

// The text would not tell the two entries apart: reading would merge them.
TEST_F(EffectorEditor, AnotherEntrysInputIsRefusedInline) {
  const uint64_t stamp = Node().Stamp();
  for (const char* text : {"1", "1.0000000000000002"}) {
    frame_->EditX->setText(text);
    frame_->EditX->setModified(true);
    frame_->Button1->click();
    EXPECT_TRUE(frame_->Marks().Marked(frame_->EditX)) << text;
    EXPECT_EQ(frame_->Marks().Status(),
              "'" + std::string(text) + "' は別の項目の入力値 1 と同じです");
    EXPECT_TRUE(frame_->EditX->isModified()) << text;
  }
  EXPECT_EQ(Node().EntryCount(), 2);
  EXPECT_EQ(Node().EntryInput(0), 0.0);
  EXPECT_EQ(Node().Stamp(), stamp);
  frame_->EditX->setText("0.25");
  frame_->EditX->setModified(true);
  frame_->Button1->click();
  EXPECT_FALSE(frame_->Marks().Marked(frame_->EditX));
  EXPECT_EQ(Node().EntryInput(0), 0.25);
}

TEST_F(EffectorEditor, DeleteKeepsTwoEntriesAndDifferentialGroupEditsTheSwitches) {
  Click(frame_->ButtonDelete);
  EXPECT_EQ(Node().EntryCount(), 2);
  frame_->CheckBoxDifferentialSW->click();
  frame_->CheckBoxDifferentialEdgeSW->click();
  EXPECT_TRUE(Node().Differential() && Node().DifferentialEdgeSW() &&
              !Node().DifferentialRegularSW());
  qv::test::Commit(frame_->EditDifferentialVectorI, "0.5");
  EXPECT_EQ(Node().DifferentialVector().im, 0.5);
}

TEST_F(EffectorEditor, AColourSetOnTheBarChangesTheNextRender) {
  e_.main.Parameter.ChangeWidth(12);
  e_.main.Parameter.ChangeHeight(8);
  ASSERT_TRUE(e_.main.RunPass());
  const auto before = e_.main.Graph().Mixers.back()->RGBField.Pixel(0, 0);
  frame_->RunColorDialog = [](QColorDialog* dialog) {
    dialog->setCurrentColor(QColor(255, 0, 0));
    return true;
  };
  frame_->ImagePaletteClick();  // entry 0: from black to red
  EXPECT_EQ(Node().EntryColor(0), 0x0000FF);
  EXPECT_EQ(frame_->ImageColorBar->Colors().front(), 0x0000FF);
  ASSERT_TRUE(e_.main.RunPass());
  EXPECT_NE(e_.main.Graph().Mixers.back()->RGBField.Pixel(0, 0), before);
}

}  // namespace
