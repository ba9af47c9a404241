#include "engine/QVDifferentialPlan.h"

#include <cmath>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"

namespace qv {

DifferentialPlan::DifferentialPlan(const QVEffector& effector)
    : On(effector.Differential()),
      Edge(effector.DifferentialEdgeSW()),
      Regular(effector.DifferentialRegularSW()) {
  const double a = effector.DifferentialVector().re;
  const double b = effector.DifferentialVector().im;
  const double len = std::sqrt(a * a + b * b);
  if (len > 0.0) {
    Ux = a / len;
    Uy = b / len;
  }
  ZeroVector = Ux == 0.0 && Uy == 0.0;
  Diagonal = std::fabs(a) == 1.0 && std::fabs(b) == 1.0;
  if (Diagonal) {
    A = static_cast<int32_t>(a);
    B = static_cast<int32_t>(b);
  }
  const QVParameter& p = effector.Generator()->Parameter();
  Distance = p.Scale() / p.Width();
}

}  // namespace qv
