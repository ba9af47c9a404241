#pragma once
// Helpers shared by the project-text tests: varied projects built through the
// engine's own setters, the picture a project renders, and the text of the
// default project.
#include <cstdint>
#include <string>
#include <vector>

class QVMain;
class QVNodeGraph;

namespace qv::test {

/// How many distinct projects BuildProject makes. Over all of them every
/// method of every family, both fractal types, every transparence type, '+'
/// and '*' elements, shared generators and effectors, several mixers and
/// colour bars of 0 to 20 entries occur.
constexpr int ProjectCount = 21;

/// Replaces main's project by project number index (deterministic). Every
/// number is a short decimal, so it survives the 15-digit text form exactly.
void BuildProject(QVMain& main, int index);

/// The last mixer's picture after one pass on the calling thread, preceded by
/// its width and height; empty when there is no mixer.
std::vector<int32_t> RenderPicture(QVMain& main);
/// The same picture as graph's last mixer holds it now, without a pass.
std::vector<int32_t> PicturePixels(const QVNodeGraph& graph);

/// The project text right after start-up, with the default nodes' names
/// (which depend on the graph's counters) put in.
std::string DefaultProjectText(const std::string& generator, const std::string& effector,
                               const std::string& mixer);

/// The text with every occurrence of from replaced by to.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

}  // namespace qv::test
