#include "ui/QVEditSession.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVProjectFile.h"
#include "source/QVSourceWriter.h"
#include "ui/QVText.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitGenerator.h"
#include "ui/UnitParameter.h"
#include "ui/UnitViewer.h"

namespace {

struct Editor {
  qv::test::ErrorRecorder errors;
  TFormViewer viewer;
  TForm1 form{&viewer};
  QVEditSession& session = form.Session();
};

template <typename T>
T* Pick(const std::vector<T*>& nodes, std::mt19937_64& rng) {
  return nodes.empty() ? nullptr : nodes[rng() % nodes.size()];
}

// One edit of any kind the editor makes: parameters, a zoom, node settings,
// a colour bar, a name, the graph. The same seed gives the same edits.
void RandomEdit(QVMain& main, std::mt19937_64& rng, int serial) {
  QVNodeGraph& graph = main.Graph();
  QVParameter& p = main.Parameter;
  const double unit = static_cast<double>(rng() % 1000) / 1000.0;
  switch (rng() % 11) {
    case 0:
      p.ChangeScale(0.5 + unit * 4);
      break;
    case 1:  // a zoom: viewpoint and scale together
      p.ChangeViewpoint({unit - 0.5, unit / 2});
      p.ChangeScale(p.Scale() / 2);
      break;
    case 2:
      p.ChangeWidth(16 + static_cast<int32_t>(rng() % 300));
      break;
    case 3:
      if (QVGenerator* g = Pick(graph.Generators, rng)) g->SetDepth(1 + rng() % 3000);
      break;
    case 4:
      if (QVEffector* e = Pick(graph.Effectors, rng); e && e->EntryCount() > 0) {
        e->SetEntryColor(static_cast<int32_t>(rng() % e->EntryCount()), rng() % 0x1000000);
      } else if (e) {
        e->InsertEntry(0x123456, unit);
      }
      break;
    case 5:
      if (QVEffector* e = Pick(graph.Effectors, rng)) e->InsertEntry(rng() % 0x1000000, unit * 10);
      break;
    case 6:  // a name, which takes no stamp
      if (QVGenerator* g = Pick(graph.Generators, rng))
        graph.Rename(*g, "G" + std::to_string(serial));
      break;
    case 7:
      graph.AddEffector(Pick(graph.Generators, rng));
      break;
    case 8:
      if (graph.Generators.size() < 4) graph.AddGenerator(&p);
      break;
    case 9:
      if (QVMixer* m = Pick(graph.Mixers, rng)) {
        QVSourceList list;
        for (QVEffector* e : graph.Effectors) {
          if (rng() % 2) list.push_back({'+', e});
        }
        m->SetSourceList(list);
      }
      break;
    default: {
      std::vector<QVNode*> nodes(graph.Generators.begin(), graph.Generators.end());
      nodes.insert(nodes.end(), graph.Effectors.begin(), graph.Effectors.end());
      if (nodes.size() > 2) graph.DeleteNode(nodes[rng() % nodes.size()]);
      break;
    }
  }
}

}  // namespace

// 200 random edits, each recorded, then a random walk of undo and redo: every
// state restored is the project text seen after that edit, and redoing to
// the end gives the text of replaying the edits on a fresh project.
TEST(QVEditSession, UndoAndRedoOverRandomEditsEndOnTheReplayedProject) {
  Editor e;
  QVMain& main = e.form.Main();
  std::mt19937_64 rng(18);
  std::vector<std::string> texts{qv::WriteProject(main)};
  for (int i = 0; i < 200; ++i) {
    RandomEdit(main, rng, i);
    e.session.Checkpoint();
    std::string text = qv::WriteProject(main);
    if (text != texts.back()) texts.push_back(std::move(text));
  }
  ASSERT_GT(texts.size(), 150u);
  ASSERT_EQ(e.session.History().States(), texts.size());
  size_t at = texts.size() - 1;
  std::mt19937_64 walk(7);
  for (int step = 0; step < 600; ++step) {
    if (walk() % 3 == 0) {  // redo, else undo: the walk drifts back
      e.session.Redo();
      at = std::min(at + 1, texts.size() - 1);
    } else {
      e.session.Undo();
      at = at > 0 ? at - 1 : 0;
    }
    ASSERT_EQ(qv::WriteProject(main), texts[at]) << "step " << step << ", state " << at;
  }
  while (e.session.History().CanRedo()) e.session.Redo();
  QVMain replay;
  std::mt19937_64 again(18);
  for (int i = 0; i < 200; ++i) RandomEdit(replay, again, i);
  EXPECT_EQ(qv::WriteProject(main), qv::WriteProject(replay));
  EXPECT_TRUE(e.errors.Messages.empty());
}

// The unsaved-changes question before a load: save writes the changes to the
// project file and loads, discard loads, cancel changes nothing.
TEST(QVEditSession, AsksBeforeLoadingOverUnsavedChanges) {
  using A = QVEditSession::Answer;
  for (const A answer : {A::Save, A::Discard, A::Cancel}) {
    SCOPED_TRACE(static_cast<int>(answer));
    Editor e;
    QTemporaryDir dir;
    const std::string ours = qv::FromQString(dir.filePath("ours.qvl"));
    const std::string other = qv::FromQString(dir.filePath("other.qvl"));
    QVMain otherProject;
    otherProject.Parameter.ChangeWidth(123);
    qv::SaveProjectFile(otherProject, other);
    e.form.SaveToFile(ours);
    const std::string saved = qv::ReadProjectFile(ours);
    EXPECT_EQ(e.session.File(), ours);
    EXPECT_FALSE(e.session.Modified());
    e.form.Main().Parameter.ChangeScale(1.5);
    e.session.Checkpoint();
    EXPECT_TRUE(e.session.Modified());
    EXPECT_EQ(qv::FromQString(e.viewer.windowTitle()), "Q-Vell Viewer — ours.qvl *");
    EXPECT_EQ(qv::FromQString(e.form.windowTitle()), "DERevezaRudu — ours.qvl *");
    const std::string edited = qv::WriteProject(e.form.Main());
    int asked = 0, opened = 0;
    e.session.AskSave = [&](const std::string& file) {
      EXPECT_EQ(file, ours);
      ++asked;
      return answer;
    };
    e.form.RunOpenDialog = [&] { return ++opened, other; };
    e.form.Button5Click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(opened, answer == A::Cancel ? 0 : 1);
    EXPECT_EQ(qv::ReadProjectFile(ours), answer == A::Save ? edited : saved);
    if (answer == A::Cancel) {
      EXPECT_EQ(qv::WriteProject(e.form.Main()), edited);
      EXPECT_TRUE(e.session.Modified());
    } else {
      EXPECT_EQ(e.form.Main().Parameter.Width(), 123);
      EXPECT_EQ(e.session.File(), other);
      EXPECT_FALSE(e.session.Modified());
      EXPECT_EQ(qv::FromQString(e.viewer.windowTitle()), "Q-Vell Viewer — other.qvl");
    }
    EXPECT_TRUE(e.errors.Messages.empty());
  }
}

// A project without a file asks for one when saved; cancelling that dialog
// cancels the close, and so does "cancel" itself.
TEST(QVEditSession, CloseWaitsForTheQuestion) {
  using A = QVEditSession::Answer;
  Editor e;
  e.form.show();
  e.form.Main().Parameter.ChangeScale(2.5);
  e.session.Checkpoint();
  int dialogs = 0;
  e.form.RunSaveDialog = [&] { return ++dialogs, TForm1::SaveChoice{}; };
  for (const A answer : {A::Cancel, A::Save}) {
    e.session.AskSave = [&](const std::string& file) {
      EXPECT_EQ(file, "");
      return answer;
    };
    EXPECT_FALSE(e.form.close());
    EXPECT_TRUE(e.form.isVisible());
  }
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(e.session.Modified());
}

// Back and forward restore the views and are steps of the undo history too,
// through the session or the mouse's back and forward buttons.
TEST(QVEditSession, BackAndForwardThroughViews) {
  const auto press = [](Editor& e, Qt::MouseButton button) {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(e.viewer.ImageViewer, &event);
  };
  const struct {
    const char* how;
    std::function<void(Editor&)> back, forward;
  } ways[] = {
      {"session", [](Editor& e) { e.session.Back(); }, [](Editor& e) { e.session.Forward(); }},
      {"mouse", [&](Editor& e) { press(e, Qt::BackButton); },
       [&](Editor& e) { press(e, Qt::ForwardButton); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    Editor e;
    QVParameter& p = e.form.Main().Parameter;
    const QVComplex start = p.Viewpoint();
    p.ChangeViewpoint({0.25, 0.5});
    p.ChangeScale(1);
    e.session.Checkpoint();
    p.ChangeScale(0.5);
    e.session.Checkpoint();
    way.back(e);
    EXPECT_EQ(p.Scale(), 1);
    way.back(e);
    EXPECT_EQ(p.Viewpoint().re, start.re);
    way.back(e);  // nothing before the first view
    EXPECT_EQ(p.Viewpoint().re, start.re);
    way.forward(e);
    EXPECT_EQ(p.Scale(), 1);
    EXPECT_EQ(p.Viewpoint().im, 0.5);
    press(e, Qt::LeftButton);  // any other button is the viewer's
    EXPECT_EQ(p.Scale(), 1);
    e.session.Undo();  // the walk forward was an edit
    EXPECT_NE(p.Scale(), 1);
    EXPECT_TRUE(qv::test::WaitFor([&] { return !e.form.Main().Rendering(); }));
    EXPECT_TRUE(e.errors.Messages.empty());
  }
}

// Through the keys as the user presses them: an edit typed into a box is
// recorded after the input, Ctrl+Z brings the box and the project back,
// Ctrl+Y and Ctrl+Shift+Z redo.
TEST(QVEditSession, KeysUndoAndRedoATypedEdit) {
  Editor e;
  e.session.AskSave = [](const std::string&) { return QVEditSession::Answer::Discard; };
  QLineEdit* box = e.form.FrameParameter1->EditScale;
  const double before = e.form.Main().Parameter.Scale();
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, QStringLiteral("2.5"));
  QTest::keyClick(box, Qt::Key_Return);
  ASSERT_TRUE(qv::test::WaitFor([&] { return e.session.History().CanUndo(); }));
  ASSERT_TRUE(qv::test::WaitFor([&] { return !e.form.Main().Rendering(); }));
  QApplication::processEvents();
  EXPECT_EQ(e.form.Main().Parameter.Scale(), 2.5);
  for (int i = 0; i < 10 && e.session.History().CanUndo(); ++i) {
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  }
  EXPECT_EQ(e.form.Main().Parameter.Scale(), before);
  EXPECT_EQ(e.form.FrameParameter1->EditScale->text(), QString::number(before));
  QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
  for (int i = 0; i < 10 && e.session.History().CanRedo(); ++i) {
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  }
  EXPECT_EQ(e.form.Main().Parameter.Scale(), 2.5);
  EXPECT_EQ(e.form.FrameParameter1->EditScale->text(), QStringLiteral("2.5"));
  // Typing not committed yet is undone first, in the box; then the project.
  QTest::keyClick(box, Qt::Key_End);
  QTest::keyClicks(box, QStringLiteral("7"));
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(box->text(), QStringLiteral("2.5"));
  EXPECT_EQ(e.form.Main().Parameter.Scale(), 2.5);
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(e.form.Main().Parameter.Scale(), before);
  EXPECT_TRUE(qv::test::WaitFor([&] { return !e.form.Main().Rendering(); }));
  EXPECT_TRUE(e.errors.Messages.empty());
}

// A load and a written source page are steps like any edit; a file dropped
// on a node editor window loads too.
TEST(QVEditSession, LoadsAndSourceWritesAreUndone) {
  Editor e;
  e.session.AskSave = [](const std::string&) { return QVEditSession::Answer::Discard; };
  QTemporaryDir dir;
  QVMain other;
  other.Parameter.ChangeWidth(123);
  const std::string file = qv::FromQString(dir.filePath("other.qvl"));
  qv::SaveProjectFile(other, file);
  const std::string start = qv::WriteProject(e.form.Main());
  TFormGenerator generatorWindow;
  e.form.SetNodeEditors(&generatorWindow, nullptr, nullptr);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(qv::ToQString(file))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&generatorWindow, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&generatorWindow, &drop);
  ASSERT_TRUE(qv::test::WaitFor([&] { return e.form.Main().Parameter.Width() == 123; }));
  EXPECT_EQ(e.session.File(), file);
  std::string written = qv::WriteProject(other);
  written.replace(written.find("Width: 123"), 10, "Width: 77");
  ASSERT_TRUE(e.form.ApplyProject(written));
  e.session.Undo();
  EXPECT_EQ(e.form.Main().Parameter.Width(), 123);
  e.session.Undo();
  EXPECT_EQ(qv::WriteProject(e.form.Main()), start);
  e.session.Redo();
  e.session.Redo();
  EXPECT_EQ(qv::WriteProject(e.form.Main()), written);
  EXPECT_TRUE(e.session.Modified());
  EXPECT_TRUE(e.errors.Messages.empty());
}

// A restore shows in every editor: an open node editor is bound to the node
// of the same name in the restored graph, and shows its settings; one whose
// node is gone hides.
TEST(QVEditSession, RestoreRebindsTheOpenNodeEditors) {
  Editor e;
  TFormGenerator window;
  e.form.SetNodeEditors(&window, nullptr, nullptr);
  QVNodeGraph& graph = e.form.Main().Graph();
  graph.Generators.front()->SetDepth(77);
  e.session.Checkpoint();
  graph.Generators.front()->SetDepth(555);
  e.session.Checkpoint();
  window.FrameGenerator1->SetGenerator(graph.Generators.front());
  window.FrameGenerator1->UpdateView();
  window.show();
  e.session.Undo();
  EXPECT_TRUE(window.isVisible());
  ASSERT_EQ(window.FrameGenerator1->Generator(), graph.FindGenerator("Generator1"));
  EXPECT_EQ(window.FrameGenerator1->Generator()->Depth(), 77);
  EXPECT_EQ(window.FrameGenerator1->EditDepth->text(), QStringLiteral("77"));
  graph.Rename(*graph.Generators.front(), "Other");
  e.session.Checkpoint();
  window.FrameGenerator1->SetGenerator(graph.Generators.front());
  e.session.Undo();  // "Other" is gone again
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.FrameGenerator1->Generator(), nullptr);
  EXPECT_TRUE(e.errors.Messages.empty());
}

// The arrow beside 読み込み lists the recent files, newest first; choosing
// one loads it.
TEST(QVEditSession, TheArrowBesideLoadListsTheRecentFiles) {
  Editor e;
  e.session.AskSave = [](const std::string&) { return QVEditSession::Answer::Discard; };
  QTemporaryDir dir;
  const std::string path = qv::FromQString(dir.filePath("recent.qvl"));
  qv::test::Commit(e.form.FrameParameter1->EditWidth, "77");
  e.form.SaveToFile(path);
  qv::test::Commit(e.form.FrameParameter1->EditWidth, "99");
  QStringList shown;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* action : menu->actions()) shown << action->text();
    menu->actions().first()->trigger();
    menu->close();
  });
  e.form.ToolButtonRecent->click();
  ASSERT_FALSE(shown.isEmpty());
  EXPECT_EQ(shown.first(), qv::ToQString(path));
  EXPECT_EQ(e.form.Main().Parameter.Width(), 77);
}
