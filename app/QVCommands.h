#pragma once
// The commands of the qvell command line: print a project as text, and
// render a project to a picture file. Each returns the process's exit code
// and has written at most one line of error text to standard error. Main
// thread.
#include <string>

#include "app/QVCommandLine.h"

namespace qv {

/// Reads options.Project (none: the default project) and writes it to
/// standard output as the project writer produces it.
int RunPrint(const CommandLineOptions& options);

/// Reads options.Project, renders its last mixer and writes the picture to
/// options.Output. The file is replaced only when everything succeeded.
int RunRender(const CommandLineOptions& options);

/// Writes text to standard output; a failed write is reported as
/// CommandError does.
int WriteStandardOutput(const std::string& text);

/// Writes "qvell: error: MESSAGE" to standard error; returns ExitRender.
int CommandError(const std::string& message);

}  // namespace qv
