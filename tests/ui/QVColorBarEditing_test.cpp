// The effector editor's bar as a user edits it: inserts, the stops dragged
// with the mouse and moved with the arrow keys, a typed input that is never
// lost, an empty bar repaired, and every edit reading back from the saved
// project exactly as the bar showed it.
#include <gtest/gtest.h>

#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <random>
#include <utility>
#include <vector>

#include "engine/QVEffector.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "tests/ui/UiNodeEditorsSupport.h"
#include "ui/QVColorBarWidgets.h"
#include "ui/QVStatusLine.h"
#include "ui/UnitEffector.h"
#include "ui/UnitPanelEffector.h"

namespace {

using qv::test::Click;

// Entries as (input, colour) pairs.
using Bar = std::vector<std::pair<double, int32_t>>;

Bar Entries(const QVEffector& e) {
  Bar out;
  for (const ConvertData& d : e.ColorBar().Entries()) out.emplace_back(d.Input, d.Color);
  return out;
}

class ColorBarEditing : public ::testing::Test {
 protected:
  ColorBarEditing() {
    Click(e_.controller.Panels(qv::NodeKind::Effector)[0]->Panel1);
    frame_ = e_.formEffector.FrameEffector1;
    stops_ = frame_->ImageColorBarStops;
  }
  QVEffector& Node() { return *e_.main.Graph().Effectors[0]; }
  // The bar's entries after the project is saved and read into a fresh one.
  Bar ReadBack() {
    QVMain fresh;
    EXPECT_TRUE(qv::ReadProject(fresh, qv::WriteProject(e_.main)).Ok);
    return Entries(*fresh.Graph().Effectors[0]);
  }
  QPoint AtColumn(int col, int y = 5) const { return {col + qv::ColorBarStops::Pad, y}; }
  void Type(const char* text) {
    frame_->EditX->setText(text);
    frame_->EditX->setModified(true);  // typed, not yet committed
  }
  qv::test::NodeEditors e_;
  TFrameEffector* frame_;
  qv::ColorBarStops* stops_;
};

// Each insert takes exactly the colour painted in its column, and the bar is
// repainted after it: the saved bar is the bar the user saw.
TEST_F(ColorBarEditing, InsertsLeftToRightSaveTheColoursTheBarShowed) {
  std::vector<int32_t> shown;
  for (int col = 3; col < 300; col += 5) {
    shown.push_back(frame_->ImageColorBar->Colors()[col]);
    QTest::mouseDClick(frame_->ImageColorBar, Qt::LeftButton, {}, QPoint(col, 8));
    ASSERT_EQ(Node().EntryColor(frame_->Selected()), shown.back()) << col;
    ASSERT_EQ(frame_->ImageColorBar->Colors(), frame_->Bar().ColumnColors()) << col;
  }
  const Bar saved = ReadBack();
  ASSERT_EQ(saved.size(), shown.size() + 2);
  for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(saved[i + 1].second, shown[i]) << i;
  EXPECT_EQ(saved, Entries(Node()));
}

// The ◀ ▶ buttons, a double-click and a press on a stop take no focus, so
// they commit the typed input themselves before they act.
TEST_F(ColorBarEditing, ATypedInputIsCommittedByEveryOtherEditOfTheBar) {
  Type("0.25");
  Click(frame_->ButtonColorBarInc);
  EXPECT_EQ(Node().EntryInput(0), 0.25);
  EXPECT_EQ(frame_->Selected(), 1);
  Type("0.75");
  Click(frame_->ButtonColorBarDec);
  EXPECT_EQ(Node().EntryInput(1), 0.75);
  Type("0.5");
  QTest::mouseDClick(frame_->ImageColorBar, Qt::LeftButton, {}, QPoint(300, 8));
  EXPECT_EQ(Node().EntryInput(0), 0.5);
  EXPECT_EQ(Node().EntryCount(), 3);
  Type("0.1");
  QTest::mousePress(stops_, Qt::LeftButton, {}, AtColumn(stops_->Columns()[2]));
  QTest::mouseRelease(stops_, Qt::LeftButton, {}, AtColumn(stops_->Columns()[2]));
  EXPECT_EQ(Node().EntryInput(0), 0.1);
  // A refused input stays in its marked box, and the other edit waits.
  Type("0.5");  // stop 1's input
  Click(frame_->ButtonColorBarDec);
  EXPECT_TRUE(frame_->Marks().Marked(frame_->EditX));
  EXPECT_EQ(frame_->Selected(), 2);
}

TEST_F(ColorBarEditing, AnEmptyBarSaysWhyAndADoubleClickRepairsIt) {
  Node().ClearEntries();
  frame_->SetEffector(&Node());
  frame_->UpdateView();
  Click(frame_->ButtonColorBarInc);
  EXPECT_FALSE(e_.formEffector.LabelStatus->Message().isEmpty());
  QTest::mouseDClick(frame_->ImageColorBar, Qt::LeftButton, {}, QPoint(100, 8));
  EXPECT_EQ(Entries(Node()), (Bar{{0.0, 0}, {1.0, 0xFFFFFF}}));
  EXPECT_EQ(frame_->ImageColorBar->Colors(), frame_->Bar().ColumnColors());
  Node().DeleteEntry(0);  // one entry left: the bar has no span
  QTest::mouseDClick(frame_->ImageColorBar, Qt::LeftButton, {}, QPoint(100, 8));
  EXPECT_EQ(Entries(Node()), (Bar{{1.0, 0xFFFFFF}, {2.0, 0xFFFFFF}}));
}

TEST_F(ColorBarEditing, TheInputBoxShowsTheWholeLongestNumber) {
  e_.formEffector.show();
  for (const char* text : {"-5.26479750778E297", "0.498442367601246", "-1.79769313486231E308"}) {
    frame_->EditX->setText(text);
    EXPECT_LE(frame_->EditX->fontMetrics().horizontalAdvance(text),
              frame_->EditX->contentsRect().width() - 4)
        << text;
  }
}

TEST_F(ColorBarEditing, AStopDraggedAlongTheBarSnapsAndOffTheBarIsDeleted) {
  QTest::mouseDClick(frame_->ImageColorBar, Qt::LeftButton, {}, QPoint(100, 8));
  ASSERT_EQ(stops_->Columns(), (std::vector<int32_t>{0, 100, 321}));
  QTest::mousePress(stops_, Qt::LeftButton, {}, AtColumn(101));  // near enough
  QTest::mouseMove(stops_, AtColumn(161));  // the stop keeps its distance to the pointer
  EXPECT_EQ(Node().EntryInput(1), 0.498442367601246);
  QTest::mouseMove(stops_, AtColumn(0));  // onto stop 0: stays at 160
  EXPECT_EQ(Node().EntryInput(1), 0.498442367601246);
  QTest::mouseRelease(stops_, Qt::LeftButton, {}, AtColumn(0));
  EXPECT_EQ(Node().EntryCount(), 3);
  // The last stop dragged inward: the bar keeps its scale until the release.
  QTest::mousePress(stops_, Qt::LeftButton, {}, AtColumn(321));
  QTest::mouseMove(stops_, AtColumn(200));
  EXPECT_EQ(stops_->Columns().back(), 200);
  QTest::mouseRelease(stops_, Qt::LeftButton, {}, AtColumn(200));
  EXPECT_EQ(stops_->Columns().back(), 321);
  EXPECT_EQ(ReadBack(), Entries(Node()));
  // Off the bar: deleted, down to two.
  QTest::mousePress(stops_, Qt::LeftButton, {}, AtColumn(stops_->Columns()[1]));
  QTest::mouseMove(stops_, AtColumn(stops_->Columns()[1], 60));
  QTest::mouseRelease(stops_, Qt::LeftButton, {}, AtColumn(stops_->Columns()[1], 60));
  EXPECT_EQ(Node().EntryCount(), 2);
  QTest::mousePress(stops_, Qt::LeftButton, {}, AtColumn(0));
  QTest::mouseMove(stops_, AtColumn(0, -90));
  QTest::mouseRelease(stops_, Qt::LeftButton, {}, AtColumn(0, -90));
  EXPECT_EQ(Node().EntryCount(), 2);
  EXPECT_FALSE(e_.formEffector.LabelStatus->Message().isEmpty());
}

// 0.5 lies between the values of columns 160 and 161: a click near its stop
// selects it and leaves it exactly where it is.
TEST_F(ColorBarEditing, AClickOnAStopSelectsItAndMovesNothing) {
  Node().InsertEntry(0x808080, 0.5);
  frame_->UpdateView();
  QTest::mouseClick(stops_, Qt::LeftButton, {}, AtColumn(stops_->Columns()[1] + 3));
  EXPECT_EQ(frame_->Selected(), 1);
  EXPECT_EQ(Entries(Node()), (Bar{{0.0, 0}, {0.5, 0x808080}, {1.0, 0xFFFFFF}}));
}

TEST_F(ColorBarEditing, ArrowKeysMoveTheSelectedStopAndADoubleClickPicksItsColour) {
  Click(frame_->ButtonColorBarInc);  // stop 1, at input 1
  QTest::keyClick(stops_, Qt::Key_Left);
  EXPECT_EQ(Node().EntryInput(1), 0.996884735202492);  // column 320
  QTest::keyClick(stops_, Qt::Key_Right);
  QTest::keyClick(stops_, Qt::Key_Right);
  EXPECT_GT(Node().EntryInput(1), 1.0);  // past the end: the bar widens
  int opened = 0;
  frame_->RunColorDialog = [&](QColorDialog* dialog) {
    ++opened;
    dialog->setCurrentColor(QColor(0, 0, 255));
    return true;
  };
  QTest::mouseDClick(stops_, Qt::LeftButton, {}, AtColumn(0));
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(frame_->Selected(), 0);
  EXPECT_EQ(Node().EntryColor(0), 0xFF0000);
  EXPECT_EQ(Node().EntryCount(), 2);
}

// Whatever the user does to the bar, the saved project reads back as the bar
// that was edited: no two entries of one input, every input as the text keeps it.
TEST_F(ColorBarEditing, EveryEditReadsBackAsTheBarShowed) {
  std::mt19937 rng(19);
  for (int step = 0; step < 300; ++step) {
    const int col = static_cast<int>(rng() % 322);
    switch (rng() % 6) {
      case 0:
        QTest::mouseDClick(frame_->ImageColorBar, Qt::LeftButton, {}, QPoint(col % 321, 8));
        break;
      case 1: {
        const int from = stops_->Columns()[rng() % stops_->Columns().size()];
        QTest::mousePress(stops_, Qt::LeftButton, {}, AtColumn(from));
        QTest::mouseMove(stops_, AtColumn(col, rng() % 8 == 0 ? 80 : 5));
        QTest::mouseRelease(stops_, Qt::LeftButton, {}, AtColumn(col, 5));
        break;
      }
      case 2:
        QTest::keyClick(stops_, rng() % 2 ? Qt::Key_Left : Qt::Key_Right);
        break;
      case 3:
        frame_->EditX->setText(QString::number(static_cast<double>(rng() % 2000) / 999.0, 'g', 17));
        frame_->EditX->setModified(true);
        frame_->Button1->click();
        break;
      case 4:
        Click(rng() % 2 ? frame_->ButtonColorBarInc : frame_->ButtonColorBarDec);
        break;
      default:
        if (Node().EntryCount() > 6) Click(frame_->ButtonDelete);
        break;
    }
    ASSERT_EQ(ReadBack(), Entries(Node())) << "step " << step;
    ASSERT_EQ(frame_->ImageColorBar->Colors(), frame_->Bar().ColumnColors()) << "step " << step;
  }
}

}  // namespace
