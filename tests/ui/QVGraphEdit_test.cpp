// The graph edits of the workspace and the editors: the four connection
// kinds, list moves against a plain vector, the users asked about before a
// delete, and random edit sequences, each followed by a render (equal to
// a render of the written project read afresh) or by a refusal that says why.
#include "ui/QVGraphEdit.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "ui/QVGraphLinks.h"

namespace {

using qv::Connection;
using qv::MixerList;

std::vector<std::string> Lines(const QVMixer& m, MixerList list) {
  std::vector<std::string> out;
  for (const qv::ElementView& e :
       list == MixerList::Source ? qv::SourceElements(m) : qv::TransparenceElements(m)) {
    out.push_back(qv::ElementLine(e));
  }
  return out;
}

TEST(QVGraphEdit, EachConnectionKindAppendsToItsListWithItsOperator) {
  struct Case {
    Connection Kind;
    std::vector<std::string> Sources, Transparences;
  } cases[] = {
      {Connection::Source, {"+Effector1", "+Effector1"}, {}},
      {Connection::SourceMask, {"+Effector1", "*Effector1"}, {}},
      {Connection::Transparence, {"+Effector1"}, {"+Effector1"}},
      {Connection::TransparenceMask, {"+Effector1"}, {"*Effector1"}},
  };
  for (const Case& c : cases) {
    QVMain main;
    QVMixer& mixer = *main.Graph().Mixers[0];
    qv::Connect(mixer, *main.Graph().Effectors[0], c.Kind);
    EXPECT_EQ(Lines(mixer, MixerList::Source), c.Sources) << qv::ConnectionText(c.Kind);
    EXPECT_EQ(Lines(mixer, MixerList::Transparence), c.Transparences) << qv::ConnectionText(c.Kind);
  }
}

TEST(QVGraphEdit, MovesAndRemovalsMatchAPlainVector) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    QVMain main;
    QVNodeGraph& graph = main.Graph();
    QVMixer& mixer = *graph.Mixers[0];
    const MixerList list = round % 2 ? MixerList::Source : MixerList::Transparence;
    if (list == MixerList::Source) mixer.RemoveSource(0);
    std::vector<std::string> expected;
    const int n = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < n; ++i) {
      QVEffector* e = graph.AddEffector(graph.Generators[0]);
      qv::Connect(mixer, *e,
                  list == MixerList::Source ? Connection::Source : Connection::Transparence);
      expected.push_back("+" + e->Name());
    }
    const int from = static_cast<int>(random() % n), to = static_cast<int>(random() % n);
    qv::MoveElement(mixer, list, from, to);
    const std::string moved = expected[from];
    expected.erase(expected.begin() + from);
    expected.insert(expected.begin() + to, moved);
    ASSERT_EQ(Lines(mixer, list), expected) << from << " -> " << to;
    const int gone = static_cast<int>(random() % n);
    qv::RemoveElement(mixer, list, gone);
    expected.erase(expected.begin() + gone);
    ASSERT_EQ(Lines(mixer, list), expected) << "removed " << gone;
    EXPECT_THROW(qv::MoveElement(mixer, list, 0, n), std::out_of_range);
    EXPECT_THROW(qv::RemoveElement(mixer, list, -1), std::out_of_range);
  }
}

TEST(QVGraphEdit, UsersAreTheNodesThatReadANode) {
  QVMain main;
  QVNodeGraph& graph = main.Graph();
  QVEffector* e2 = graph.AddEffector(graph.Generators[0]);
  QVMixer* m2 = graph.AddMixer();
  qv::Connect(*m2, *graph.Effectors[0], Connection::TransparenceMask);
  qv::Connect(*m2, *graph.Effectors[0], Connection::Source);
  EXPECT_EQ(qv::NodeUsers(graph, *graph.Generators[0]),
            (std::vector<std::string>{"Effector1", "Effector2"}));
  EXPECT_EQ(qv::NodeUsers(graph, *graph.Effectors[0]),
            (std::vector<std::string>{"Mixer1", "Mixer2"}));
  EXPECT_EQ(qv::NodeUsers(graph, *e2), std::vector<std::string>{});
  EXPECT_EQ(qv::NodeUsers(graph, *graph.Mixers[0]), std::vector<std::string>{"Mixer2"});
  EXPECT_EQ(qv::NodeUsers(graph, *m2), std::vector<std::string>{});
  const std::string question = qv::DeleteQuestion(*graph.Effectors[0], {"Mixer1", "Mixer2"});
  EXPECT_NE(question.find("Effector1"), std::string::npos);
  EXPECT_NE(question.find("Mixer1、Mixer2"), std::string::npos);
}

TEST(QVGraphEdit, RenderProblemNamesTheNodeThatStopsTheRender) {
  QVMain main;
  QVNodeGraph& graph = main.Graph();
  EXPECT_EQ(qv::RenderProblem(graph), "");
  QVMixer* m2 = graph.AddMixer();
  EXPECT_NE(qv::RenderProblem(graph).find("Mixer2"), std::string::npos);
  m2->SetMaskSW(true);  // it passes its base through
  EXPECT_EQ(qv::RenderProblem(graph), "");
  m2->SetMaskSW(false);
  qv::Connect(*m2, *graph.AddEffector(nullptr), Connection::Source);
  EXPECT_NE(qv::RenderProblem(graph).find("Effector2"), std::string::npos);
  graph.DeleteNode(graph.Mixers[1]);
  EXPECT_EQ(qv::RenderProblem(graph), "");
  graph.DeleteNode(graph.Mixers[0]);
  EXPECT_NE(qv::RenderProblem(graph), "");
}

// The output picture of a project, after one pass.
std::vector<int32_t> Output(QVMain& main) {
  EXPECT_TRUE(main.RunPass());
  const QVRGBField& field = main.Graph().Mixers.back()->RGBField;
  std::vector<int32_t> out;
  for (int32_t y = 0; y < field.Height; ++y) {
    out.insert(out.end(), field.Row(y), field.Row(y) + field.Width);
  }
  return out;
}

template <typename T>
T* Pick(std::mt19937& random, const std::vector<T*>& nodes, bool orNone = false) {
  const size_t n = nodes.size() + (orNone ? 1 : 0);
  if (n == 0) return nullptr;
  const size_t i = random() % n;
  return i < nodes.size() ? nodes[i] : nullptr;
}

// One random edit through the edit API the workspace and the editors use.
void RandomEdit(std::mt19937& random, QVMain& main) {
  QVNodeGraph& graph = main.Graph();
  QVMixer* mixer = Pick(random, graph.Mixers);
  QVEffector* effector = Pick(random, graph.Effectors);
  switch (random() % 10) {
    case 0:
      graph.AddGenerator(&main.Parameter)->SetDepth(1 + static_cast<int32_t>(random() % 60));
      break;
    case 1:
      graph.AddEffector(Pick(random, graph.Generators, true));
      break;
    case 2:
      graph.AddMixer();
      break;
    case 3: {
      const size_t kind = random() % 3;
      QVNode* node = kind == 0   ? static_cast<QVNode*>(Pick(random, graph.Generators))
                     : kind == 1 ? static_cast<QVNode*>(effector)
                                 : static_cast<QVNode*>(mixer);
      graph.DeleteNode(node);
      break;
    }
    case 4:
    case 5:
      if (mixer && effector) qv::Connect(*mixer, *effector, qv::kConnections[random() % 4]);
      break;
    case 6:
      if (mixer && !mixer->SourceList().empty()) {
        const int32_t n = static_cast<int32_t>(mixer->SourceList().size());
        if (random() % 2) {
          qv::MoveElement(*mixer, MixerList::Source, random() % n, random() % n);
        } else {
          qv::RemoveElement(*mixer, MixerList::Source, random() % n);
        }
      }
      break;
    case 7:
      if (mixer) {
        QVMixer* base = Pick(random, graph.Mixers, true);
        if (base != mixer) graph.MoveMixer(*mixer, base);
      }
      break;
    case 8:
      if (effector) effector->SetGenerator(Pick(random, graph.Generators, true));
      break;
    default:
      if (mixer) mixer->SetMaskSW(random() % 4 == 0);
      break;
  }
}

TEST(QVGraphEdit, RandomEditsRenderAsTheWrittenProjectOrSayWhyNot) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 random(seed);
    QVMain main;
    main.Parameter.ChangeWidth(12);
    main.Parameter.ChangeHeight(9);
    int rendered = 0, refused = 0;
    for (int step = 0; step < 80; ++step) {
      RandomEdit(random, main);
      const QVNodeGraph& graph = main.Graph();
      ASSERT_TRUE(graph.NameIndexMatches()) << "seed " << seed << " step " << step;
      for (size_t i = 0; i < graph.Mixers.size(); ++i) {
        ASSERT_EQ(graph.Mixers[i]->BaseMixer(), i ? graph.Mixers[i - 1] : nullptr)
            << "the chain is registry order, as the text keeps it; seed " << seed;
      }
      const std::string text = qv::WriteProject(main);
      QVMain fresh;
      ASSERT_TRUE(qv::ReadProject(fresh, text).Ok) << "seed " << seed << " step " << step;
      ASSERT_EQ(qv::WriteProject(fresh), text) << "seed " << seed << " step " << step;
      if (!qv::RenderProblem(graph).empty()) {
        ++refused;
        EXPECT_NO_THROW(main.RunPass()) << "the engine itself copes too; seed " << seed;
        continue;
      }
      ++rendered;
      ASSERT_EQ(Output(main), Output(fresh)) << "seed " << seed << " step " << step << "\n" << text;
    }
    EXPECT_GT(rendered, 0) << "seed " << seed;
    EXPECT_GT(rendered + refused, 0);
  }
}

}  // namespace
