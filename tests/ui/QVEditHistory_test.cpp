#include "ui/QVEditHistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/QVScan.h"
#include "tests/ui/DeepViews.h"
#include "ui/QVDocumentTitle.h"
#include "ui/QVViewHistory.h"

TEST(QVEditHistory, BoundedByStepsKeepingTheNewest) {
  QVEditHistory history(10, 1 << 20);
  history.Reset("s0");
  for (int i = 1; i <= 50; ++i) EXPECT_TRUE(history.Record("s" + std::to_string(i)));
  EXPECT_EQ(history.States(), 11u);
  for (int i = 49; i >= 40; --i) {
    const std::string* text = history.Undo();
    ASSERT_NE(text, nullptr) << i;
    EXPECT_EQ(*text, "s" + std::to_string(i));
  }
  EXPECT_EQ(history.Undo(), nullptr);
  EXPECT_EQ(history.Current(), "s40");
}

TEST(QVEditHistory, BoundedByBytesButKeepsTheCurrentState) {
  QVEditHistory history(100, 1000);
  history.Reset(std::string(400, 'a'));
  history.Record(std::string(400, 'b'));
  EXPECT_EQ(history.States(), 2u);
  history.Record(std::string(400, 'c'));  // 1200 bytes: the oldest goes
  EXPECT_EQ(history.States(), 2u);
  EXPECT_EQ(history.Bytes(), 800u);
  history.Record(std::string(5000, 'd'));  // alone over the bound, and still kept
  EXPECT_EQ(history.States(), 1u);
  EXPECT_EQ(history.Current(), std::string(5000, 'd'));
  EXPECT_FALSE(history.CanUndo());
}

// The saved mark follows the state, not the text's age: undoing back to the
// saved state clears it, an edit after an undo sets it for good.
TEST(QVEditHistory, ModifiedFollowsTheSavedState) {
  QVEditHistory history;
  history.Reset("a");
  EXPECT_FALSE(history.Modified());
  EXPECT_FALSE(history.Record("a"));  // no change, no state
  EXPECT_FALSE(history.Modified());
  history.Record("b");
  EXPECT_TRUE(history.Modified());
  history.MarkSaved();
  EXPECT_FALSE(history.Modified());
  history.Undo();
  EXPECT_TRUE(history.Modified());
  history.Redo();
  EXPECT_FALSE(history.Modified());
  history.Undo();
  history.Record("c");  // drops "b" and what was ahead of it
  EXPECT_FALSE(history.CanRedo());
  EXPECT_TRUE(history.Modified());
}

// Back and forward against a plain list and index, over a fixed walk.
TEST(QVViewHistory, WalksLikeAListWithACursor) {
  const auto view = [](double s) { return QVView{{s, -s}, s}; };
  QVViewHistory views;
  views.Reset(view(0));
  std::vector<double> model{0};
  size_t at = 0;
  const std::string walk = "vvvbbvfffbbbbvvbfvb";  // v: visit, b: back, f: forward
  double next = 1;
  for (const char step : walk) {
    if (step == 'v') {
      EXPECT_TRUE(views.Visit(view(next)));
      model.resize(at + 1);
      model.push_back(next++);
      at = model.size() - 1;
    } else {
      const bool back = step == 'b';
      const bool possible = back ? at > 0 : at + 1 < model.size();
      const std::optional<QVView> got = back ? views.Back() : views.Forward();
      ASSERT_EQ(got.has_value(), possible) << step << " at " << at;
      if (!possible) continue;
      at += back ? -1 : 1;
      EXPECT_EQ(got->Scale, model[at]);
      EXPECT_EQ(got->Viewpoint.im, -model[at]);
    }
    EXPECT_EQ(views.Size(), model.size());
    EXPECT_EQ(views.CanGoBack(), at > 0);
    EXPECT_EQ(views.CanGoForward(), at + 1 < model.size());
  }
  EXPECT_FALSE(views.Visit(view(model[at])));  // the view shown is no new one
}

TEST(QVViewHistory, KeepsTheNewestViews) {
  QVViewHistory views;
  for (size_t i = 1; i <= QVViewHistory::kMaxViews + 10; ++i) views.Visit({{0, 0}, double(i)});
  EXPECT_EQ(views.Size(), QVViewHistory::kMaxViews);
  size_t back = 0;
  std::optional<QVView> last;
  while (const std::optional<QVView> v = views.Back()) last = v, ++back;
  EXPECT_EQ(back, QVViewHistory::kMaxViews - 1);
  EXPECT_EQ(last->Scale, 11.0);
}

// Two deep views whose viewpoints part beyond the 15th digit are two views,
// and walking back gives the first one's every digit.
TEST(QVViewHistory, TellsDeepViewsApartByEveryDigit) {
  const QVView first = qv::test::DeepTestView(40);
  QVView second = first;
  second.Precise.re = qv::DecimalFromText("-1.5436890126920763615708559718017479866");
  QVViewHistory views;
  views.Reset(first);
  EXPECT_TRUE(views.Visit(second));
  EXPECT_FALSE(views.Visit(second));
  const std::optional<QVView> back = views.Back();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Precise, first.Precise);
}

TEST(QVDocumentTitle, NameAndMark) {
  const struct {
    const char* path;
    bool modified;
    const char* title;
  } rows[] = {
      {"", false, "Q-Vell Viewer"},
      {"", true, "Q-Vell Viewer *"},
      {"/home/u/name.qvl", false, "Q-Vell Viewer — name.qvl"},
      {"/home/u/name.qvl", true, "Q-Vell Viewer — name.qvl *"},
      {"rel.png", true, "Q-Vell Viewer — rel.png *"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(qv::DocumentTitle("Q-Vell Viewer", row.path, row.modified), row.title) << row.path;
  }
}
