#include "engine/QVGraph.h"

#include <algorithm>
#include <atomic>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"

QVNodeGraph& LiveGraph() {
  static QVNodeGraph graph;
  return graph;
}

std::vector<QVGenerator*>& Generators = LiveGraph().Generators;
std::vector<QVEffector*>& Effectors = LiveGraph().Effectors;
std::vector<QVMixer*>& Mixers = LiveGraph().Mixers;

namespace {

// Deletes the nodes in registry order. The registry is emptied first, so that
// each destructor's removal of its node finds nothing to scan or shift.
template <typename Node>
void DestroyInOrder(std::vector<Node*>& registry) {
  while (!registry.empty()) {
    std::vector<Node*> nodes;
    nodes.swap(registry);
    for (Node* n : nodes) delete n;
  }
}

template <typename Node>
Node* Indexed(const std::unordered_map<std::string, Node*>& index, const std::string& name) {
  const auto at = index.find(name);
  return at == index.end() ? nullptr : at->second;
}

}  // namespace

void QVNodeGraph::DestroyAll() {
  DestroyInOrder(Generators);
  DestroyInOrder(Effectors);
  DestroyInOrder(Mixers);
}

void QVNodeGraph::StartNameIndex() { nameIndex_ = true; }
void QVNodeGraph::IndexName(QVGenerator* generator) {
  if (nameIndex_) generatorNames_.emplace(generator->Name, generator);
}
void QVNodeGraph::IndexName(QVEffector* effector) {
  if (nameIndex_) effectorNames_.emplace(effector->Name, effector);
}
QVGenerator* QVNodeGraph::IndexedGenerator(const std::string& name) const {
  return Indexed(generatorNames_, name);
}
QVEffector* QVNodeGraph::IndexedEffector(const std::string& name) const {
  return Indexed(effectorNames_, name);
}

void QVNodeGraph::Swap(QVNodeGraph& other) {
  std::swap(Generators, other.Generators);
  std::swap(Effectors, other.Effectors);
  std::swap(Mixers, other.Mixers);
  for (QVNodeGraph* g : {this, &other}) {
    g->nameIndex_ = false;
    g->generatorNames_.clear();
    g->effectorNames_.clear();
  }
  for (QVNodeGraph* g : {this, &other}) {
    for (auto* n : g->Generators) n->OwnerGraph = g;
    for (auto* n : g->Effectors) n->OwnerGraph = g;
    for (auto* n : g->Mixers) n->OwnerGraph = g;
  }
}

namespace qv {

namespace {
thread_local QVNodeGraph* constructionGraph = nullptr;
std::atomic<int64_t> generatorCounter{0};
std::atomic<int64_t> effectorCounter{0};
std::atomic<int64_t> mixerCounter{0};

template <typename Node>
bool NameTaken(const std::vector<Node*>& nodes, const std::string& name, const void* self) {
  return std::any_of(nodes.begin(), nodes.end(),
                     [&](const Node* n) { return n != self && n->Name == name; });
}
}  // namespace

QVNodeGraph& ConstructionGraph() { return constructionGraph ? *constructionGraph : LiveGraph(); }

ScopedConstructionGraph::ScopedConstructionGraph(QVNodeGraph& graph)
    : previous_(constructionGraph) {
  constructionGraph = &graph;
}
ScopedConstructionGraph::~ScopedConstructionGraph() { constructionGraph = previous_; }

std::string NextGeneratorName() { return "Generator" + std::to_string(++generatorCounter); }
std::string NextEffectorName() { return "Effector" + std::to_string(++effectorCounter); }
std::string NextMixerName() { return "Mixer" + std::to_string(++mixerCounter); }

std::string CheckNodeName(const std::string& name, NodeKind kind, const void* self) {
  if (name.empty()) return "a node name must not be empty";
  for (unsigned char c : name) {
    if (c <= 0x20 || c == 0x7F) return "a node name must not contain blanks, line breaks or control characters";
  }
  const QVNodeGraph& g = LiveGraph();
  const bool taken = kind == NodeKind::Generator ? NameTaken(g.Generators, name, self)
                     : kind == NodeKind::Effector ? NameTaken(g.Effectors, name, self)
                                                   : NameTaken(g.Mixers, name, self);
  if (taken) return "another node is already named \"" + name + "\"";
  return "";
}

}  // namespace qv

QVGenerator* FindGenerator(const std::string& name) {
  const QVNodeGraph& graph = qv::ConstructionGraph();
  if (graph.HasNameIndex()) return graph.IndexedGenerator(name);
  for (QVGenerator* g : graph.Generators) {
    if (g->Name == name) return g;
  }
  return nullptr;
}

QVEffector* FindEffector(const std::string& name) {
  const QVNodeGraph& graph = qv::ConstructionGraph();
  if (graph.HasNameIndex()) return graph.IndexedEffector(name);
  for (QVEffector* e : graph.Effectors) {
    if (e->Name == name) return e;
  }
  return nullptr;
}

QVGenerator* CopyGenerator(const QVGenerator& source) {
  auto* copy = new QVGenerator(source);  // owned by its graph from here on
  while (qv::NameTaken(copy->OwnerGraph->Generators, copy->Name, copy)) {
    copy->Name = qv::NextGeneratorName();
  }
  return copy;
}
