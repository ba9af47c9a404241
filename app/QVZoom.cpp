// qvell zoom: the frames of a movie that zooms from a project's view to
// another centre and scale (render/QVZoomFrames.h computes each frame's view).
// This file holds the command's side: the options, the frame files and their
// folders, the progress bar, Ctrl-C and the messages. Main thread.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/QVCommands.h"
#include "app/QVInterrupt.h"
#include "app/QVOptionValues.h"
#include "app/QVProgressBar.h"
#include "base/QVScan.h"
#include "engine/QVAutoDepth.h"
#include "engine/QVMain.h"
#include "render/QVZoomFrames.h"
#include "source/QVProjectInput.h"

namespace qv {

namespace {

// Creates the folder output goes into, with its parents, as mkdir -p does.
// Returns "" or why it cannot be made.
std::string MakeFolderFor(const std::string& output) {
  const std::filesystem::path folder = std::filesystem::path(output).parent_path();
  if (folder.empty()) return "";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error) return "";
  return "cannot create the folder " + QuoteText(folder.string()) + " for " + QuoteText(output) +
         ": " + error.message() + "; choose another place (-o) or create it";
}

}  // namespace

int RunZoom(const CommandLineOptions& given) {
  QVMain main;
  CommandLineOptions options = given;
  if (options.Threads)
    main.SetWorkers(*options.Threads == 0 ? HardwareWorkerCount() : *options.Threads);
  if (std::string line = LoadProject(main, options.Project, &options); !line.empty()) {
    return ProjectError(line);
  }
  const ZoomPath path{
      main.Parameter.Viewpoint(), main.Parameter.Scale(), *options.ZoomTo,
      options.ZoomScale,          options.Frames,         main.Parameter.PreciseViewpoint(),
      options.ZoomToPrecise};
  const double s0 = path.FromScale;
  if (!(s0 > 0) || !std::isfinite(s0)) {
    return CommandError("a zoom starts from the project's Scale, which must be above 0, not " +
                        NumberToText(s0));
  }
  if (options.PrintFrame)
    return WriteStandardOutput(LoadZoomFrame(main, path, *options.PrintFrame));

  const int first = options.Frame.value_or(0);
  const int last = options.Frame.value_or(options.Frames - 1);
  const bool showProgress = !options.Quiet && isatty(STDERR_FILENO) == 1;
  const auto start = std::chrono::steady_clock::now();
  QVProgressBar bar(stderr);
  BandProgress progress;
  if (showProgress) progress.Sink = BarSink(bar, start);
  progress.Name = "Zoom";
  progress.RowsTotal = int64_t{main.Parameter.Height()} * (last - first + 1);
  ScopedInterruptHandler interrupts;  // one Ctrl-C stops the whole sequence
  const PictureRenderOptions render = RenderOptionsOf(options);
  const std::vector<int32_t> setDepths = GeneratorDepths(main);
  for (int k = first; k <= last; ++k) {
    LoadZoomFrame(main, path, k);
    if (options.AutoDepth) ApplyAutoDepth(main, setDepths);
    const std::string output = *FrameFileName(options.Output, k);
    if (std::string problem = MakeFolderFor(output); !problem.empty()) {
      if (showProgress) bar.EndLine();
      return CommandError("frame " + std::to_string(k) + ": " + problem);
    }
    if (std::string error = RenderToFile(main, render, output, interrupts.StopToken(), progress);
        !error.empty()) {
      if (showProgress) bar.EndLine();
      return CommandError("frame " + std::to_string(k) + ": " + InterruptedOr(error));
    }
    progress.RowsBefore += main.Parameter.Height();
  }
  if (showProgress) {
    bar.EndLine();
    std::fprintf(stderr, "%d frames of %d x %d pixels in %.2f s\n", last - first + 1,
                 main.Parameter.Width(), main.Parameter.Height(), SecondsSince(start));
  }
  return ExitSuccess;
}

}  // namespace qv
