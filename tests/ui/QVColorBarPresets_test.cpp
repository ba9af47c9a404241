#include "ui/QVColorBarPresets.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <set>
#include <utility>
#include <vector>

#include "UiTestSupport.h"
#include "base/QVScan.h"
#include "engine/QVEffector.h"
#include "source/QVColorBarText.h"
#include "tests/ui/UiNodeEditorsSupport.h"
#include "ui/QVColorBarWidgets.h"
#include "ui/QVEditSession.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitEffector.h"
#include "ui/UnitPanelEffector.h"
#include "ui/UnitViewer.h"

namespace {

using Stops = std::vector<std::pair<double, int32_t>>;

Stops StopsOf(const qv::ColorBar& bar) {
  Stops out;
  for (const ConvertData& d : bar.Entries()) out.emplace_back(d.Input, d.Color);
  return out;
}

// Every built-in bar is one the editor could have made: two stops or more,
// inputs rising and as the text keeps them, so applying one and saving the
// project reads back the same bar.
TEST(ColorBarPresets, BuiltinBarsAreDistinctAndReadBackAsTheyAre) {
  const std::vector<qv::ColorBarPreset> presets = qv::BuiltinColorBars();
  EXPECT_GE(presets.size(), 8u);
  std::set<QString> names;
  for (const qv::ColorBarPreset& p : presets) {
    names.insert(p.Name);
    const Stops stops = StopsOf(p.Bar);
    ASSERT_GE(stops.size(), 2u) << p.Name.toStdString();
    for (size_t i = 0; i < stops.size(); ++i) {
      EXPECT_EQ(qv::KeptNumber(stops[i].first), stops[i].first) << p.Name.toStdString();
      if (i > 0) {
        EXPECT_LT(stops[i - 1].first, stops[i].first) << p.Name.toStdString();
      }
    }
    qv::ColorBar read;
    ASSERT_TRUE(qv::ReadColorBarText(qv::WriteColorBarText(p.Bar), read).Ok());
    EXPECT_EQ(StopsOf(read), stops) << p.Name.toStdString();
  }
  EXPECT_EQ(names.size(), presets.size());
}

TEST(ColorBarPresets, SavedPresetsLoadBackByNameAndBadNamesAreRefused) {
  QTemporaryDir scratch;
  const qv::ColorBarPresetFolder folder(scratch.filePath("presets"));
  const qv::ColorBar fire = qv::BuiltinColorBars()[2].Bar;
  const qv::ColorBar grey({{-2.5, 0x010203}, {1e-7, 0xFFFFFF}});
  EXPECT_EQ(folder.Save(QString::fromUtf8("私の炎"), fire), QString());
  EXPECT_EQ(folder.Save(QStringLiteral(" b "), fire), QString());
  EXPECT_EQ(folder.Save(QStringLiteral("b"), grey), QString());  // replaces
  for (const char* bad : {"", "  ", ".hidden", "a/b", "a\\b", "c:d"}) {
    EXPECT_FALSE(folder.Save(QString::fromUtf8(bad), grey).isEmpty()) << bad;
  }
  QFile junk(scratch.filePath("presets/junk.txt"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("0 0 0 0\n1 2 3\n");
  junk.close();
  QStringList problems;
  const std::vector<qv::ColorBarPreset> loaded = folder.Load(&problems);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].Name, QStringLiteral("b"));
  EXPECT_EQ(StopsOf(loaded[0].Bar), StopsOf(grey));
  EXPECT_EQ(loaded[1].Name, QString::fromUtf8("私の炎"));
  EXPECT_EQ(StopsOf(loaded[1].Bar), StopsOf(fire));
  ASSERT_EQ(problems.size(), 1);
  EXPECT_TRUE(problems[0].contains(QString::fromUtf8("2 行目"))) << problems[0].toStdString();
}

TEST(ColorBarPresets, AFailedImportOrExportSaysWhyAndChangesNothing) {
  QTemporaryDir scratch;
  qv::ColorBar bar({{0.0, 1}, {1.0, 2}});
  EXPECT_FALSE(qv::ImportColorBar(scratch.filePath("missing.txt"), bar).isEmpty());
  EXPECT_EQ(StopsOf(bar), (Stops{{0.0, 1}, {1.0, 2}}));
  // A folder in the way of the file: the export fails and leaves it.
  ASSERT_TRUE(QDir(scratch.path()).mkdir("taken.txt"));
  EXPECT_FALSE(qv::ExportColorBar(scratch.filePath("taken.txt"), bar).isEmpty());
  EXPECT_TRUE(QFileInfo(scratch.filePath("taken.txt")).isDir());
}

// The effector editor's preset menu, with its dialogs answered by the test.
class PresetMenu : public ::testing::Test {
 protected:
  PresetMenu() {
    qv::test::Click(e_.controller.Panels(qv::NodeKind::Effector)[0]->Panel1);
    frame_ = e_.formEffector.FrameEffector1;
    frame_->SetPresetFolder(scratch_.filePath("presets"));
    frame_->AskColorBarFile = [this](bool) { return file_; };
    frame_->AskPresetName = [this] { return name_; };
  }
  QVEffector& Node() { return *e_.main.Graph().Effectors[0]; }
  // Fills the menu as opening it does, and triggers the item named text.
  bool Choose(const QString& text) {
    QMenu* menu = frame_->ButtonColorBarPreset->menu();
    frame_->ButtonColorBarPresetMenu(menu);
    for (QAction* a : menu->actions()) {
      if (a->text() == text && a->isEnabled()) {
        a->trigger();
        return true;
      }
    }
    return false;
  }
  qv::test::ErrorRecorder errors_;
  QTemporaryDir scratch_;
  qv::test::NodeEditors e_;
  TFrameEffector* frame_;
  QString file_;
  QString name_;
};

TEST_F(PresetMenu, ApplySaveExportAndImportABar) {
  const qv::ColorBarPreset fire = qv::BuiltinColorBars()[2];
  ASSERT_TRUE(Choose(fire.Name));
  EXPECT_EQ(StopsOf(Node().ColorBar()), StopsOf(fire.Bar));
  EXPECT_EQ(frame_->ImageColorBar->Colors(), frame_->Bar().ColumnColors());
  EXPECT_EQ(frame_->Selected(), 0);
  name_ = QStringLiteral("mine");
  ASSERT_TRUE(Choose(QString::fromUtf8("現在の色帯をプリセットとして保存...")));
  file_ = scratch_.filePath("out.txt");
  ASSERT_TRUE(Choose(QString::fromUtf8("色帯をファイルへ書き出し...")));
  ASSERT_TRUE(Choose(qv::BuiltinColorBars()[0].Name));  // grey
  ASSERT_TRUE(Choose(QString::fromUtf8("色帯をファイルから読み込み...")));
  EXPECT_EQ(StopsOf(Node().ColorBar()), StopsOf(fire.Bar));
  ASSERT_TRUE(Choose(qv::BuiltinColorBars()[0].Name));
  ASSERT_TRUE(Choose(QStringLiteral("mine")));
  EXPECT_EQ(StopsOf(Node().ColorBar()), StopsOf(fire.Bar));
  EXPECT_TRUE(errors_.Messages.empty());
  // A file that does not read: a message naming the line, and the bar stays.
  QFile bad(scratch_.filePath("bad.txt"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("0 0 0 0\n1 0 0 300\n");
  bad.close();
  file_ = bad.fileName();
  ASSERT_TRUE(Choose(QString::fromUtf8("色帯をファイルから読み込み...")));
  ASSERT_EQ(errors_.Messages.size(), 1u);
  EXPECT_NE(errors_.Messages[0].find("2 行目"), std::string::npos) << errors_.Messages[0];
  EXPECT_EQ(StopsOf(Node().ColorBar()), StopsOf(fire.Bar));
}

// A stop dragged is one step of the editor's undo.
TEST(ColorBarUndo, ADragIsOneUndoableStep) {
  qv::test::ErrorRecorder errors;
  TFormViewer viewer;
  TForm1 form{&viewer};
  TFormEffector window;
  form.SetNodeEditors(nullptr, &window, nullptr);
  QVEffector& node = *form.Main().Graph().Effectors[0];
  TFrameEffector* frame = window.FrameEffector1;
  frame->SetEffector(&node);
  frame->UpdateView();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  qv::ColorBarStops* stops = frame->ImageColorBarStops;
  const QPoint from(321 + qv::ColorBarStops::Pad, 5);
  const QPoint to(160 + qv::ColorBarStops::Pad, 5);
  QTest::mousePress(stops, Qt::LeftButton, {}, from);
  QTest::mouseMove(stops, {250 + qv::ColorBarStops::Pad, 5});
  QTest::mouseMove(stops, to);
  QTest::mouseRelease(stops, Qt::LeftButton, {}, to);
  ASSERT_EQ(node.EntryInput(1), 0.498442367601246);
  ASSERT_TRUE(qv::test::WaitFor([&] { return form.Session().History().CanUndo(); }));
  form.Session().Undo();
  QVEffector& restored = *form.Main().Graph().Effectors[0];
  EXPECT_EQ(restored.EntryInput(1), 1.0);  // the whole drag, not its last move
  EXPECT_TRUE(errors.Messages.empty());
}

}  // namespace
