#pragma once
// Helpers of the editor's tests: a recorder in place of the error box, and
// waiting for the event loop.
#include <functional>
#include <string>
#include <vector>

#include "ui/QVErrorBox.h"

class QLineEdit;

namespace qv::test {

/// Records every error the editor would show in a box, while it lives.
class ErrorRecorder {
 public:
  ErrorRecorder();
  ~ErrorRecorder();
  std::vector<std::string> Messages;

 private:
  ErrorSink previous_;
};

/// Puts text into box and commits it, as Enter or the focus leaving the box does.
void Commit(QLineEdit* box, const char* text);

/// Runs the event loop until done() (true) or 60 s have passed (false).
bool WaitFor(const std::function<bool()>& done);

}  // namespace qv::test
