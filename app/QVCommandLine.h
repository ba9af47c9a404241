#pragma once
// The qvell command line: parses the arguments and runs one command.
#include <ostream>

namespace qv {

/// Runs the command named by argv; returns the process exit code.
int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace qv
