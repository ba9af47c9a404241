#include "app/QVEditorLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/QVCommands.h"

namespace qv {

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// The folder of the running executable, from /proc/self/exe.
std::string ExecutableDir() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : exe.parent_path().string();
}

}  // namespace

bool HasDisplay() {
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

std::vector<std::string> EditorModuleCandidates(const std::string& exeDir) {
  const std::filesystem::path dir(exeDir);
  return {(dir / kEditorModule).string(),
          (dir.parent_path() / "lib" / "qvell" / kEditorModule).string()};
}

int RunEditor(const std::string& project) {
  const std::vector<std::string> candidates = EditorModuleCandidates(ExecutableDir());
  std::string tried;
  for (const std::string& path : candidates) {
    if (access(path.c_str(), F_OK) != 0) {
      tried += (tried.empty() ? "" : ", ") + path;
      continue;
    }
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return CommandError(std::string("cannot load the editor: ") + dlerror());
    using Entry = int (*)(const char*);
    auto entry = reinterpret_cast<Entry>(dlsym(module, kEditorEntry));
    if (!entry) return CommandError("the editor module " + path + " has no entry point");
    return entry(project.c_str());  // the module stays loaded until the process ends
  }
  return CommandError("the editor module was not found (looked for " + tried +
                      "); build the qvell-editor target, or use a command");
}

}  // namespace qv
