#include "engine/QVGraph.h"

#include <algorithm>
#include <stdexcept>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"

namespace {

template <typename Node>
void DeleteAll(const std::vector<Node*>& nodes) {
  for (Node* n : nodes) delete n;
}

}  // namespace

// Every registry and index is emptied before the first node is deleted, so
// that no destructor finds a node to unlink or a registry entry to remove
// (generators would otherwise scan every effector, effectors every mixer).
void QVNodeGraph::DestroyAll() {
  while (!Generators.empty() || !Effectors.empty() || !Mixers.empty()) {
    std::vector<QVGenerator*> generators;
    std::vector<QVEffector*> effectors;
    std::vector<QVMixer*> mixers;
    generators.swap(Generators);
    effectors.swap(Effectors);
    mixers.swap(Mixers);
    generatorNames_.Clear();
    effectorNames_.Clear();
    mixerNames_.Clear();
    DeleteAll(generators);
    DeleteAll(effectors);
    DeleteAll(mixers);
  }
}

void QVNodeGraph::Register(QVGenerator* node) {
  Generators.push_back(node);
  generatorNames_.Add(node, Generators);
}
void QVNodeGraph::Register(QVEffector* node) {
  Effectors.push_back(node);
  effectorNames_.Add(node, Effectors);
}
void QVNodeGraph::Register(QVMixer* node) {
  Mixers.push_back(node);
  mixerNames_.Add(node, Mixers);
}

void QVNodeGraph::Unregister(QVGenerator* node) {
  generatorNames_.Remove(node, node->Name());
  std::erase(Generators, node);
}
void QVNodeGraph::Unregister(QVEffector* node) {
  effectorNames_.Remove(node, node->Name());
  std::erase(Effectors, node);
}
void QVNodeGraph::Unregister(QVMixer* node) {
  mixerNames_.Remove(node, node->Name());
  std::erase(Mixers, node);
}

void QVNodeGraph::Rename(QVNode& node, std::string name) {
  if (&node.Graph() != this) throw std::invalid_argument("the node belongs to another graph");
  const std::string previous = node.Name();
  node.AssignName(std::move(name));
  NameAssigned(node, previous);
}

void QVNodeGraph::NameAssigned(QVNode& node, const std::string& previous) {
  if (&node.Graph() != this) throw std::invalid_argument("the node belongs to another graph");
  const auto move = [&](auto& index, auto* n, const auto& registry) {
    index.Remove(n, previous);
    index.Add(n, registry);
  };
  if (auto* g = dynamic_cast<QVGenerator*>(&node)) {
    move(generatorNames_, g, Generators);
  } else if (auto* e = dynamic_cast<QVEffector*>(&node)) {
    move(effectorNames_, e, Effectors);
  } else if (auto* m = dynamic_cast<QVMixer*>(&node)) {
    move(mixerNames_, m, Mixers);
  }
}

bool QVNodeGraph::NameTaken(qv::NodeKind kind, const std::string& name, const void* self) const {
  switch (kind) {
    case qv::NodeKind::Generator:
      return generatorNames_.TakenByAnother(name, self);
    case qv::NodeKind::Effector:
      return effectorNames_.TakenByAnother(name, self);
    default:
      return mixerNames_.TakenByAnother(name, self);
  }
}

bool QVNodeGraph::NameIndexMatches() const {
  return generatorNames_.Matches(Generators) && effectorNames_.Matches(Effectors) &&
         mixerNames_.Matches(Mixers);
}

// New nodes are owned by this graph from their construction on; a counter
// name that a node of the kind already has (read from text) is skipped.
QVGenerator* QVNodeGraph::AddGenerator(QVParameter* parameter) {
  auto* generator = new QVGenerator(*this, parameter);
  while (NameTaken(qv::NodeKind::Generator, generator->Name(), generator)) {
    Rename(*generator, NextGeneratorName());
  }
  return generator;
}

QVEffector* QVNodeGraph::AddEffector(QVGenerator* generator) {
  if (generator && &generator->Graph() != this) {
    throw std::invalid_argument("the generator belongs to another graph");
  }
  auto* effector = new QVEffector(*this, generator);
  while (NameTaken(qv::NodeKind::Effector, effector->Name(), effector)) {
    Rename(*effector, NextEffectorName());
  }
  return effector;
}

QVMixer* QVNodeGraph::AddMixer() {
  auto* mixer = new QVMixer(*this);
  while (NameTaken(qv::NodeKind::Mixer, mixer->Name(), mixer)) Rename(*mixer, NextMixerName());
  return mixer;
}

QVGenerator* QVNodeGraph::CopyGenerator(const QVGenerator& source) {
  if (&source.Graph() != this) {
    throw std::invalid_argument("the generator belongs to another graph");
  }
  auto* copy = new QVGenerator(source);
  while (NameTaken(qv::NodeKind::Generator, copy->Name(), copy)) {
    Rename(*copy, NextGeneratorName());
  }
  return copy;
}

void QVNodeGraph::DeleteNode(QVNode* node) {
  if (!node) return;
  if (&node->Graph() != this) throw std::invalid_argument("the node belongs to another graph");
  delete node;  // each node's destructor removes the references to it
}

void QVNodeGraph::MoveMixer(QVMixer& mixer, QVMixer* base) {
  const auto at = std::find(Mixers.begin(), Mixers.end(), &mixer);
  if (at == Mixers.end()) throw std::invalid_argument("the mixer belongs to another graph");
  if (base == &mixer || (base && std::find(Mixers.begin(), Mixers.end(), base) == Mixers.end())) {
    throw std::invalid_argument("a mixer can be built only on another mixer of its graph");
  }
  Mixers.erase(at);
  const auto after = base ? std::find(Mixers.begin(), Mixers.end(), base) + 1 : Mixers.begin();
  Mixers.insert(after, &mixer);
  // First every base that changes goes, then each takes the mixer before it:
  // at every step the links are a part of the new chain, so none is refused.
  for (size_t i = 0; i < Mixers.size(); ++i) {
    QVMixer* wanted = i == 0 ? nullptr : Mixers[i - 1];
    if (Mixers[i]->BaseMixer() != wanted) Mixers[i]->SetBaseMixer(nullptr);
  }
  for (size_t i = 1; i < Mixers.size(); ++i) {
    if (Mixers[i]->BaseMixer() != Mixers[i - 1]) Mixers[i]->SetBaseMixer(Mixers[i - 1]);
  }
  // Names shared by several mixers resolve in registry order.
  mixerNames_.Clear();
  for (QVMixer* m : Mixers) mixerNames_.Add(m, Mixers);
}

void QVNodeGraph::Swap(QVNodeGraph& other) {
  std::swap(Generators, other.Generators);
  std::swap(Effectors, other.Effectors);
  std::swap(Mixers, other.Mixers);
  generatorNames_.Swap(other.generatorNames_);
  effectorNames_.Swap(other.effectorNames_);
  mixerNames_.Swap(other.mixerNames_);
  std::swap(generatorCounter_, other.generatorCounter_);
  std::swap(effectorCounter_, other.effectorCounter_);
  std::swap(mixerCounter_, other.mixerCounter_);
  for (QVNodeGraph* g : {this, &other}) {
    for (auto* n : g->Generators) n->graph_ = g;
    for (auto* n : g->Effectors) n->graph_ = g;
    for (auto* n : g->Mixers) n->graph_ = g;
  }
}

namespace qv {

std::string NameTextProblem(const std::string& name) {
  if (name.empty()) return "a node name must not be empty";
  for (unsigned char c : name) {
    if (c <= 0x20 || c == 0x7F) return "a node name must not contain blanks, line breaks or control characters";
  }
  return "";
}

std::string CheckNodeName(const QVNodeGraph& graph, const std::string& name, NodeKind kind,
                          const void* self) {
  if (std::string problem = NameTextProblem(name); !problem.empty()) return problem;
  if (graph.NameTaken(kind, name, self)) {
    return "another node is already named \"" + name + "\"";
  }
  return "";
}

}  // namespace qv
