#include "engine/QVGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <stdexcept>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVNode.h"
#include "engine/methods/QVRenderingMethods.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

// Counts, per node name, how many rows were computed in a pass.
class ComputedNodes {
 public:
  std::set<std::string> Pass(QVMain& main) {
    {
      std::lock_guard<std::mutex> g(lock_);
      rows_.clear();
    }
    EXPECT_TRUE(main.RunPass({}, [this](const std::string& name, int, int) {
      std::lock_guard<std::mutex> g(lock_);
      ++rows_[name];
    }));
    std::set<std::string> names;
    for (auto& [name, n] : rows_) names.insert(name);
    return names;
  }
  /// Rows of the node named name computed in the last pass.
  int Rows(const std::string& name) {
    std::lock_guard<std::mutex> g(lock_);
    return rows_.count(name) ? rows_[name] : 0;
  }

 private:
  std::mutex lock_;
  std::map<std::string, int> rows_;
};

// Default graph plus a second effector on the same generator, mixed by a
// second mixer: G -> E1 -> M1, G -> E2 -> M2 (base M1).
class UpdateProtocolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_.Parameter.ChangeWidth(8);
    main_.Parameter.ChangeHeight(6);
    QVNodeGraph& graph = main_.Graph();
    g_ = graph.Generators[0];
    e1_ = graph.Effectors[0];
    m1_ = graph.Mixers[0];
    e2_ = graph.AddEffector(g_);
    m2_ = graph.AddMixer();
    m2_->AppendSource('+', e2_);
    EXPECT_EQ(nodes_.Pass(main_), Names({g_, e1_, e2_, m1_, m2_}));
  }
  static std::set<std::string> Names(std::initializer_list<const QVObject*> list) {
    std::set<std::string> out;
    for (const QVObject* o : list) out.insert(o->Name());
    return out;
  }

  QVMain main_;
  ComputedNodes nodes_;
  QVGenerator* g_;
  QVEffector *e1_, *e2_;
  QVMixer *m1_, *m2_;
};

TEST_F(UpdateProtocolTest, NothingChangedComputesNothing) {
  EXPECT_TRUE(nodes_.Pass(main_).empty());
}

TEST_F(UpdateProtocolTest, AnEffectorEditRecomputesItAndTheMixersAfterIt) {
  e1_->SetDifferential(true);
  EXPECT_EQ(nodes_.Pass(main_), Names({e1_, m1_, m2_}));
  e2_->SetDifferentialEdgeSW(true);
  EXPECT_EQ(nodes_.Pass(main_), Names({e2_, m2_}));
}

TEST_F(UpdateProtocolTest, ParameterEditRecomputesTheSharedGeneratorOnce) {
  main_.Parameter.ChangeScale(3);
  EXPECT_EQ(nodes_.Pass(main_), Names({g_, e1_, e2_, m1_, m2_}));
  // Each of the 6 rows once: the second effector finds the generator up to date.
  for (const QVObject* node : {static_cast<const QVObject*>(g_), static_cast<const QVObject*>(e1_),
                               static_cast<const QVObject*>(e2_)}) {
    EXPECT_EQ(nodes_.Rows(node->Name()), 6) << node->Name();
  }
}

TEST_F(UpdateProtocolTest, AMethodParameterEditReachesItsOwner) {
  const uint64_t ownStamp = e2_->Stamp();
  e2_->RenderingMethod().SetParamValue(0, {20, 0});
  EXPECT_EQ(e2_->Stamp(), ownStamp) << "the owner itself is not marked";
  EXPECT_GT(e2_->SourceStamp(), e2_->ComputedFrom()) << "yet it is out of date";
  EXPECT_EQ(nodes_.Pass(main_), Names({e2_, m2_}));
  g_->OutputMethod().SetParamValue(0, {1, 1});  // 終点 has no slot: ignored
  EXPECT_TRUE(nodes_.Pass(main_).empty());
  main_.Parameter.FractalMethod().MarkChanged();
  EXPECT_EQ(nodes_.Pass(main_), Names({g_, e1_, e2_, m1_, m2_}));
}

TEST_F(UpdateProtocolTest, AMaskedMixerSkipsItsListsAndCatchesUpLater) {
  m2_->SetMaskSW(true);
  e2_->SetDifferential(true);
  const uint64_t before = m2_->ResultStamp();
  EXPECT_TRUE(nodes_.Pass(main_).empty());  // the pass-through reports no rows
  EXPECT_GT(m2_->ResultStamp(), before);
  main_.Parameter.ChangeScale(2);  // e2 is not reached: it stays behind
  EXPECT_EQ(nodes_.Pass(main_), Names({g_, e1_, m1_}));
  m2_->SetMaskSW(false);
  // e2 is recomputed although the generator is not computed in this pass.
  EXPECT_EQ(nodes_.Pass(main_), Names({e2_, m2_}));
}

TEST_F(UpdateProtocolTest, SameFinalPictureForOneTwoThreeAndSevenWorkers) {
  e1_->SetDifferential(true);
  m2_->SetTransparenceType(4);
  m2_->AppendTransparence('+', e1_);
  std::vector<int32_t> reference;
  for (int workers : {1, 2, 3, 7}) {
    main_.SetWorkers(workers);
    main_.Parameter.ChangeScale(2.75);
    nodes_.Pass(main_);
    auto pixels = qv::test::MixerPixels(*m2_);
    if (reference.empty()) reference = pixels;
    EXPECT_EQ(pixels, reference) << workers << " workers";
  }
}

// The counters belong to each graph: two projects name their nodes alike, and
// a copy skips the values a name already has.
TEST(QVGraph, NamesCountPerKindAndNeverRepeatForCopies) {
  QVMain main;
  QVMain other;
  QVNodeGraph& graph = main.Graph();
  QVGenerator& g = *graph.Generators[0];
  EXPECT_EQ(g.Name(), "Generator1");
  EXPECT_EQ(other.Graph().Generators[0]->Name(), "Generator1");
  graph.Rename(g, "Generator3");  // a name the counter will reach
  QVGenerator* a = graph.CopyGenerator(g);
  QVGenerator* b = graph.CopyGenerator(g);
  EXPECT_EQ(a->Name(), "Generator2");
  EXPECT_EQ(b->Name(), "Generator4");
  EXPECT_EQ(other.Graph().CopyGenerator(*other.Graph().Generators[0])->Name(), "Generator2");
  EXPECT_EQ(graph.NextEffectorName(), "Effector2");
  EXPECT_EQ(graph.NextMixerName(), "Mixer2");
}

// Lookups find the first of duplicate names, and only among the graph's own
// nodes: a node of one project is never found from another.
TEST(QVGraph, FindReturnsTheFirstOfDuplicateNamesInItsOwnGraph) {
  QVMain main;
  QVMain other;
  QVNodeGraph& graph = main.Graph();
  auto* twin = graph.AddEffector(graph.Generators[0]);
  graph.Rename(*twin, graph.Effectors[0]->Name());
  EXPECT_EQ(graph.FindEffector(twin->Name()), graph.Effectors[0]);
  EXPECT_EQ(graph.FindGenerator(graph.Generators[0]->Name()), graph.Generators[0]);
  EXPECT_EQ(graph.FindGenerator("generator1x"), nullptr);
  EXPECT_EQ(other.Graph().FindEffector(twin->Name()), other.Graph().Effectors[0]);
  other.Graph().Rename(*other.Graph().Generators[0], "Elsewhere");
  EXPECT_EQ(graph.FindGenerator("Elsewhere"), nullptr);
  EXPECT_TRUE(qv::IsValidNodeName(graph, "Elsewhere", qv::NodeKind::Generator));
}

TEST(QVGraph, NodeNameRule) {
  QVMain main;
  const QVNodeGraph& graph = main.Graph();
  const QVMixer* mixer = graph.Mixers[0];
  using qv::NodeKind;
  EXPECT_TRUE(qv::IsValidNodeName(graph, "Layer_2", NodeKind::Mixer));
  EXPECT_TRUE(qv::IsValidNodeName(graph, "背景", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName(graph, "", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName(graph, "two words", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName(graph, "tab\there", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName(graph, "line\nbreak", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName(graph, mixer->Name(), NodeKind::Mixer));
  EXPECT_TRUE(qv::IsValidNodeName(graph, mixer->Name(), NodeKind::Mixer, mixer));  // its own name
  EXPECT_TRUE(qv::IsValidNodeName(graph, mixer->Name(), NodeKind::Generator));
  EXPECT_EQ(qv::NameTextProblem(mixer->Name()), "") << "taken, but fine as text";
  EXPECT_NE(qv::NameTextProblem("two words"), "");
}

TEST(QVGraph, DestroyAllEmptiesEveryRegistryAndSwapMovesNodes) {
  QVMain main;
  QVNodeGraph& graph = main.Graph();
  QVNodeGraph staged;
  staged.AddMixer();
  EXPECT_EQ(staged.Mixers.back()->BaseMixer(), nullptr) << "bases come from the same graph";
  EXPECT_EQ(graph.Mixers.size(), 1u);
  QVMixer* live = graph.Mixers[0];
  graph.Swap(staged);
  ASSERT_EQ(graph.Mixers.size(), 1u);
  EXPECT_NE(graph.Mixers[0], live);
  EXPECT_EQ(&graph.Mixers[0]->Graph(), &graph);
  EXPECT_EQ(graph.Generators.size(), 0u);
  EXPECT_EQ(staged.Mixers[0], live);
  EXPECT_EQ(&live->Graph(), &staged);
  staged.DestroyAll();
  EXPECT_TRUE(staged.Generators.empty() && staged.Effectors.empty() && staged.Mixers.empty());
  delete graph.Mixers[0];  // the node removes itself from its graph's registry
  EXPECT_TRUE(graph.Mixers.empty());
}

// G1 -> E1 -> M1, G2 -> E2, M2 on M1 listing E1 and E2, M3 on M2.
class GraphEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g1_ = graph_.Generators[0];
    e1_ = graph_.Effectors[0];
    m1_ = graph_.Mixers[0];
    g2_ = graph_.CopyGenerator(*g1_);
    e2_ = graph_.AddEffector(g2_);
    m2_ = graph_.AddMixer();
    m2_->AppendSource('+', e1_);
    m2_->AppendSource('*', e2_);
    m2_->AppendTransparence('+', e2_);
    m3_ = graph_.AddMixer();
  }
  // Runs a pass so that every node reached is up to date.
  void Settle() { ASSERT_TRUE(main_.RunPass()); }
  // The next pass recomputes node.
  static bool OutOfDate(const QVNode& node) { return node.SourceStamp() > node.ComputedFrom(); }

  QVMain main_;
  QVNodeGraph& graph_ = main_.Graph();
  QVGenerator *g1_, *g2_;
  QVEffector *e1_, *e2_;
  QVMixer *m1_, *m2_, *m3_;
};

TEST_F(GraphEditTest, DeletingAGeneratorLeavesItsEffectorsWithoutOne) {
  Settle();
  graph_.DeleteNode(g2_);
  EXPECT_EQ(e2_->Generator(), nullptr);
  EXPECT_EQ(e1_->Generator(), g1_);
  EXPECT_TRUE(OutOfDate(*e2_));
  EXPECT_FALSE(OutOfDate(*e1_));
  Settle();
  EXPECT_EQ(e2_->RGBField.Width, 0) << "no generator, an empty picture";
}

TEST_F(GraphEditTest, DeletingAnEffectorRemovesEveryElementNamingIt) {
  Settle();
  graph_.DeleteNode(e2_);
  ASSERT_EQ(m2_->SourceList().size(), 1u);
  EXPECT_EQ(m2_->SourceList()[0].Effector, e1_);
  EXPECT_TRUE(m2_->TransparenceList().empty());
  EXPECT_TRUE(OutOfDate(*m2_));
  EXPECT_FALSE(OutOfDate(*m1_)) << "a mixer without the effector is untouched";
}

TEST_F(GraphEditTest, DeletingAMixerHandsItsBaseOn) {
  graph_.DeleteNode(m2_);
  EXPECT_EQ(m3_->BaseMixer(), m1_);
  graph_.DeleteNode(m1_);
  EXPECT_EQ(m3_->BaseMixer(), nullptr);
  EXPECT_EQ(graph_.Mixers, std::vector<QVMixer*>{m3_});
}

TEST_F(GraphEditTest, LinksOutsideTheGraphOrInACircleAreRefused) {
  QVNodeGraph other;
  QVEffector* stranger = other.AddEffector(nullptr);
  EXPECT_THROW(m2_->AppendSource('+', stranger), std::invalid_argument);
  EXPECT_THROW(m2_->AppendTransparence('+', nullptr), std::invalid_argument);
  EXPECT_THROW(e1_->SetGenerator(other.AddGenerator(&main_.Parameter)), std::invalid_argument);
  EXPECT_THROW(m1_->SetBaseMixer(m3_), std::invalid_argument);
  EXPECT_THROW(m1_->SetBaseMixer(m1_), std::invalid_argument);
  EXPECT_THROW(graph_.DeleteNode(stranger), std::invalid_argument);
  EXPECT_THROW(m2_->RemoveSource(2), std::out_of_range);
  EXPECT_THROW(e1_->SetEntryColor(2, 0), std::out_of_range);
  EXPECT_EQ(m2_->SourceList().size(), 2u);
  EXPECT_EQ(e1_->Generator(), g1_);
  EXPECT_EQ(m1_->BaseMixer(), nullptr);
}

TEST_F(GraphEditTest, ListEditsMarkTheMixerChanged) {
  const auto changes = [&](auto edit) {
    Settle();
    edit();
    return OutOfDate(*m2_);
  };
  EXPECT_TRUE(changes([&] { m2_->RemoveSource(0); }));
  EXPECT_TRUE(changes([&] { m2_->RemoveTransparence(0); }));
  EXPECT_TRUE(changes([&] { m2_->SetSourceList({{'+', e2_}}); }));
  EXPECT_TRUE(changes([&] { m2_->SetBaseMixer(nullptr); }));
  EXPECT_FALSE(changes([&] { m2_->RemoveEffector(e1_); })) << "it names e1 no more";
  EXPECT_EQ(graph_.FindMixer(m2_->Name()), m2_);
}

}  // namespace

namespace {

// Random additions, copies, renames (duplicate names included) and deletions
// in two graphs that are swapped now and then: after every edit each lookup
// equals a scan of the registry for the first node of the name.
TEST(QVGraph, NameLookupsEqualARegistryScanThroughRandomEdits) {
  QVMain main;
  QVNodeGraph& live = main.Graph();
  QVNodeGraph other;
  std::mt19937 rng(7);
  const auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  const std::vector<std::string> names = {"", "a", "b", "c", live.Generators[0]->Name()};
  const auto scan = [](const auto& registry, const std::string& name) {
    const auto at = std::find_if(registry.begin(), registry.end(),
                                 [&](const auto* n) { return n->Name() == name; });
    return at == registry.end() ? nullptr : *at;
  };
  for (int step = 0; step < 2000; ++step) {
    QVNodeGraph& g = pick(2) ? live : other;
    std::vector<QVNode*> nodes(g.Generators.begin(), g.Generators.end());
    nodes.insert(nodes.end(), g.Effectors.begin(), g.Effectors.end());
    nodes.insert(nodes.end(), g.Mixers.begin(), g.Mixers.end());
    QVNode* any = nodes.empty() ? nullptr : nodes[pick(nodes.size())];
    switch (pick(7)) {
      case 0:
        g.AddGenerator(&main.Parameter);
        break;
      case 1:
        g.AddEffector(nullptr);
        break;
      case 2:
        g.AddMixer();
        break;
      case 3:
        if (!g.Generators.empty()) g.CopyGenerator(*g.Generators[pick(g.Generators.size())]);
        break;
      case 4:
        if (any) g.DeleteNode(any);
        break;
      case 5:
        live.Swap(other);
        break;
      default:
        if (any) g.Rename(*any, names[pick(names.size())]);
        break;
    }
    for (QVNodeGraph* each : {&live, &other}) {
      ASSERT_TRUE(each->NameIndexMatches()) << "step " << step;
      for (const std::string& name : names) {
        ASSERT_EQ(each->FindGenerator(name), scan(each->Generators, name)) << step;
        ASSERT_EQ(each->FindEffector(name), scan(each->Effectors, name)) << step;
        ASSERT_EQ(each->FindMixer(name), scan(each->Mixers, name)) << step;
      }
    }
  }
}

TEST(QVGraph, DestroyAllDeletesEachRegistryInOrder) {
  std::vector<std::string> order;
  {
    QVNodeGraph graph;
    QVParameter parameter;
    for (int i = 0; i < 3; ++i) new QVGenerator(graph, &parameter);
    for (QVGenerator* g : graph.Generators) order.push_back(g->Name());
    std::vector<std::string> expected = order;
    // The registry seen from each destructor no longer holds the node.
    graph.DestroyAll();
    EXPECT_TRUE(graph.Generators.empty());
    EXPECT_EQ(order, expected);
  }
}

}  // namespace
