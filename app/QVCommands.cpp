#include "app/QVCommands.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "app/QVHeadlessRender.h"
#include "app/QVProgressBar.h"
#include "app/QVProjectInput.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "source/QVAtomicFile.h"
#include "source/QVSourceWriter.h"

namespace qv {

namespace {

int ProjectError(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  return ExitProject;
}

// One worker per hardware thread, within the engine's limit of 256.
int32_t HardwareWorkerCount() {
  const unsigned hardware = std::thread::hardware_concurrency();
  return static_cast<int32_t>(std::clamp(hardware, 1u, 256u));
}

// Why main's project has nothing to render, or "".
std::string NothingToRender(const QVMain& main) {
  if (LiveGraph().Mixers.empty()) return "the project has no mixer, so there is no picture";
  const int32_t w = main.Parameter.Width, h = main.Parameter.Height;
  if (w >= 1 && h >= 1) return "";
  return "the picture is empty: Width is " + std::to_string(w) + " and Height is " +
         std::to_string(h) + "; set both to at least 1";
}

// Why the picture file cannot be written, checked before a long render; "" when
// nothing speaks against it (the write itself may still fail).
std::string OutputProblem(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    return CannotWriteMessage(path, "it is a directory");
  std::string directory = std::filesystem::path(path).parent_path().string();
  if (directory.empty()) directory = ".";
  if (access(directory.c_str(), W_OK | X_OK) != 0) {
    return CannotWriteMessage(path, SystemErrorText(errno));
  }
  return "";
}

}  // namespace

int CommandError(const std::string& message) {
  std::fprintf(stderr, "qvell: error: %s\n", message.c_str());
  return ExitRender;
}

int WriteStandardOutput(const std::string& text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  if (std::fflush(stdout) != 0 || !written || std::ferror(stdout)) {
    const int err = errno;
    return CommandError("cannot write to standard output: " +
                        (err != 0 ? SystemErrorText(err) : std::string("write failed")));
  }
  return ExitSuccess;
}

int RunPrint(const CommandLineOptions& options) {
  QVMain main;
  if (!options.Project.empty()) {
    if (std::string line = LoadProjectInput(main, options.Project); !line.empty()) {
      return ProjectError(line);
    }
  }
  return WriteStandardOutput(WriteProject(main));
}

int RunRender(const CommandLineOptions& options) {
  QVMain main;  // reads NUMBER_OF_PROCESSORS; --threads overrides it below
  if (options.Threads)
    ThreadCount = *options.Threads == 0 ? HardwareWorkerCount() : *options.Threads;
  if (std::string line = LoadProjectInput(main, options.Project); !line.empty()) {
    return ProjectError(line);
  }
  if (std::string problem = NothingToRender(main); !problem.empty()) return CommandError(problem);
  if (std::string problem = OutputProblem(options.Output); !problem.empty()) {
    return CommandError(problem);
  }
  // A size the format cannot store is refused before the render, not after it.
  if (main.Parameter.Width >= 1 && main.Parameter.Height >= 1) {
    try {
      RequirePictureSize(options.Output, options.Format, main.Parameter.Width,
                         main.Parameter.Height);
    } catch (const std::runtime_error& e) {
      return CommandError(e.what());
    }
  }

  const bool showProgress = !options.Quiet && isatty(STDERR_FILENO) == 1;
  QVProgressBar bar(stderr);
  QVPictureRef picture;
  if (std::string error = RenderHeadless(main, showProgress ? &bar : nullptr, picture);
      !error.empty()) {
    return CommandError(error);
  }
  try {
    WritePicture(options.Output, *picture, options.Format, options.Quality);
  } catch (const std::runtime_error& e) {
    return CommandError(e.what());
  }
  return ExitSuccess;
}

}  // namespace qv
