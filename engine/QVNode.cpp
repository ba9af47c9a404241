#include "engine/QVNode.h"

#include "engine/QVRowWorkers.h"

int32_t QVNode::FinishUpdate() {
  if (SourceStamp() > ComputedFrom) State = Changed;
  if (State != Changed) return State = Unchanged;
  if (qv::PassStopRequested()) return State;  // stay out of date for the next pass
  if (Compute()) State = Updated;
  return State;
}
