#pragma once
// The depth that follows the zoom: a generator's set depth, raised as the
// scale shrinks below the default view's by kAutoDepthPerDecade steps for
// each decade, so deep views resolve the long orbits near the set's edge.
#include <cstdint>
#include <vector>

class QVMain;
class QVNodeGraph;

namespace qv {

/// Steps added per decade the scale lies below kAutoDepthBaseScale.
inline constexpr int32_t kAutoDepthPerDecade = 1000;
/// The default view's scale: at it and above, the set depth stands.
inline constexpr double kAutoDepthBaseScale = 4.0;

/// max(setDepth, 1000 log10(4 / scale) rounded to nearest), held to int32; setDepth for
/// a scale not finite or not above 0.
int32_t AutoDepth(int32_t setDepth, double scale);

/// The depths of main's generators, in graph order.
std::vector<int32_t> GeneratorDepths(const QVMain& main);
/// Sets each generator of main to AutoDepth of its depth in setDepths (graph
/// order, as GeneratorDepths gives) at its parameter's scale.
void ApplyAutoDepth(QVMain& main, const std::vector<int32_t>& setDepths);

/// Sets each generator of graph to AutoDepth of its own depth at its
/// parameter's scale (a render's frozen copy).
void RaiseDepths(QVNodeGraph& graph);

}  // namespace qv
