#include "engine/QVAutoDepth.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"

namespace qv {

int32_t AutoDepth(int32_t setDepth, double scale) {
  if (!std::isfinite(scale) || !(scale > 0.0)) return setDepth;
  // A difference of logarithms: the ratio itself overflows below 4.5E-308.
  const double raised =
      std::round(kAutoDepthPerDecade * (std::log10(kAutoDepthBaseScale) - std::log10(scale)));
  const double held = std::min(raised, static_cast<double>(std::numeric_limits<int32_t>::max()));
  return std::max(setDepth, static_cast<int32_t>(std::max(held, 0.0)));
}

std::vector<int32_t> GeneratorDepths(const QVMain& main) {
  std::vector<int32_t> depths;
  for (const QVGenerator* g : main.Graph().Generators) depths.push_back(g->Depth());
  return depths;
}

void ApplyAutoDepth(QVMain& main, const std::vector<int32_t>& setDepths) {
  const std::vector<QVGenerator*>& generators = main.Graph().Generators;
  for (size_t i = 0; i < generators.size() && i < setDepths.size(); ++i) {
    QVGenerator* g = generators[i];
    g->SetDepth(AutoDepth(setDepths[i], g->Parameter().Scale()));
  }
}

void RaiseDepths(QVNodeGraph& graph) {
  for (QVGenerator* g : graph.Generators)
    g->SetDepth(AutoDepth(g->Depth(), g->Parameter().Scale()));
}

}  // namespace qv
