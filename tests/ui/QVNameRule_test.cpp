#include "ui/QVNameRule.h"

#include <gtest/gtest.h>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"

namespace {

TEST(QVNameRule, AcceptsOnlyAFreeWellFormedName) {
  QVMain main;
  const QVObject* generator = main.Graph().Generators[0];
  const struct {
    std::string name;
    bool accepted;
  } cases[] = {
      {main.Graph().Generators[0]->Name(), true},  // its own name
      {"Zoom_2", true},
      {"名前", true},
      {"", false},
      {"a b", false},
      {"tab\there", false},
      {main.Graph().Effectors[0]->Name(), false},
      {main.Graph().Mixers[0]->Name(), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qv::CheckEditorName(c.name, generator).empty(), c.accepted)
        << c.name;
  }
  main.Graph().Rename(*main.Graph().Generators[0], "G");
  EXPECT_EQ(qv::CheckEditorName("G", main.Graph().Effectors[0]), "'G' は他のノードの名前です");
}

}  // namespace
