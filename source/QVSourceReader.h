#pragma once
// The project reader: replaces the project by the one a project text
// describes. The text is read into a new node graph and a staging copy of the
// global parameters first; only a text read to its end without failure
// replaces the project, so a failed read leaves every node, name, link and
// parameter as it was. The project's own thread; a running render goes on
// with its frozen copy of the project it started from.
#include <memory>
#include <string>

#include "base/QVScan.h"
#include "engine/QVGraph.h"
#include "engine/QVParameter.h"

class QVMain;

namespace qv {

/// The outcome of reading a project text. A failure carries where reading
/// stopped (1-based line and column, counted in characters) and what was
/// expected there.
struct ReadResult {
  bool Ok = true;
  int Line = 0;
  int Column = 0;
  std::string Message;
  /// The failure as data (what was expected, what was found).
  ReadProblem Problem;
  /// On success: "text after the last block is ignored" when non-blank text
  /// follows the last block read, with where it starts; else empty.
  std::string Warning;
  int WarningLine = 0;
  int WarningColumn = 0;

  /// "line L, column C: message"; empty on success.
  std::string Describe() const;
};

/// Reads text as a whole project into main. On success every node of main's
/// graph is replaced and the parameters are overwritten; on failure nothing
/// changes. Text after the last block read, and blocks out of the order
/// parameters, generators, effectors, mixers, are ignored.
ReadResult ReadProject(QVMain& main, std::string text);

/// A project read apart from the editor's, to put in its place afterwards:
/// reading a long text takes seconds, which another thread may spend.
struct StagedProject {
  QVParameter Parameter;
  QVNodeGraph Graph;  // after Parameter: the generators point at it
  ReadResult Result;
};

/// Reads text as a whole project into a new StagedProject. Any thread.
std::unique_ptr<StagedProject> StageProject(std::string text);

/// Puts staged, which read without failure, in place of main's project; the
/// staged graph then holds the previous nodes. The project's own thread.
void ReplaceProject(QVMain& main, StagedProject& staged);

/// Reads text as a whole project into parameter and an empty graph, beside
/// any project (which it does not touch).
/// On failure graph holds the nodes read so far.
ReadResult ReadProjectInto(std::string text, QVParameter& parameter, QVNodeGraph& graph);

}  // namespace qv
