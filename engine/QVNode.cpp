#include "engine/QVNode.h"


int32_t QVNode::FinishUpdate(const qv::Pass& pass) {
  if (SourceStamp() > ComputedFrom) State = Changed;
  if (State != Changed) return State = Unchanged;
  if (pass.StopRequested()) return State;  // stay out of date for the next pass
  if (Compute(pass)) State = Updated;
  return State;
}
