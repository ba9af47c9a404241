#include "ui/QVExamples.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace qv {

std::vector<std::string> ExampleFolderCandidates(const std::string& programDir) {
  std::filesystem::path dir = std::filesystem::path(programDir).lexically_normal();
  if (!dir.has_filename()) dir = dir.parent_path();  // "/usr/bin/" as "/usr/bin"
  return {(dir / "examples").string(),
          (dir.parent_path() / "share" / "qvell" / "examples").string()};
}

std::string ExamplesFolder(const std::string& programDir) {
  for (const std::string& folder : ExampleFolderCandidates(programDir)) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) return folder;
  }
  return "";
}

std::vector<std::string> ExampleProjects(const std::string& folder) {
  std::vector<std::string> projects;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code kind;
    if (it->path().extension() == ".qvl" && it->is_regular_file(kind)) {
      projects.push_back(it->path().string());
    }
  }
  std::sort(projects.begin(), projects.end());
  return projects;
}

}  // namespace qv
