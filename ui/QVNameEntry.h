#pragma once
// The name box of the node editors: a typed name is stored only when the name
// rule accepts it (see QVNameRule.h); otherwise the box is marked and the node
// keeps its name. A name change does not mark the node changed. UI thread.
#include "engine/QVGraph.h"

class QLineEdit;
class QVEntryMarks;
class QVObject;

namespace qv {

/// Stores box's text as node's name, or marks box.
void StoreName(QVEntryMarks& marks, QLineEdit* box, QVObject* node);

}  // namespace qv
