// Editing the graph from the workspace: the workspace menu, "削除" with its
// question, the connection menu and the drop, the mixer panel's "マスク" box,
// names that follow a rename everywhere, panel bevels and long names, the
// thumbnails and a node's picture in the viewer.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"
#include "render/QVNodePictures.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "tests/ui/UiNodeEditorsSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QVEditSession.h"
#include "ui/QVGraphLinks.h"
#include "ui/QVLinkChoice.h"
#include "ui/QVText.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitEffector.h"
#include "ui/UnitGenerator.h"
#include "ui/UnitMixer.h"
#include "ui/UnitPanelEffector.h"
#include "ui/UnitPanelGenerator.h"
#include "ui/UnitPanelMixer.h"
#include "ui/UnitViewer.h"

namespace {

using qv::NodeKind;
using qv::test::Click;

QAction* MenuEntry(QMenu* menu, const char* text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == QString::fromUtf8(text)) return a;
  }
  return nullptr;
}

std::vector<std::string> SourceLines(const QVMixer& m) {
  std::vector<std::string> out;
  for (const qv::ElementView& e : qv::SourceElements(m)) out.push_back(qv::ElementLine(e));
  return out;
}

TFramePanelMixer* MixerPanel(qv::test::NodeEditors& e, size_t i) {
  return static_cast<TFramePanelMixer*>(e.controller.Panels(NodeKind::Mixer)[i]);
}

TEST(WorkspaceEdit, MenuAddsNodesNamedByTheCountersAndLinked) {
  qv::test::NodeEditors e;
  QVNodeGraph& graph = e.main.Graph();
  MenuEntry(e.controller.PopupMenuWorkSpace, "ジェネレータを追加")->trigger();
  MenuEntry(e.controller.PopupMenuWorkSpace, "エフェクタを追加")->trigger();
  MenuEntry(e.controller.PopupMenuWorkSpace, "ミキサーを追加")->trigger();
  ASSERT_EQ(graph.Generators.size(), 2u);
  ASSERT_EQ(graph.Effectors.size(), 2u);
  ASSERT_EQ(graph.Mixers.size(), 2u);
  EXPECT_EQ(graph.Generators[1]->Name(), "Generator2");
  EXPECT_EQ(graph.Effectors[1]->Name(), "Effector2");
  EXPECT_EQ(graph.Effectors[1]->Generator(), graph.Generators[1]);  // the one just added
  EXPECT_EQ(graph.Mixers[1]->Name(), "Mixer2");
  EXPECT_EQ(graph.Mixers[1]->BaseMixer(), graph.Mixers[0]);
  EXPECT_TRUE(e.controller.Panels(NodeKind::Mixer)[1]->isVisibleTo(&e.controller));
  EXPECT_EQ(e.controller.Lines().size(), 3u);  // the new effector's line at once

  Click(e.controller.Panels(NodeKind::Generator)[0]->Panel1);  // the selected generator
  e.controller.AddEffector();
  EXPECT_EQ(graph.Effectors[2]->Generator(), graph.Generators[0]);
}

TEST(WorkspaceEdit, DeleteAsksNamingTheUsersAndACancelKeepsTheNode) {
  qv::test::NodeEditors e;
  QVNodeGraph& graph = e.main.Graph();
  std::vector<std::string> questions;
  bool answer = false;
  e.controller.ConfirmDelete = [&](const std::string& q) {
    questions.push_back(q);
    return answer;
  };
  TFramePanel* generator = e.controller.Panels(NodeKind::Generator)[0];
  Click(generator->Panel1);  // its editor shows it
  generator->Delete->trigger();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("Effector1"), std::string::npos);
  EXPECT_EQ(graph.Generators.size(), 1u);

  answer = true;
  generator->Delete->trigger();
  EXPECT_TRUE(graph.Generators.empty());
  EXPECT_EQ(graph.Effectors[0]->Generator(), nullptr);
  EXPECT_EQ(e.formGenerator.FrameGenerator1->Generator(), nullptr);  // let go, not dangling
  EXPECT_FALSE(generator->isVisibleTo(&e.controller));
  EXPECT_EQ(e.controller.Lines().size(), 1u);

  graph.AddEffector(nullptr);
  e.controller.UpdateView();
  e.controller.Panels(NodeKind::Effector)[1]->Delete->trigger();  // used by none: no question
  EXPECT_EQ(questions.size(), 2u);
  EXPECT_EQ(graph.Effectors.size(), 1u);
}

TEST(WorkspaceEdit, ConnectionMenuConnectsTheSelectedEffectorAndTheDropAsksTheKind) {
  qv::test::NodeEditors e;
  QVNodeGraph& graph = e.main.Graph();
  TFramePanelMixer* mixer = MixerPanel(e, 0);
  mixer->N2->trigger();  // no effector selected: nothing to connect
  EXPECT_EQ(SourceLines(*graph.Mixers[0]), std::vector<std::string>{"+Effector1"});

  Click(e.controller.Panels(NodeKind::Effector)[0]->Panel1);
  mixer->N2->trigger();
  EXPECT_EQ(SourceLines(*graph.Mixers[0]), (std::vector<std::string>{"+Effector1", "*Effector1"}));
  EXPECT_EQ(e.controller.Lines().size(), 3u);

  std::optional<qv::Connection> chosen = qv::Connection::TransparenceMask;
  e.controller.AskConnection = [&](TFramePanelMixer&, const QPoint&) { return chosen; };
  e.controller.DropEffector(*mixer, 0, QPoint());
  ASSERT_EQ(graph.Mixers[0]->TransparenceList().size(), 1u);
  EXPECT_EQ(graph.Mixers[0]->TransparenceList()[0].Operator, '*');
  chosen.reset();  // the menu closed without a choice
  e.controller.DropEffector(*mixer, 0, QPoint());
  EXPECT_EQ(graph.Mixers[0]->TransparenceList().size(), 1u);
}

// The box was a control that did nothing, and its tick stayed with the panel
// when a load gave the panel another mixer.
TEST(WorkspaceEdit, MaskBoxIsTheMixersMaskSwitchAndOnlyMixersHaveIt) {
  qv::test::NodeEditors e;
  TFramePanelMixer* panel = MixerPanel(e, 0);
  EXPECT_FALSE(
      e.controller.Panels(NodeKind::Generator)[0]->CheckBoxMask->isVisibleTo(&e.controller));
  EXPECT_FALSE(
      e.controller.Panels(NodeKind::Effector)[0]->CheckBoxMask->isVisibleTo(&e.controller));
  ASSERT_TRUE(panel->CheckBoxMask->isVisibleTo(&e.controller));
  panel->CheckBoxMask->click();
  EXPECT_TRUE(e.main.Graph().Mixers[0]->MaskSW());
  EXPECT_NE(qv::WriteProject(e.main).find("MaskSW: on"), std::string::npos);

  QVMain other;
  ASSERT_TRUE(qv::ReadProject(e.main, qv::WriteProject(other)).Ok);
  e.controller.UpdateView();
  EXPECT_FALSE(panel->CheckBoxMask->isChecked());
  e.main.Graph().Mixers[0]->SetMaskSW(true);
  e.controller.UpdateView();
  EXPECT_TRUE(panel->CheckBoxMask->isChecked());
}

TEST(WorkspaceEdit, LongNamesAreCutWithTheWholeNameAsToolTip) {
  qv::test::NodeEditors e;
  const std::string name = "AVeryLongEffectorNameThatCannotFit";
  e.main.Graph().Rename(*e.main.Graph().Effectors[0], name);
  e.controller.UpdateView();
  TFramePanel* panel = e.controller.Panels(NodeKind::Effector)[0];
  EXPECT_EQ(qv::FromQString(panel->toolTip()), name);
  EXPECT_TRUE(panel->LabelName->text().endsWith(QChar(0x2026)));
  EXPECT_LE(panel->LabelName->fontMetrics().horizontalAdvance(panel->LabelName->text()),
            panel->LabelName->width());
}

int Brightness(const QColor& c) { return c.red() + c.green() + c.blue(); }

TEST(WorkspaceEdit, RaisedAndLoweredBevelsDifferOnTheWhiteWorkspace) {
  qv::test::NodeEditors e;
  TFramePanel* panel = e.controller.Panels(NodeKind::Generator)[0];
  const QImage lowered = panel->grab().toImage();
  panel->SetRaised(true);
  const QImage raised = panel->grab().toImage();
  const QColor paper = e.controller.ImageWorkSpace->palette().color(QPalette::Base);
  // The top-left edge is dark when lowered, light when raised; the bottom-right the reverse.
  EXPECT_GT(Brightness(raised.pixelColor(0, 0)) - Brightness(lowered.pixelColor(0, 0)), 300);
  EXPECT_GT(Brightness(lowered.pixelColor(107, 31)) - Brightness(raised.pixelColor(107, 31)), 300);
  EXPECT_GT(Brightness(paper) - Brightness(lowered.pixelColor(0, 0)), 300);
  EXPECT_GT(Brightness(paper) - Brightness(raised.pixelColor(107, 31)), 300);
}

TEST(WorkspaceEdit, ThumbnailsArriveAtThumbnailSizeAndFollowEdits) {
  qv::test::NodeEditors e;
  e.main.Parameter.ChangeWidth(64);
  e.main.Parameter.ChangeHeight(48);
  int shown = 0;
  e.controller.OnThumbnailsShown = [&] { ++shown; };
  e.controller.UpdateView();
  ASSERT_TRUE(qv::test::WaitFor([&] { return shown > 0; }));
  const QVPictureRef& thumb = e.controller.Panels(NodeKind::Mixer)[0]->Thumbnail();
  ASSERT_TRUE(thumb);
  EXPECT_EQ(thumb->Width(), qv::ThumbnailSize(64, 48).Width);
  EXPECT_EQ(thumb->Height(), qv::ThumbnailSize(64, 48).Height);
  EXPECT_FALSE(e.controller.Panels(NodeKind::Generator)[0]->Thumbnail());

  e.controller.AddEffector();
  e.main.Graph().Effectors[1]->SetGenerator(nullptr);
  e.controller.UpdateView();
  const int before = shown;
  ASSERT_TRUE(qv::test::WaitFor([&] { return shown > before; }));
  EXPECT_TRUE(e.controller.Panels(NodeKind::Effector)[0]->Thumbnail());
  EXPECT_FALSE(e.controller.Panels(NodeKind::Effector)[1]->Thumbnail());  // no generator
}

TEST(WorkspaceEdit, MixerEditorMovesAndRemovesElementsAndChoosesItsBase) {
  qv::test::NodeEditors e;
  QVNodeGraph& graph = e.main.Graph();
  QVMixer* m1 = graph.Mixers[0];
  qv::Connect(*m1, *graph.AddEffector(graph.Generators[0]), qv::Connection::SourceMask);
  QVMixer* m2 = graph.AddMixer();
  e.controller.UpdateView();
  Click(e.controller.Panels(NodeKind::Mixer)[0]->Panel1);
  TFrameMixer* frame = e.formMixer.FrameMixer1;
  frame->ListBoxSource->setCurrentRow(1);
  frame->ButtonUp->click();
  EXPECT_EQ(SourceLines(*m1), (std::vector<std::string>{"*Effector2", "+Effector1"}));
  EXPECT_EQ(frame->ListBoxSource->item(0)->text().toStdString(), "*Effector2");
  frame->ListBoxSource->model()->moveRow(QModelIndex(), 0, QModelIndex(), 2);  // a drag down
  EXPECT_EQ(SourceLines(*m1), (std::vector<std::string>{"+Effector1", "*Effector2"}));
  frame->ListBoxSource->setCurrentRow(0);
  frame->ButtonRemove->click();
  EXPECT_EQ(SourceLines(*m1), std::vector<std::string>{"*Effector2"});

  // Built on Mixer2 instead of nothing: Mixer1 moves after it, and Mixer2
  // becomes the first, as the written project's order says.
  ASSERT_EQ(frame->ChoiceBaseMixer->ComboBox->count(), 2);  // "（なし）", Mixer2
  emit frame->ChoiceBaseMixer->ComboBox->activated(1);
  EXPECT_EQ(graph.Mixers, (std::vector<QVMixer*>{m2, m1}));
  EXPECT_EQ(m1->BaseMixer(), m2);
  EXPECT_EQ(m2->BaseMixer(), nullptr);
  EXPECT_EQ(frame->ChoiceBaseMixer->ComboBox->currentIndex(), 1);
}

TEST(WorkspaceEdit, EffectorEditorRelinksItsGenerator) {
  qv::test::NodeEditors e;
  QVNodeGraph& graph = e.main.Graph();
  QVGenerator* g2 = graph.AddGenerator(&e.main.Parameter);
  e.controller.UpdateView();
  Click(e.controller.Panels(NodeKind::Effector)[0]->Panel1);
  QComboBox* box = e.formEffector.FrameEffector1->ChoiceGenerator->ComboBox;
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->currentIndex(), 1);
  emit box->activated(2);
  EXPECT_EQ(graph.Effectors[0]->Generator(), g2);
  emit box->activated(0);
  EXPECT_EQ(graph.Effectors[0]->Generator(), nullptr);
}

// The editing window with its node editors, as the program wires them.
struct Editor {
  qv::test::ErrorRecorder errors;
  TFormViewer viewer;
  TForm1 form{&viewer};
  TFormGenerator formGenerator;
  TFormEffector formEffector;
  TFormMixer formMixer;
  Editor() { form.SetNodeEditors(&formGenerator, &formEffector, &formMixer); }
  ~Editor() { form.Main().StopRender(); }
  TFramePanel* Panel(NodeKind kind, size_t i) { return form.FrameController1->Panels(kind)[i]; }
};

// A rename showed only in its editor: the panel and the mixer's list kept the
// old name until the workspace was rebuilt.
TEST(WorkspaceEdit, ARenameShowsOnThePanelAndInTheMixerListAtOnce) {
  Editor ed;
  Click(ed.Panel(NodeKind::Mixer, 0)->Panel1);
  Click(ed.Panel(NodeKind::Effector, 0)->Panel1);
  QLineEdit* box = ed.formEffector.FrameEffector1->EditName;
  box->selectAll();
  QTest::keyClicks(box, "Bands");
  QTest::keyClick(box, Qt::Key_Return);
  QApplication::processEvents();  // the check after the key
  EXPECT_EQ(ed.form.Main().Graph().Effectors[0]->Name(), "Bands");
  EXPECT_EQ(ed.Panel(NodeKind::Effector, 0)->LabelName->text().toStdString(), "Bands");
  EXPECT_EQ(ed.formMixer.FrameMixer1->ListBoxSource->item(0)->text().toStdString(), "+Bands");
}

TEST(WorkspaceEdit, AWorkspaceEditIsOneUndoStep) {
  Editor ed;
  const std::string before = qv::WriteProject(ed.form.Main());
  MenuEntry(ed.form.FrameController1->PopupMenuWorkSpace, "ミキサーを追加")->trigger();
  ASSERT_EQ(ed.form.Main().Graph().Mixers.size(), 2u);
  ed.form.Session().Undo();
  EXPECT_EQ(qv::WriteProject(ed.form.Main()), before);
  EXPECT_FALSE(ed.Panel(NodeKind::Mixer, 1)->isVisibleTo(ed.form.FrameController1));
  ed.form.Session().Redo();
  EXPECT_EQ(ed.form.Main().Graph().Mixers.size(), 2u);
}

TEST(WorkspaceEdit, AGraphThatCannotRenderSaysWhyAndANodeShowsInTheViewer) {
  Editor ed;
  ed.form.Main().Parameter.ChangeWidth(40);
  ed.form.Main().Parameter.ChangeHeight(30);
  ed.form.FrameController1->AddMixer();
  ed.form.Button2Click();
  EXPECT_FALSE(ed.form.Main().Rendering());
  EXPECT_NE(ed.viewer.LabelRender->toolTip().toStdString() + ed.viewer.Status.Text(), "");
  EXPECT_NE(ed.viewer.Status.Text().find("Mixer2"), std::string::npos);

  bool shown = false;
  ed.viewer.OnNodeShown = [&] { shown = true; };
  ed.Panel(NodeKind::Effector, 0)->ShowInViewer->trigger();
  ASSERT_TRUE(qv::test::WaitFor([&] { return shown; }));
  EXPECT_EQ(ed.viewer.ShownNode(), "Effector1");
  EXPECT_NE(ed.viewer.Status.Text().find("Effector1"), std::string::npos);
  EXPECT_EQ(ed.viewer.Preview().width(), 40);

  ed.form.Main().Graph().DeleteNode(ed.form.Main().Graph().Mixers[1]);
  ed.form.Button2Click();  // back to the output
  EXPECT_EQ(ed.viewer.ShownNode(), "");
  ASSERT_TRUE(qv::test::WaitFor([&] { return !ed.viewer.Picture().isNull(); }));
}

}  // namespace
