#include "app/QVCommands.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <thread>

#include "app/QVBandRender.h"
#include "app/QVInterrupt.h"
#include "app/QVProgressBar.h"
#include "base/QVAtomicFile.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "image/QVPictureFile.h"
#include "image/QVPictureRegion.h"
#include "image/QVPictureStream.h"
#include "image/QVProjectPicture.h"
#include "source/QVProjectInput.h"
#include "source/QVSourceWriter.h"

namespace qv {

namespace {

// Why main's project has nothing to render, or "".
std::string NothingToRender(const QVMain& main) {
  if (main.Graph().Mixers.empty()) return "the project has no mixer, so there is no picture";
  const int32_t w = main.Parameter.Width, h = main.Parameter.Height;
  if (w >= 1 && h >= 1) return "";
  return "the picture is empty: Width is " + std::to_string(w) + " and Height is " +
         std::to_string(h) + "; set both to at least 1";
}

}  // namespace

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

std::string RenderToFile(QVMain& main, const CommandLineOptions& options, const std::string& output,
                         BandProgress& progress) {
  if (std::string problem = NothingToRender(main); !problem.empty()) return problem;
  if (std::string problem = ReplaceProblem(output); !problem.empty()) return problem;
  BandPlan plan;
  plan.Part = options.Region.value_or(PixelRect{0, 0, main.Parameter.Width, main.Parameter.Height});
  plan.Supersample = options.Supersample.value_or(1);
  plan.MemoryAllowance = options.Memory;
  if (std::string problem = BandPlanProblem(main, plan); !problem.empty()) return problem;
  PictureFileOptions file;
  file.JpegQuality = options.Quality;
  if (options.Format == PictureFormat::Png && !options.NoProject) {
    file.Texts = ProjectTexts(WriteProject(main), plan.Supersample);
  }
  if (options.Format == PictureFormat::Png && options.Region) {
    const PictureRegion region{plan.Part, main.Parameter.Width, main.Parameter.Height};
    file.Texts.push_back({kRegionKeyword, RegionText(region)});
  }
  try {
    // A size the format cannot store is refused here, before the render.
    const std::unique_ptr<PictureStream> stream =
        OpenPictureStream(output, options.Format, plan.Part.Width, plan.Part.Height, file);
    std::string error = RenderBands(
        main, plan, [&](const uint32_t* pixels, int32_t rows) { stream->WriteRows(pixels, rows); },
        progress);
    if (!error.empty()) return error;
    stream->Finish();
  } catch (const std::bad_alloc&) {
    return main.MemoryMessage();
  } catch (const std::runtime_error& e) {
    return InterruptSignal() != 0 ? kInterruptedMessage : e.what();
  }
  return "";
}

int RunRender(const CommandLineOptions& given) {
  QVMain main;  // reads NUMBER_OF_PROCESSORS; --threads overrides it below
  CommandLineOptions options = given;
  if (options.Threads)
    main.SetWorkers(*options.Threads == 0 ? HardwareWorkerCount() : *options.Threads);
  if (std::string line = LoadProject(main, options.Project, &options); !line.empty()) {
    return ProjectError(line);
  }
  const bool showProgress = !options.Quiet && isatty(STDERR_FILENO) == 1;
  QVProgressBar bar(stderr);
  BandProgress progress;
  progress.Bar = showProgress ? &bar : nullptr;
  ScopedInterruptHandler interrupts;  // covers the render and the write
  if (std::string error = RenderToFile(main, options, options.Output, progress); !error.empty()) {
    if (showProgress) bar.EndLine();
    return CommandError(error);
  }
  if (showProgress) {
    const PixelRect part =
        options.Region.value_or(PixelRect{0, 0, main.Parameter.Width, main.Parameter.Height});
    bar.Finish(part.Width, part.Height, SecondsSince(progress.Start));
  }
  return ExitSuccess;
}

}  // namespace qv
