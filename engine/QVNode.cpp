#include "engine/QVNode.h"


bool QVNode::FinishUpdate(const qv::Pass& pass) {
  if (SourceStamp() <= ComputedFrom()) return true;
  if (pass.StopRequested()) return false;  // stays out of date for the next pass
  return Compute(pass);
}
