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
  ComputedNodes() {
    ProgressHook = [this](const std::string& name, int, int) {
      std::lock_guard<std::mutex> g(lock_);
      ++rows_[name];
    };
  }
  ~ComputedNodes() { ProgressHook = nullptr; }
  std::set<std::string> Pass(QVMain& main) {
    {
      std::lock_guard<std::mutex> g(lock_);
      rows_.clear();
    }
    EXPECT_TRUE(main.RunPass());
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
    g_ = Generators[0];
    e1_ = Effectors[0];
    m1_ = Mixers[0];
    e2_ = new QVEffector(g_, &main_);
    m2_ = new QVMixer();
    m2_->AppendSource('+', e2_);
    EXPECT_EQ(nodes_.Pass(main_), Names({g_, e1_, e2_, m1_, m2_}));
  }
  static std::set<std::string> Names(std::initializer_list<const QVObject*> list) {
    std::set<std::string> out;
    for (const QVObject* o : list) out.insert(o->Name);
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
  // Each of the 6 rows once: the second effector finds the generator Updated.
  for (const QVObject* node : {static_cast<const QVObject*>(g_), static_cast<const QVObject*>(e1_),
                               static_cast<const QVObject*>(e2_)}) {
    EXPECT_EQ(nodes_.Rows(node->Name), 6) << node->Name;
  }
}

TEST_F(UpdateProtocolTest, AMethodParameterEditReachesItsOwner) {
  e2_->RenderingMethod->SetParamValue(0, {20, 0});
  EXPECT_EQ(e2_->State, Unvisited) << "the owner itself is not marked";
  EXPECT_EQ(nodes_.Pass(main_), Names({e2_, m2_}));
  g_->OutputMethod->SetParamValue(0, {1, 1});  // 終点 has no slot: ignored
  EXPECT_TRUE(nodes_.Pass(main_).empty());
  main_.Parameter.FractalMethod->MarkChanged();
  EXPECT_EQ(nodes_.Pass(main_), Names({g_, e1_, e2_, m1_, m2_}));
}

TEST_F(UpdateProtocolTest, AMaskedMixerSkipsItsListsAndCatchesUpLater) {
  m2_->SetMaskSW(true);
  e2_->SetDifferential(true);
  const uint64_t before = m2_->ResultStamp;
  EXPECT_TRUE(nodes_.Pass(main_).empty());  // the pass-through reports no rows
  EXPECT_GT(m2_->ResultStamp, before);
  EXPECT_EQ(m2_->State, Unvisited);
  main_.Parameter.ChangeScale(2);  // e2 is not reached: it stays behind
  EXPECT_EQ(nodes_.Pass(main_), Names({g_, e1_, m1_}));
  m2_->SetMaskSW(false);
  // e2 is recomputed although the generator reports Unchanged in this pass.
  EXPECT_EQ(nodes_.Pass(main_), Names({e2_, m2_}));
}

TEST_F(UpdateProtocolTest, SameFinalPictureForOneTwoThreeAndSevenWorkers) {
  e1_->SetDifferential(true);
  m2_->SetTransparenceType(4);
  m2_->AppendTransparence('+', e1_);
  std::vector<int32_t> reference;
  for (int workers : {1, 2, 3, 7}) {
    qv::test::ScopedThreadCount n(workers);
    main_.Parameter.ChangeScale(2.75);
    nodes_.Pass(main_);
    auto pixels = qv::test::MixerPixels(*m2_);
    if (reference.empty()) reference = pixels;
    EXPECT_EQ(pixels, reference) << workers << " workers";
  }
}

TEST(QVGraph, NamesCountPerKindAndNeverRepeatForCopies) {
  QVMain main;
  const std::string first = Generators[0]->Name;
  const int n = std::stoi(first.substr(9));
  // A name the counter will reach.
  LiveGraph().Rename(*Generators[0], "Generator" + std::to_string(n + 2));
  QVGenerator* a = CopyGenerator(*Generators[0]);
  QVGenerator* b = CopyGenerator(*Generators[0]);
  EXPECT_EQ(a->Name, "Generator" + std::to_string(n + 1));
  EXPECT_EQ(b->Name, "Generator" + std::to_string(n + 3));
  const std::string e = qv::NextEffectorName();
  EXPECT_EQ(e.rfind("Effector", 0), 0u);
}

TEST(QVGraph, FindReturnsTheFirstOfDuplicateNames) {
  QVMain main;
  auto* twin = new QVEffector(Generators[0], &main);
  LiveGraph().Rename(*twin, Effectors[0]->Name);
  EXPECT_EQ(FindEffector(twin->Name), Effectors[0]);
  EXPECT_EQ(FindGenerator(Generators[0]->Name), Generators[0]);
  EXPECT_EQ(FindGenerator("generator1x"), nullptr);
}

TEST(QVGraph, NodeNameRule) {
  QVMain main;
  using qv::NodeKind;
  EXPECT_TRUE(qv::IsValidNodeName("Layer_2", NodeKind::Mixer));
  EXPECT_TRUE(qv::IsValidNodeName("背景", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName("", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName("two words", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName("tab\there", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName("line\nbreak", NodeKind::Mixer));
  EXPECT_FALSE(qv::IsValidNodeName(Mixers[0]->Name, NodeKind::Mixer));
  EXPECT_TRUE(qv::IsValidNodeName(Mixers[0]->Name, NodeKind::Mixer, Mixers[0]));  // its own name
  EXPECT_TRUE(qv::IsValidNodeName(Mixers[0]->Name, NodeKind::Generator));
}

TEST(QVGraph, DestroyAllEmptiesEveryRegistryAndSwapMovesNodes) {
  QVMain main;
  QVNodeGraph staged;
  {
    qv::ScopedConstructionGraph scope(staged);
    new QVMixer();
    EXPECT_EQ(staged.Mixers.back()->BaseMixer(), nullptr) << "bases come from the same graph";
  }
  EXPECT_EQ(Mixers.size(), 1u);
  QVMixer* live = Mixers[0];
  LiveGraph().Swap(staged);
  ASSERT_EQ(Mixers.size(), 1u);
  EXPECT_NE(Mixers[0], live);
  EXPECT_EQ(Generators.size(), 0u);
  EXPECT_EQ(staged.Mixers[0], live);
  staged.DestroyAll();
  EXPECT_TRUE(staged.Generators.empty() && staged.Effectors.empty() && staged.Mixers.empty());
  delete Mixers[0];  // the node removes itself from the live registry
  EXPECT_TRUE(Mixers.empty());
}

// G1 -> E1 -> M1, G2 -> E2, M2 on M1 listing E1 and E2, M3 on M2.
class GraphEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g1_ = Generators[0];
    e1_ = Effectors[0];
    m1_ = Mixers[0];
    g2_ = graph_.CopyGenerator(*g1_);
    e2_ = graph_.AddEffector(g2_, &main_);
    m2_ = graph_.AddMixer();
    m2_->AppendSource('+', e1_);
    m2_->AppendSource('*', e2_);
    m2_->AppendTransparence('+', e2_);
    m3_ = graph_.AddMixer();
  }
  // Runs a pass so that every node reached is up to date and Unvisited.
  void Settle() { ASSERT_TRUE(main_.RunPass()); }

  QVMain main_;
  QVNodeGraph& graph_ = LiveGraph();
  QVGenerator *g1_, *g2_;
  QVEffector *e1_, *e2_;
  QVMixer *m1_, *m2_, *m3_;
};

TEST_F(GraphEditTest, DeletingAGeneratorLeavesItsEffectorsWithoutOne) {
  Settle();
  graph_.DeleteNode(g2_);
  EXPECT_EQ(e2_->Generator, nullptr);
  EXPECT_EQ(e1_->Generator, g1_);
  EXPECT_EQ(e2_->State, Changed);
  Settle();
  EXPECT_EQ(e2_->RGBField.Width, 0) << "no generator, an empty picture";
}

TEST_F(GraphEditTest, DeletingAnEffectorRemovesEveryElementNamingIt) {
  Settle();
  graph_.DeleteNode(e2_);
  ASSERT_EQ(m2_->SourceList().size(), 1u);
  EXPECT_EQ(m2_->SourceList()[0].Effector, e1_);
  EXPECT_TRUE(m2_->TransparenceList().empty());
  EXPECT_EQ(m2_->State, Changed);
  EXPECT_EQ(m1_->State, Unvisited) << "a mixer without the effector is untouched";
}

TEST_F(GraphEditTest, DeletingAMixerHandsItsBaseOn) {
  graph_.DeleteNode(m2_);
  EXPECT_EQ(m3_->BaseMixer(), m1_);
  graph_.DeleteNode(m1_);
  EXPECT_EQ(m3_->BaseMixer(), nullptr);
  EXPECT_EQ(Mixers, std::vector<QVMixer*>{m3_});
}

TEST_F(GraphEditTest, LinksOutsideTheGraphOrInACircleAreRefused) {
  QVNodeGraph other;
  QVEffector* stranger = other.AddEffector(nullptr, nullptr);
  EXPECT_THROW(m2_->AppendSource('+', stranger), std::invalid_argument);
  EXPECT_THROW(m2_->AppendTransparence('+', nullptr), std::invalid_argument);
  EXPECT_THROW(e1_->SetGenerator(other.AddGenerator(&main_.Parameter)), std::invalid_argument);
  EXPECT_THROW(m1_->SetBaseMixer(m3_), std::invalid_argument);
  EXPECT_THROW(m1_->SetBaseMixer(m1_), std::invalid_argument);
  EXPECT_THROW(graph_.DeleteNode(stranger), std::invalid_argument);
  EXPECT_THROW(m2_->RemoveSource(2), std::out_of_range);
  EXPECT_THROW(e1_->SetEntryColor(2, 0), std::out_of_range);
  EXPECT_EQ(m2_->SourceList().size(), 2u);
  EXPECT_EQ(e1_->Generator, g1_);
  EXPECT_EQ(m1_->BaseMixer(), nullptr);
}

TEST_F(GraphEditTest, ListEditsMarkTheMixerChanged) {
  const auto changes = [&](auto edit) {
    Settle();
    edit();
    return m2_->State == Changed;
  };
  EXPECT_TRUE(changes([&] { m2_->RemoveSource(0); }));
  EXPECT_TRUE(changes([&] { m2_->RemoveTransparence(0); }));
  EXPECT_TRUE(changes([&] { m2_->SetSourceList({{'+', e2_}}); }));
  EXPECT_TRUE(changes([&] { m2_->SetBaseMixer(nullptr); }));
  EXPECT_FALSE(changes([&] { m2_->RemoveEffector(e1_); })) << "it names e1 no more";
  EXPECT_EQ(graph_.FindMixer(m2_->Name), m2_);
}

}  // namespace

namespace {

// Random additions, copies, renames (duplicate names included) and deletions
// in two graphs that are swapped now and then: after every edit each lookup
// equals a scan of the registry for the first node of the name.
TEST(QVGraph, NameLookupsEqualARegistryScanThroughRandomEdits) {
  QVMain main;
  QVNodeGraph other;
  std::mt19937 rng(7);
  const auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  const std::vector<std::string> names = {"", "a", "b", "c", Generators[0]->Name};
  const auto scan = [](const auto& registry, const std::string& name) {
    const auto at = std::find_if(registry.begin(), registry.end(),
                                 [&](const auto* n) { return n->Name == name; });
    return at == registry.end() ? nullptr : *at;
  };
  for (int step = 0; step < 2000; ++step) {
    QVNodeGraph& g = pick(2) ? LiveGraph() : other;
    std::vector<QVNode*> nodes(g.Generators.begin(), g.Generators.end());
    nodes.insert(nodes.end(), g.Effectors.begin(), g.Effectors.end());
    nodes.insert(nodes.end(), g.Mixers.begin(), g.Mixers.end());
    QVNode* any = nodes.empty() ? nullptr : nodes[pick(nodes.size())];
    switch (pick(7)) {
      case 0:
        g.AddGenerator(&main.Parameter);
        break;
      case 1:
        g.AddEffector(nullptr, &main);
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
        LiveGraph().Swap(other);
        break;
      default:
        if (any) g.Rename(*any, names[pick(names.size())]);
        break;
    }
    for (QVNodeGraph* each : {&LiveGraph(), &other}) {
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
    qv::ScopedConstructionGraph scope(graph);
    QVParameter parameter;
    for (int i = 0; i < 3; ++i) new QVGenerator(&parameter);
    for (QVGenerator* g : graph.Generators) order.push_back(g->Name);
    std::vector<std::string> expected = order;
    // The registry seen from each destructor no longer holds the node.
    graph.DestroyAll();
    EXPECT_TRUE(graph.Generators.empty());
    EXPECT_EQ(order, expected);
  }
}

}  // namespace
