#include "app/QVCommands.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/QVInterrupt.h"
#include "app/QVProgressBar.h"
#include "base/QVAtomicFile.h"
#include "engine/QVAutoDepth.h"
#include "engine/QVMain.h"
#include "engine/deep/QVDeepKernel.h"
#include "render/QVRenderToFile.h"
#include "source/QVProjectInput.h"
#include "source/QVSourceWriter.h"

namespace qv {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string LoadProject(QVMain& main, const std::string& path, CommandLineOptions* options) {
  std::string warning;
  int32_t recorded = 0;
  std::string error = LoadProjectInput(main, path, &warning, &recorded);
  if (error.empty() && options && !options->Supersample && recorded > 0) {
    options->Supersample = recorded;
  }
  if (error.empty() && !warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
  return error;
}

int ProjectError(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  return ExitProject;
}

int32_t HardwareWorkerCount() {
  const unsigned hardware = std::thread::hardware_concurrency();
  return static_cast<int32_t>(std::clamp(hardware, 1u, 256u));
}

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

PictureRenderOptions RenderOptionsOf(const CommandLineOptions& options) {
  PictureRenderOptions render;
  render.Format = options.Format;
  render.Region = options.Region;
  render.Supersample = options.Supersample.value_or(1);
  render.MemoryAllowance = options.Memory;
  render.JpegQuality = options.Quality;
  render.EmbedProject = !options.NoProject;
  render.FastPng = options.Fast;
  return render;
}

int RunRender(const CommandLineOptions& given) {
  QVMain main;  // reads NUMBER_OF_PROCESSORS; --threads overrides it below
  CommandLineOptions options = given;
  if (options.Threads)
    main.SetWorkers(*options.Threads == 0 ? HardwareWorkerCount() : *options.Threads);
  if (std::string line = LoadProject(main, options.Project, &options); !line.empty()) {
    return ProjectError(line);
  }
  if (options.AutoDepth) ApplyAutoDepth(main, GeneratorDepths(main));
  if (const std::string refusal = DeepPathRefusal(main.Parameter); !refusal.empty())
    std::fprintf(stderr, "qvell: warning: %s\n", refusal.c_str());
  const bool showProgress = !options.Quiet && isatty(STDERR_FILENO) == 1;
  const auto start = std::chrono::steady_clock::now();
  QVProgressBar bar(stderr);
  BandProgress progress;
  if (showProgress) progress.Sink = BarSink(bar, start);
  ScopedInterruptHandler interrupts;  // covers the render and the write
  const std::string error = RenderToFile(main, RenderOptionsOf(options), options.Output,
                                         interrupts.StopToken(), progress);
  if (!error.empty()) {
    if (showProgress) bar.EndLine();
    return CommandError(InterruptedOr(error));
  }
  if (showProgress) {
    const PixelRect part =
        options.Region.value_or(PixelRect{0, 0, main.Parameter.Width(), main.Parameter.Height()});
    bar.Finish(part.Width, part.Height, SecondsSince(start));
  }
  return ExitSuccess;
}

}  // namespace qv
