#include "source/QVSourceReader.h"

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "engine/QVNode.h"
#include "engine/QVParameter.h"
#include "source/QVObjectText.h"

namespace qv {

namespace {

// Reads the blocks in their fixed order — parameters, generators, effectors,
// mixers — into parameter and graph. The first block out of that order, or
// any other text, ends the reading successfully. Every node is owned by graph
// from its construction on, and finds the nodes it names there.
bool ReadBlocks(SourceText& text, QVParameter& parameter, QVNodeGraph& graph) {
  SkipWhitespace(text);
  if (ExpectKeyword(text, "Parameter:")) return true;
  if (ReadBlock(parameter, text)) return true;
  while (!MatchKeyword(text, "Generator:")) {
    if (ReadBlock(*graph.AddGenerator(&parameter), text)) return true;
  }
  while (!MatchKeyword(text, "Effector:")) {
    if (ReadBlock(*graph.AddEffector(nullptr), text)) return true;
  }
  while (!MatchKeyword(text, "Mixer:")) {
    if (ReadBlock(*graph.AddMixer(), text)) return true;
  }
  return false;
}

ReadResult Failure(const SourceText& text, size_t position, const std::string& message,
                   ReadProblem problem = {}) {
  ReadResult result;
  result.Ok = false;
  result.Message = message;
  result.Problem = std::move(problem);
  text.LineColumn(position, result.Line, result.Column);
  return result;
}

}  // namespace

std::string ReadResult::Describe() const {
  if (Ok) return "";
  return "line " + std::to_string(Line) + ", column " + std::to_string(Column) + ": " + Message;
}

ReadResult ReadProjectInto(std::string text, QVParameter& parameter, QVNodeGraph& graph) {
  SourceText source(std::move(text));
  try {
    if (ReadBlocks(source, parameter, graph)) {
      if (!source.HasError()) {
        return Failure(source, source.Position(), "unexpected text", {ReadProblem::UnexpectedText});
      }
      return Failure(source, source.ErrorPosition(), source.ErrorMessage(), source.ErrorProblem());
    }
  } catch (const NumberFormatError& e) {
    // The number reader skipped the blanks and stopped at the token.
    return Failure(
        source, source.Position(), e.what(),
        {e.OutOfRange() ? ReadProblem::OutOfRange : ReadProblem::NotANumber, "", e.Token()});
  }
  ReadResult result;
  SkipWhitespace(source);
  if (!source.Empty()) {
    result.Warning = "text after the last block is ignored";
    source.LineColumn(source.Position(), result.WarningLine, result.WarningColumn);
  }
  return result;
}

std::unique_ptr<StagedProject> StageProject(std::string text) {
  auto staged = std::make_unique<StagedProject>();
  staged->Result = ReadProjectInto(std::move(text), staged->Parameter, staged->Graph);
  return staged;
}

void ReplaceProject(QVMain& main, StagedProject& staged) {
  // A running render computes its own copy of the project: nothing to stop.
  main.Parameter.CopyFrom(staged.Parameter);
  for (QVGenerator* g : staged.Graph.Generators) g->SetParameter(&main.Parameter);
  main.Graph().Swap(staged.Graph);
}

ReadResult ReadProject(QVMain& main, std::string text) {
  const std::unique_ptr<StagedProject> staged = StageProject(std::move(text));
  if (staged->Result.Ok) ReplaceProject(main, *staged);
  return staged->Result;  // staged destroys the previous nodes
}

}  // namespace qv
