#include "ui/UnitGenerator.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "tests/ui/UiNodeEditorsSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QVStatusLine.h"
#include "ui/QVText.h"
#include "ui/UnitMethod.h"
#include "ui/UnitPanelGenerator.h"

namespace {

class GeneratorEditor : public ::testing::Test {
 protected:
  GeneratorEditor() {
    qv::test::Click(e_.controller.Panels(qv::NodeKind::Generator)[0]->Panel1);
    frame_ = e_.formGenerator.FrameGenerator1;
  }
  qv::test::NodeEditors e_;
  TFrameGenerator* frame_;
};

TEST_F(GeneratorEditor, DepthIsReadAsTheProjectReaderReadsIt) {
  const struct {
    const char* text;
    int32_t depth;
  } cases[] = {{"12.7", 12}, {"-3.9", -3}, {"1e3", 1000}, {"0", 0}, {"1e12", 2147483647}};
  for (const auto& c : cases) {
    qv::test::Commit(frame_->EditDepth, c.text);
    EXPECT_EQ(e_.main.Graph().Generators[0]->Depth(), c.depth) << c.text;
  }
  qv::test::Commit(frame_->EditDepth, "12,5");
  EXPECT_TRUE(frame_->Marks().Marked(frame_->EditDepth));
  EXPECT_EQ(e_.main.Graph().Generators[0]->Depth(), 2147483647);
}

TEST_F(GeneratorEditor, ChoosingAKindAgainRestoresItsDefaults) {
  QComboBox* kinds = frame_->FrameDivergenceMethod->ComboBoxMethod;
  kinds->setCurrentIndex(2);  // "十字"
  const QString width = frame_->FrameDivergenceMethod->EditParam0R->text();
  qv::test::Commit(frame_->FrameDivergenceMethod->EditParam0R, "9");
  EXPECT_EQ(e_.main.Graph().Generators[0]->DivergenceMethod().ParamValue(0).re, 9.0);
  kinds->setCurrentIndex(0);  // "ノルム": no slots
  EXPECT_EQ(frame_->FrameDivergenceMethod->LabelParam0->text(), QString());
  kinds->setCurrentIndex(2);
  EXPECT_EQ(frame_->FrameDivergenceMethod->LabelParam0->text(), QString::fromUtf8("幅"));
  EXPECT_EQ(frame_->FrameDivergenceMethod->EditParam0R->text(), width);
}

// Typed key by key, a refused name passes through names the rule accepts
// ("Effector", "a"): none of them may reach the node, only a committed name.
TEST_F(GeneratorEditor, NameBoxKeepsTheOldNameForATakenOrEmptyName) {
  const std::string old = e_.main.Graph().Generators[0]->Name();
  for (const std::string& taken :
       {e_.main.Graph().Effectors[0]->Name(), std::string(), std::string("a b")}) {
    frame_->EditName->clear();
    QTest::keyClicks(frame_->EditName, qv::ToQString(taken));
    EXPECT_EQ(e_.main.Graph().Generators[0]->Name(), old) << taken;
    emit frame_->EditName->editingFinished();
    EXPECT_EQ(e_.main.Graph().Generators[0]->Name(), old) << taken;
    EXPECT_TRUE(frame_->Marks().Marked(frame_->EditName)) << taken;
    EXPECT_FALSE(e_.formGenerator.LabelStatus->Message().isEmpty());
  }
  frame_->EditName->clear();
  QTest::keyClicks(frame_->EditName, "Deep");
  EXPECT_EQ(e_.main.Graph().Generators[0]->Name(), old);  // not before Enter or leaving
  emit frame_->EditName->editingFinished();
  EXPECT_EQ(e_.main.Graph().Generators[0]->Name(), "Deep");
  EXPECT_FALSE(frame_->Marks().Marked(frame_->EditName));
}

}  // namespace
