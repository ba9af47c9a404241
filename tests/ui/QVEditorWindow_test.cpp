#include "ui/QVEditorWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "engine/QVEffector.h"
#include "engine/QVMain.h"
#include "source/QVSourceWriter.h"
#include "ui/UnitController.h"
#include "ui/UnitDERevezaRudu.h"
#include "ui/UnitEffector.h"
#include "ui/UnitFormEffector.h"
#include "ui/UnitFormGenerator.h"
#include "ui/UnitFormMixer.h"
#include "ui/UnitGenerator.h"
#include "ui/UnitMixer.h"
#include "ui/UnitPanel.h"
#include "ui/UnitViewer.h"

namespace {

// The windows as the editor starts them, with every node editor open.
struct OpenEditors {
  TFormViewer viewer;
  TForm1 form{&viewer};
  TFormEffector formEffector;
  TFormGenerator formGenerator;
  TFormMixer formMixer;
  OpenEditors() {
    form.SetNodeEditors(&formGenerator, &formEffector, &formMixer);
    for (qv::NodeKind kind :
         {qv::NodeKind::Generator, qv::NodeKind::Mixer, qv::NodeKind::Effector}) {
      QTest::mouseClick(form.FrameController1->Panels(kind)[0]->Panel1, Qt::LeftButton);
    }
  }
};

TEST(QVEditorWindow, ApplyingAProjectReleasesTheEditorsBeforeAPendingCommitCanRun) {
  OpenEditors w;
  const std::string project = qv::WriteProject(w.form.Main());
  TFrameEffector& frame = *w.formEffector.FrameEffector1;
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.formEffector));
  frame.EditX->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), frame.EditX);
  frame.EditX->selectAll();
  QTest::keyClicks(frame.EditX, "0.25");  // typed, not yet committed

  ASSERT_TRUE(w.form.ApplyProject(project));  // the old nodes are gone; hiding moves the focus
  QApplication::processEvents();
  EXPECT_FALSE(w.formEffector.isVisible() || w.formGenerator.isVisible() ||
               w.formMixer.isVisible());
  EXPECT_EQ(frame.Effector(), nullptr);
  EXPECT_EQ(w.formGenerator.FrameGenerator1->Generator(), nullptr);
  EXPECT_EQ(w.formMixer.FrameMixer1->Mixer(), nullptr);
  const QVNodeGraph& graph = w.form.Main().Graph();
  EXPECT_EQ(graph.Effectors[0]->EntryInput(0), 0.0);  // the new effector got nothing

  QTest::mouseClick(w.form.FrameController1->Panels(qv::NodeKind::Effector)[0]->Panel1,
                    Qt::LeftButton);
  EXPECT_EQ(frame.Effector(), graph.Effectors[0]);
  EXPECT_EQ(frame.EditX->text(), QStringLiteral("0"));
  EXPECT_FALSE(frame.EditX->isModified());
}

}  // namespace
