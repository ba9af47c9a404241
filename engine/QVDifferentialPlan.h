#pragma once
// The differential settings of one effector computation: the switches and what
// follows from the vector (its unit vector, whether it is a diagonal step, the
// pixel distance), derived once and read by the plain workers and the fast
// rows alike. Built on the render thread; read-only for the workers.
#include <cstdint>

class QVEffector;

namespace qv {

struct DifferentialPlan {
  /// effector must have a generator.
  explicit DifferentialPlan(const QVEffector& effector);
  bool On = false;
  bool Edge = false;
  bool Regular = false;
  bool ZeroVector = false;  ///< no direction: every scalar is 0
  bool Diagonal = false;    ///< both parts of the vector are +-1
  int32_t A = 0, B = 0;     ///< the diagonal's column and row steps
  double Ux = 0.0, Uy = 0.0;
  double Distance = 0.0;  ///< the plane's width of one pixel
};

}  // namespace qv
