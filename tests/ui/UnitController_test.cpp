#include "ui/UnitController.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "tests/ui/UiNodeEditorsSupport.h"
#include "ui/UnitEffector.h"
#include "ui/UnitGenerator.h"
#include "ui/UnitPanelEffector.h"
#include "ui/UnitPanelGenerator.h"

namespace {

using qv::NodeKind;
using qv::test::Click;

std::vector<bool> Shown(const std::vector<TFramePanel*>& panels) {
  std::vector<bool> out;
  for (const TFramePanel* p : panels) out.push_back(p->isVisibleTo(p->parentWidget()));
  return out;
}

TEST(TFrameController, PanelsAreReusedFromFiveToTwoToFourGenerators) {
  qv::test::NodeEditors e;
  e.main.Graph().CopyGenerator(*e.main.Graph().Generators[0]);
  const std::string two = qv::WriteProject(e.main);
  for (int i = 0; i < 3; ++i) e.main.Graph().CopyGenerator(*e.main.Graph().Generators[0]);
  e.controller.UpdateView();
  const std::vector<TFramePanel*> five = e.controller.Panels(NodeKind::Generator);
  ASSERT_EQ(five.size(), 5u);

  ASSERT_TRUE(qv::ReadProject(e.main, two).Ok);
  e.controller.UpdateView();
  EXPECT_EQ(Shown(e.controller.Panels(NodeKind::Generator)),
            (std::vector<bool>{true, true, false, false, false}));
  EXPECT_EQ(five[1]->Node, e.main.Graph().Generators[1]);

  for (int i = 0; i < 2; ++i) five[0]->Copy->trigger();  // each copy shows its panel at once
  EXPECT_EQ(e.controller.Panels(NodeKind::Generator), five);
  EXPECT_EQ(Shown(five), (std::vector<bool>{true, true, true, true, false}));
  EXPECT_EQ(five[3]->geometry(), QRect(4, 112, 108, 32));
  EXPECT_EQ(five[3]->LabelName->text().toStdString(), e.main.Graph().Generators[3]->Name());
}

TEST(TFrameController, LinesArePaintedFromEdgeMiddleToEdgeMiddle) {
  qv::test::NodeEditors e;
  ASSERT_EQ(e.controller.Lines().size(), 2u);
  const QImage surface = e.controller.ImageWorkSpace->grab().toImage();
  const QColor ink = e.controller.ImageWorkSpace->palette().color(QPalette::Text);
  const QColor paper = e.controller.ImageWorkSpace->palette().color(QPalette::Base);
  EXPECT_EQ(surface.pixelColor(124, 20), ink);  // generator 0 -> effector 0
  EXPECT_EQ(surface.pixelColor(256, 20), ink);  // effector 0 -> mixer 0
  EXPECT_EQ(surface.pixelColor(124, 30), paper);
}

TEST(TFrameController, SurfaceGrowsSoTheNinthRowCanBeReached) {
  qv::test::NodeEditors e;
  for (int i = 0; i < 8; ++i) e.main.Graph().CopyGenerator(*e.main.Graph().Generators[0]);
  e.controller.UpdateView();
  EXPECT_EQ(e.controller.ImageWorkSpace->minimumHeight(), 328);
  EXPECT_EQ(e.controller.Panels(NodeKind::Generator)[8]->geometry().bottom() + 1, 324);
}

TEST(TFrameController, ClickBindsTheEditorAndMovesTheSelectionOfItsKind) {
  qv::test::NodeEditors e;
  e.main.Graph().CopyGenerator(*e.main.Graph().Generators[0]);
  e.controller.UpdateView();
  const auto& gens = e.controller.Panels(NodeKind::Generator);
  TFramePanel* effector = e.controller.Panels(NodeKind::Effector)[0];

  Click(gens[0]->Panel1);
  EXPECT_TRUE(e.formGenerator.isVisible());
  EXPECT_EQ(e.formGenerator.FrameGenerator1->Generator(), e.main.Graph().Generators[0]);
  Click(effector->LabelName);  // the name is part of the panel
  EXPECT_TRUE(e.formEffector.isVisible());
  EXPECT_EQ(e.formEffector.FrameEffector1->Effector(), e.main.Graph().Effectors[0]);
  EXPECT_TRUE(gens[0]->Raised() && effector->Raised());

  Click(gens[1]->LabelName);
  EXPECT_FALSE(gens[0]->Raised());
  EXPECT_TRUE(gens[1]->Raised() && effector->Raised());
  EXPECT_EQ(TFramePanelGenerator::SelectedPanel, gens[1]);
  EXPECT_EQ(e.formGenerator.FrameGenerator1->EditName->text().toStdString(),
            e.main.Graph().Generators[1]->Name());
}

}  // namespace
