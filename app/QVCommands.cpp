#include "app/QVCommands.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <thread>

#include "app/QVHeadlessRender.h"
#include "app/QVInterrupt.h"
#include "app/QVProgressBar.h"
#include "app/QVProjectInput.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "image/QVPictureFile.h"
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

// Reads the project for a command; prints its warning, if any. Returns the
// error line, or "".
std::string LoadProject(QVMain& main, const std::string& path) {
  std::string warning;
  std::string error = LoadProjectInput(main, path, &warning);
  if (error.empty() && !warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
  return error;
}

// Why the render cannot start or its picture cannot be written, checked
// before a long render; "" when nothing speaks against it.
std::string RenderProblem(const QVMain& main, const CommandLineOptions& options) {
  if (std::string problem = NothingToRender(main); !problem.empty()) return problem;
  if (std::string problem = ReplaceProblem(options.Output); !problem.empty()) return problem;
  try {  // a size the format cannot store is refused before the render
    RequirePictureSize(options.Output, options.Format, main.Parameter.Width, main.Parameter.Height);
  } catch (const std::runtime_error& e) {
    return e.what();
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
    if (std::string line = LoadProject(main, options.Project); !line.empty()) {
      return ProjectError(line);
    }
  }
  return WriteStandardOutput(WriteProject(main));
}

int RunRender(const CommandLineOptions& options) {
  QVMain main;  // reads NUMBER_OF_PROCESSORS; --threads overrides it below
  if (options.Threads)
    ThreadCount = *options.Threads == 0 ? HardwareWorkerCount() : *options.Threads;
  if (std::string line = LoadProject(main, options.Project); !line.empty()) {
    return ProjectError(line);
  }
  if (std::string problem = RenderProblem(main, options); !problem.empty()) {
    return CommandError(problem);
  }
  // The command line keeps its own copy of the picture and then writes it.
  main.HostBytes = 4 * static_cast<int64_t>(main.Parameter.Width) * main.Parameter.Height +
                   WriterBytes(options.Format, main.Parameter.Width);
  const bool showProgress = !options.Quiet && isatty(STDERR_FILENO) == 1;
  QVProgressBar bar(stderr);
  ScopedInterruptHandler interrupts;  // covers the render and the write
  const auto start = std::chrono::steady_clock::now();
  QVPictureRef picture;
  if (std::string error = RenderHeadless(main, showProgress ? &bar : nullptr, picture);
      !error.empty()) {
    return CommandError(error);
  }
  try {
    WritePicture(options.Output, *picture, options.Format, options.Quality);
  } catch (const std::bad_alloc&) {
    return CommandError(main.MemoryMessage());
  } catch (const std::runtime_error& e) {
    return CommandError(InterruptSignal() != 0 ? kInterruptedMessage : e.what());
  }
  if (showProgress) {
    bar.Finish(picture->Width(), picture->Height(),
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return ExitSuccess;
}

}  // namespace qv
