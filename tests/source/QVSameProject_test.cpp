#include "source/QVSameProject.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceWriter.h"
#include "tests/source/SourceTestSupport.h"

namespace {

using Edit = std::function<void(QVMain&)>;

// Setters that store a value again: the project is touched, not changed.
std::vector<Edit> Touches() {
  return {
      [](QVMain& m) { m.Parameter.ChangeScale(m.Parameter.Scale()); },
      [](QVMain& m) { m.Parameter.ChangeViewpoint(m.Parameter.Viewpoint()); },
      [](QVMain& m) {
        QVGenerator* g = m.Graph().Generators.front();
        g->SetDepth(g->Depth());
      },
      [](QVMain& m) {
        QVGenerator* g = m.Graph().Generators.back();
        g->DivergenceMethod().SetParamValue(0, g->DivergenceMethod().ParamValue(0));
      },
  };
}

// Edits that change the project; repeated, the toggles come back.
std::vector<Edit> Changes() {
  return {
      [](QVMain& m) { m.Parameter.ChangeScale(m.Parameter.Scale() == 4 ? 2 : 4); },
      [](QVMain& m) {
        m.Parameter.FractalMethod().SetParamValue(0, {0.5, 0});
      },
      [](QVMain& m) {
        QVGenerator* g = m.Graph().Generators.front();
        g->SetDepth(g->Depth() == 77 ? 78 : 77);
      },
      [](QVMain& m) {
        if (m.Graph().Effectors.empty()) return;
        QVEffector* e = m.Graph().Effectors.front();
        e->SetDifferential(!e->Differential());
      },
      [](QVMain& m) {
        QVGenerator* g = m.Graph().Generators.front();
        m.Graph().Rename(*g, g->Name() == "Renamed" ? "Generator1" : "Renamed");
      },
      [](QVMain& m) {
        if (m.Graph().Mixers.empty()) return;
        QVMixer* x = m.Graph().Mixers.back();
        x->SetRegular(!x->Regular());
      },
  };
}

}  // namespace

// Over every varied project, touches leave it the same, and along random runs
// of touches and changes the answer is what a comparison of the whole texts
// gives; both answers occur.
TEST(QVSameProject, AgreesWithTheWholeText) {
  std::vector<Edit> edits = Touches();
  for (const Edit& touch : edits) {
    QVMain main;
    const auto frozen = main.Snapshot();
    touch(main);
    EXPECT_TRUE(
        qv::SameProject(main.Parameter, main.Graph(), frozen->Parameter(), frozen->Graph()));
  }
  for (Edit& change : Changes()) edits.push_back(std::move(change));
  std::mt19937 rng(11);
  int same = 0, changed = 0;
  for (int project = 0; project < qv::test::ProjectCount; ++project) {
    QVMain main;
    qv::test::BuildProject(main, project);
    const auto frozen = main.Snapshot();
    const std::string original = qv::WriteProject(*frozen);
    for (int step = 0; step < 40; ++step) {
      const size_t edit = std::uniform_int_distribution<size_t>(0, edits.size() - 1)(rng);
      edits[edit](main);
      const bool expected = qv::WriteProject(main) == original;
      (expected ? same : changed)++;
      EXPECT_EQ(qv::SameProject(main.Parameter, main.Graph(), frozen->Parameter(), frozen->Graph()),
                expected)
          << "project " << project << " step " << step << " edit " << edit;
    }
    main.Graph().DeleteNode(main.Graph().Generators.back());
    EXPECT_FALSE(
        qv::SameProject(main.Parameter, main.Graph(), frozen->Parameter(), frozen->Graph()))
        << "project " << project << " after a deletion";
  }
  EXPECT_GT(same, 10);
  EXPECT_GT(changed, 40);
}
