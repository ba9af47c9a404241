// Random edit sequences on a project's graph: after every edit the picture of
// the graph, computed incrementally, equals the picture of a graph read back
// from the project text written from it, and writing that graph gives the same
// text. Run under ASan, this also shows that no edit leaves a dangling link.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVNode.h"
#include "engine/QVSnapshot.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"
#include "tests/source/SourceTestSupport.h"

namespace {

class GraphEdits {
 public:
  explicit GraphEdits(uint32_t seed) : rng_(seed), renames_(seed + 100) {
    main_.Parameter.ChangeWidth(11);
    main_.Parameter.ChangeHeight(7);
    main_.SetWorkers(2);
  }

  // One random edit through the graph-editing members; additions and list
  // appends come more often than deletions, so the graph neither dies out nor
  // grows without bound.
  void Edit() {
    if (renames_() % 4 == 0) Rename();
    switch (Pick(16)) {
      case 0:
      case 1:
        AddGenerator();
        break;
      case 2:
        if (auto* g = Any(graph_.Generators); g && graph_.Generators.size() < 6) {
          graph_.CopyGenerator(*g)->SetRange(1.0 + Pick(4));
        }
        break;
      case 3:
        if (graph_.Effectors.size() < 5) graph_.AddEffector(Any(graph_.Generators));
        break;
      case 4:
        if (auto* e = Any(graph_.Effectors)) e->SetGenerator(Any(graph_.Generators));
        break;
      case 5:
        if (graph_.Mixers.size() < 4) graph_.AddMixer();
        AppendElement();
        break;
      case 6:
      case 7:
        AppendElement();
        break;
      case 8:
        RemoveElement();
        break;
      case 9:
      case 10:
        if (auto* e = Any(graph_.Effectors)) EditBar(*e);
        break;
      case 11:
        if (auto* m = Any(graph_.Mixers)) {
          m->SetTransparenceType(Pick(5));
          m->SetMaskSW(Pick(4) == 0);
        }
        break;
      case 12:
        if (auto* e = Any(graph_.Effectors)) e->SetDifferential(!e->Differential());
        break;
      case 13:
        graph_.DeleteNode(Any(graph_.Generators));
        break;
      case 14:
        graph_.DeleteNode(Any(graph_.Effectors));
        break;
      default:
        graph_.DeleteNode(Any(graph_.Mixers));
        break;
    }
  }

  // The incremental picture against the picture of the text's graph.
  void ExpectSameAsReadBack(const std::string& what) {
    ASSERT_TRUE(graph_.NameIndexMatches()) << what;
    const std::vector<int32_t> pixels = qv::test::RenderPicture(main_);
    const std::string text = qv::WriteProject(main_);
    QVParameter parameter;
    QVNodeGraph copy;
    const qv::ReadResult read = qv::ReadProjectInto(text, parameter, copy);
    ASSERT_TRUE(read.Ok) << what << ": " << read.Describe() << "\n" << text;
    EXPECT_EQ(qv::WriteProject(parameter, copy), text) << what;
    ASSERT_EQ(copy.Mixers.size(), graph_.Mixers.size()) << what;
    if (copy.Mixers.empty()) return;
    qv::Pass pass;
    pass.Workers = 2;
    ASSERT_TRUE(qv::RunPass(parameter, copy, pass));
    ASSERT_EQ(qv::test::PicturePixels(copy), pixels) << what << "\n" << text;
    if (pixels.size() > 2) ++Pictures;
  }

  int Pictures = 0;  ///< comparisons of a picture that was not empty

 private:
  int32_t Pick(int32_t n) { return static_cast<int32_t>(rng_() % static_cast<uint32_t>(n)); }
  template <typename Node>
  Node* Any(const std::vector<Node*>& nodes) {
    return nodes.empty() ? nullptr
                         : nodes[static_cast<size_t>(Pick(static_cast<int32_t>(nodes.size())))];
  }

  // A new generator, which an effector left without one takes.
  void AddGenerator() {
    if (graph_.Generators.size() >= 4) return;
    QVGenerator* g = graph_.AddGenerator(&main_.Parameter);
    g->SetDepth(Pick(40));
    for (QVEffector* e : graph_.Effectors) {
      if (!e->Generator()) return e->SetGenerator(g);
    }
  }

  // A node takes a name from a short list, when no other node has it (drawn
  // from a stream of its own, so the other edits are those without renames).
  void Rename() {
    const std::string name = "n" + std::to_string(renames_() % 6);
    std::vector<QVNode*> nodes(graph_.Generators.begin(), graph_.Generators.end());
    nodes.insert(nodes.end(), graph_.Effectors.begin(), graph_.Effectors.end());
    nodes.insert(nodes.end(), graph_.Mixers.begin(), graph_.Mixers.end());
    QVNode* node = nodes.empty() ? nullptr : nodes[renames_() % nodes.size()];
    if (node && !FindNamed(name)) graph_.Rename(*node, name);
  }
  bool FindNamed(const std::string& name) const {
    return graph_.FindGenerator(name) || graph_.FindEffector(name) || graph_.FindMixer(name);
  }

  void AppendElement() {
    QVMixer* m = Any(graph_.Mixers);
    QVEffector* e = Any(graph_.Effectors);
    if (!m || !e) return;
    const int32_t op = Pick(3) == 0 ? '*' : '+';
    Pick(3) == 0 ? m->AppendTransparence(op, e) : m->AppendSource(op, e);
  }

  void RemoveElement() {
    QVMixer* m = Any(graph_.Mixers);
    if (!m) return;
    if (!m->SourceList().empty())
      m->RemoveSource(Pick(static_cast<int32_t>(m->SourceList().size())));
    if (!m->TransparenceList().empty() && Pick(2) == 0) m->RemoveTransparence(0);
  }

  void EditBar(QVEffector& e) {
    const int32_t color = static_cast<int32_t>(rng_() & 0xFFFFFF);
    const int32_t n = e.EntryCount();
    switch (n == 0 ? 0 : Pick(5)) {
      case 0:
        e.InsertEntry(color, Pick(9) / 8.0);
        break;
      case 1:
        e.SetEntryColor(Pick(n), color);
        break;
      case 2: {
        // An input equal to another entry's would make two entries that
        // project text cannot hold apart (reading merges them).
        const double x = Pick(9) / 8.0;
        if (e.IndexOfInput(x) < 0) e.SetEntryInput(Pick(n), x);
        break;
      }
      case 3:
        e.DeleteEntry(Pick(n));
        break;
      default:
        e.ClearEntries();
        break;
    }
  }

  QVMain main_;
  QVNodeGraph& graph_ = main_.Graph();
  std::mt19937 rng_;
  std::mt19937 renames_;
};

TEST(QVNodeGraph, RandomEditsRenderAsTheirProjectTextReadBack) {
  for (uint32_t seed : {1u, 2u, 3u, 4u}) {
    GraphEdits edits(seed);
    for (int step = 0; step < 100; ++step) {
      edits.Edit();
      edits.ExpectSameAsReadBack("seed " + std::to_string(seed) + ", edit " + std::to_string(step));
      if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(edits.Pictures, 20) << "seed " << seed << ": too few pictures compared";
  }
}

}  // namespace
