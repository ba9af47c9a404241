#pragma once
// The graph edits the workspace and the node editors offer, over the
// project's own edit API (QVNodeGraph's Add and Delete, the nodes' setters):
// what each of the four connection kinds appends to a mixer, which nodes use
// a node (asked before it is deleted), moving and removing list elements, and
// why a graph cannot be rendered. Plain functions, no widgets; UI thread.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/QVGraph.h"

class QVEffector;
class QVMixer;
class QVNode;

namespace qv {

/// The mixer panel's connection entries, in menu order: "入力" appends the
/// effector to the source list with "+", "入力（マスク）" with "*", and
/// "透過入力", "透過入力（マスク）" the same to the transparence list.
enum class Connection { Source, SourceMask, Transparence, TransparenceMask };
inline constexpr Connection kConnections[] = {Connection::Source, Connection::SourceMask,
                                              Connection::Transparence,
                                              Connection::TransparenceMask};

/// The menu text of a connection kind.
std::string ConnectionText(Connection kind);
/// Appends effector to mixer's list as kind says (marks the mixer Changed).
void Connect(QVMixer& mixer, QVEffector& effector, Connection kind);

/// Which of a mixer's two lists.
enum class MixerList { Source, Transparence };
/// Removes element i of the list (std::out_of_range outside it).
void RemoveElement(QVMixer& mixer, MixerList list, int32_t i);
/// Moves element from to place to (both inside the list, else
/// std::out_of_range); the others keep their order.
void MoveElement(QVMixer& mixer, MixerList list, int32_t from, int32_t to);

/// The names of the nodes that use node, in registry order: a generator's
/// effectors, the mixers whose lists name an effector, the mixer built on a
/// mixer. Each name once.
std::vector<std::string> NodeUsers(const QVNodeGraph& graph, const QVNode& node);
/// The question asked before node is deleted while users use it.
std::string DeleteQuestion(const QVNode& node, const std::vector<std::string>& users);

/// Why the graph's picture cannot be rendered, in the editor's words ("" when
/// it can): no mixer; a mixer with no source element (its mask switch off:
/// with it on, it passes its base through); an effector a mixer reads with
/// no generator.
std::string RenderProblem(const QVNodeGraph& graph);

}  // namespace qv
