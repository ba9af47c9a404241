#include "source/QVSameProject.h"

#include <array>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMixer.h"
#include "source/QVObjectText.h"

namespace {

// The stamps of an object's settings: its own and its methods'.
std::array<uint64_t, 3> Stamps(const QVParameter& p) {
  return {p.Stamp(), p.FractalMethod().Stamp(), 0};
}
std::array<uint64_t, 3> Stamps(const QVGenerator& g) {
  return {g.Stamp(), g.DivergenceMethod().Stamp(), g.OutputMethod().Stamp()};
}
std::array<uint64_t, 3> Stamps(const QVEffector& e) {
  return {e.Stamp(), e.RenderingMethod().Stamp(), 0};
}
std::array<uint64_t, 3> Stamps(const QVMixer& m) { return {m.Stamp(), 0, 0}; }

template <typename Object>
bool SameObject(const Object& a, const Object& b) {
  if (a.Name() != b.Name()) return false;
  return Stamps(a) == Stamps(b) || qv::WriteBlock(a, "") == qv::WriteBlock(b, "");
}

template <typename Node>
bool SameNodes(const std::vector<Node*>& a, const std::vector<Node*>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!SameObject(*a[i], *b[i])) return false;
  }
  return true;
}

}  // namespace

namespace qv {

// A block names the nodes it reads from, and nodes read only from kinds
// compared before them (generators, effectors, mixers): a block of equal
// stamps whose links were renamed shows up in those names.
bool SameProject(const QVParameter& a, const QVNodeGraph& graphA, const QVParameter& b,
                 const QVNodeGraph& graphB) {
  return SameNodes(graphA.Generators, graphB.Generators) &&
         SameNodes(graphA.Effectors, graphB.Effectors) && SameNodes(graphA.Mixers, graphB.Mixers) &&
         SameObject(a, b);
}

}  // namespace qv
