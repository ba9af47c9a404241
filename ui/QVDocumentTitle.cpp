#include "ui/QVDocumentTitle.h"

namespace qv {

std::string FileNameOfPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DocumentTitle(const std::string& base, const std::string& path, bool modified) {
  std::string title = base;
  if (!path.empty()) title += " — " + FileNameOfPath(path);
  if (modified) title += " *";
  return title;
}

}  // namespace qv
