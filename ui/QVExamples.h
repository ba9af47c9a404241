#pragma once
// The example projects installed with the program, which the "サンプル" menu
// opens: beside the qvell program in the build folder (examples/), and under
// share/qvell/examples of the prefix once installed. Plain functions; any
// thread.
#include <string>
#include <vector>

namespace qv {

/// Where the examples may be for the program in programDir, in the order
/// they are tried: programDir/examples (the build folder), then
/// programDir/../share/qvell/examples (an installed program in PREFIX/bin).
std::vector<std::string> ExampleFolderCandidates(const std::string& programDir);

/// The first candidate that is a folder; "" when none is.
std::string ExamplesFolder(const std::string& programDir);

/// The project files (*.qvl) in folder, sorted by name, as paths; empty when
/// the folder cannot be read.
std::vector<std::string> ExampleProjects(const std::string& folder);

}  // namespace qv
