#include "engine/QVGraph.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"

namespace {

template <typename Node>
Node* FindNamed(const std::vector<Node*>& nodes, const std::string& name) {
  for (Node* n : nodes) {
    if (n->Name == name) return n;
  }
  return nullptr;
}

template <typename Node>
bool NameTaken(const std::vector<Node*>& nodes, const std::string& name, const void* self) {
  return std::any_of(nodes.begin(), nodes.end(),
                     [&](const Node* n) { return n != self && n->Name == name; });
}

}  // namespace

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

// New nodes are owned by this graph from their construction on; a counter
// name that a node of the kind already has (read from text) is skipped.
QVGenerator* QVNodeGraph::AddGenerator(QVParameter* parameter) {
  qv::ScopedConstructionGraph scope(*this);
  auto* generator = new QVGenerator(parameter);
  while (NameTaken(Generators, generator->Name, generator)) {
    generator->Name = qv::NextGeneratorName();
  }
  return generator;
}

QVEffector* QVNodeGraph::AddEffector(QVGenerator* generator, QVMain* owner) {
  if (generator && generator->OwnerGraph != this) {
    throw std::invalid_argument("the generator belongs to another graph");
  }
  qv::ScopedConstructionGraph scope(*this);
  auto* effector = new QVEffector(generator, owner);
  while (NameTaken(Effectors, effector->Name, effector)) effector->Name = qv::NextEffectorName();
  return effector;
}

QVMixer* QVNodeGraph::AddMixer() {
  qv::ScopedConstructionGraph scope(*this);
  auto* mixer = new QVMixer();
  while (NameTaken(Mixers, mixer->Name, mixer)) mixer->Name = qv::NextMixerName();
  return mixer;
}

QVGenerator* QVNodeGraph::CopyGenerator(const QVGenerator& source) {
  if (source.OwnerGraph != this) {
    throw std::invalid_argument("the generator belongs to another graph");
  }
  qv::ScopedConstructionGraph scope(*this);
  auto* copy = new QVGenerator(source);
  while (NameTaken(Generators, copy->Name, copy)) copy->Name = qv::NextGeneratorName();
  return copy;
}

void QVNodeGraph::DeleteNode(QVNode* node) {
  if (!node) return;
  if (node->OwnerGraph != this) throw std::invalid_argument("the node belongs to another graph");
  delete node;  // each node's destructor removes the references to it
}

// A graph being read looks names up in its index; any other graph scans.
QVGenerator* QVNodeGraph::FindGenerator(const std::string& name) const {
  return nameIndex_ ? IndexedGenerator(name) : FindNamed(Generators, name);
}
QVEffector* QVNodeGraph::FindEffector(const std::string& name) const {
  return nameIndex_ ? IndexedEffector(name) : FindNamed(Effectors, name);
}
QVMixer* QVNodeGraph::FindMixer(const std::string& name) const { return FindNamed(Mixers, name); }

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
  return qv::ConstructionGraph().FindGenerator(name);
}

QVEffector* FindEffector(const std::string& name) {
  return qv::ConstructionGraph().FindEffector(name);
}

QVGenerator* CopyGenerator(const QVGenerator& source) {
  return source.OwnerGraph->CopyGenerator(source);
}
