#pragma once
// The node graph: the three registries (creation order), names by kind and
// per-kind counter, lookup by name, adding, copying and deleting nodes, and
// destroying every node at once. A QVNodeGraph owns its nodes; nodes are built
// by the graph's Add members and register themselves in it. Each project owns
// its graph: there is no process-wide graph.
//
// Links never dangle: deleting a node removes every reference to it. A deleted
// generator leaves its effectors without a generator (their pictures are then
// empty, which mixers read as black); a deleted effector leaves every mixer
// list element that named it; a deleted mixer hands its base to the mixer
// built on it, so the mixers stay one chain in registry order, the chain that
// project text implies.
// The thread that owns the project; a render reads a frozen copy of it.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/QVNameIndex.h"

class QVGenerator;
class QVEffector;
class QVMixer;
class QVNode;
class QVParameter;

namespace qv {
enum class NodeKind { Generator, Effector, Mixer };
}

class QVNodeGraph {
 public:
  QVNodeGraph() = default;
  QVNodeGraph(const QVNodeGraph&) = delete;
  QVNodeGraph& operator=(const QVNodeGraph&) = delete;
  ~QVNodeGraph() { DestroyAll(); }

  std::vector<QVGenerator*> Generators;
  std::vector<QVEffector*> Effectors;
  std::vector<QVMixer*> Mixers;

  /// New nodes with default settings, registered last in this graph. The
  /// effector's generator must be null or a generator of this graph; the
  /// mixer is built on the graph's last mixer.
  QVGenerator* AddGenerator(QVParameter* parameter);
  QVEffector* AddEffector(QVGenerator* generator);
  QVMixer* AddMixer();
  /// Copies a generator of this graph under "Generator" + the next counter
  /// value, skipping values whose name a generator already has, so the copy
  /// never shares a name. No effector uses the copy.
  QVGenerator* CopyGenerator(const QVGenerator& source);
  /// Deletes a node of this graph and every reference to it (see the file
  /// comment). A node of another graph throws std::invalid_argument.
  void DeleteNode(QVNode* node);
  /// Builds mixer (a mixer of this graph) on base instead (null: on none, as
  /// the first mixer): mixer moves in the registry to just after base, and
  /// every mixer whose base then differs from the mixer before it in the
  /// registry is rebuilt on that one, so the chain stays registry order (the
  /// order project text keeps). A base of another graph, or mixer itself,
  /// throws std::invalid_argument and nothing changes.
  void MoveMixer(QVMixer& mixer, QVMixer* base);

  /// The first node of the kind named exactly name, in registry order, or null.
  QVGenerator* FindGenerator(const std::string& name) const { return generatorNames_.First(name); }
  QVEffector* FindEffector(const std::string& name) const { return effectorNames_.First(name); }
  QVMixer* FindMixer(const std::string& name) const { return mixerNames_.First(name); }

  /// Gives node (a node of this graph) a new name. A node's Name changes only
  /// through here: the graph keeps an index of its names.
  void Rename(QVNode& node, std::string name);
  /// Whether a node of kind other than self is named name.
  bool NameTaken(qv::NodeKind kind, const std::string& name, const void* self = nullptr) const;
  /// Whether the name indexes hold exactly the names in the registries.
  bool NameIndexMatches() const;

  /// Called by the nodes' constructors and destructors: appends the node to
  /// its registry and indexes its name, or removes both.
  void Register(QVGenerator* node);
  void Register(QVEffector* node);
  void Register(QVMixer* node);
  void Unregister(QVGenerator* node);
  void Unregister(QVEffector* node);
  void Unregister(QVMixer* node);

  /// Destroys all generators, then all effectors, then all mixers, each in
  /// registry order, in time linear in the number of nodes.
  void DestroyAll();
  /// Exchanges the nodes of the two graphs (each node follows its registry)
  /// and their name counters.
  void Swap(QVNodeGraph& other);

  /// "Generator" + n, "Effector" + n, "Mixer" + n with the kind's counter after
  /// incrementing it. The counters belong to the graph and only grow.
  std::string NextGeneratorName() { return "Generator" + std::to_string(++generatorCounter_); }
  std::string NextEffectorName() { return "Effector" + std::to_string(++effectorCounter_); }
  std::string NextMixerName() { return "Mixer" + std::to_string(++mixerCounter_); }

 private:
  /// Re-indexes node, whose name was previous.
  void NameAssigned(QVNode& node, const std::string& previous);

  qv::NameIndex<QVGenerator> generatorNames_;
  qv::NameIndex<QVEffector> effectorNames_;
  qv::NameIndex<QVMixer> mixerNames_;
  int64_t generatorCounter_ = 0;
  int64_t effectorCounter_ = 0;
  int64_t mixerCounter_ = 0;
};

namespace qv {

/// Why name cannot name any node: it is empty, or holds whitespace or control
/// characters ("" when it can).
std::string NameTextProblem(const std::string& name);

/// Why name cannot name a node of kind in graph (empty when it can):
/// it must not be empty, contain whitespace or control characters, or be the
/// name of another node of that kind. self is the node being renamed, if any.
std::string CheckNodeName(const QVNodeGraph& graph, const std::string& name, NodeKind kind,
                          const void* self = nullptr);
inline bool IsValidNodeName(const QVNodeGraph& graph, const std::string& name, NodeKind kind,
                            const void* self = nullptr) {
  return CheckNodeName(graph, name, kind, self).empty();
}

}  // namespace qv
