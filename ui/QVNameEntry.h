#pragma once
// The name box of the node editors: while the user types, the name is only
// checked (a name the rule refuses marks the box, see QVNameRule.h); Enter or
// leaving the box stores it when the rule accepts it, and otherwise the node
// keeps its name. A name change does not mark the node changed. UI thread.
#include "engine/QVGraph.h"

class QLineEdit;
class QVEntryMarks;
class QVObject;

namespace qv {

/// Marks box when its text cannot be node's name (clears the mark when it can).
void CheckName(QVEntryMarks& marks, QLineEdit* box, const QVObject* node);
/// Stores box's text as node's name, or marks box.
void StoreName(QVEntryMarks& marks, QLineEdit* box, QVObject* node);

}  // namespace qv
