// qvell zoom: the frames of a movie that zooms from a project's view to
// another centre and scale. The scale changes geometrically from frame to
// frame, s_k = s_0 (S / s_0)^(k / (N - 1)) (taken in logarithms), and the centre moves in step with
// the scale's change, by the fraction (s_0 - s_k) / (s_0 - S) of the way (a
// plain linear move when the scale stays), so the motion on screen is smooth
// however deep the zoom. Each frame is rendered from its project text, written
// and read back exactly as --print-frame prints it, so frame K is bit for bit
// what qvell render makes of that printed project. Main thread.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "app/QVCommands.h"
#include "app/QVInterrupt.h"
#include "app/QVOptionValues.h"
#include "app/QVProgressBar.h"
#include "base/QVScan.h"
#include "engine/QVMain.h"
#include "source/QVProjectInput.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace qv {

namespace {

// The view of frame k of n, from (v0, s0) to (to, scale). The scale's steps
// are taken in logarithms, so that a zoom across any range of doubles (1e300
// to 1e-300) neither overflows nor underflows; with L = log(scale / s0) and
// t = k / (n - 1), s = s0 e^(L t) and the centre's fraction of the way is
// (1 - e^(L t)) / (1 - e^L), evaluated without overflow for either sign of L.
void FrameView(QVComplex v0, double s0, QVComplex to, double scale, int k, int n, QVComplex& v,
               double& s) {
  if (k == n - 1) {  // the last frame is the target exactly
    v = to;
    s = scale;
    return;
  }
  if (k == 0) {  // and the first the project's view
    v = v0;
    s = s0;
    return;
  }
  const double t = static_cast<double>(k) / (n - 1);
  const double L = std::log(scale) - std::log(s0);
  double f = t;  // the scale stays: a plain linear move
  if (L < 0) {
    f = std::expm1(L * t) / std::expm1(L);
  } else if (L > 0) {  // the same fraction, divided through by e^L
    f = std::exp(L * (t - 1)) * (std::expm1(-L * t) / std::expm1(-L));
  }
  s = std::clamp(std::exp(std::log(s0) + L * t), std::min(s0, scale), std::max(s0, scale));
  v = {v0.re + (to.re - v0.re) * f, v0.im + (to.im - v0.im) * f};
}

// Sets main to frame k's project, through its text; returns the text.
std::string LoadFrame(QVMain& main, QVComplex v0, double s0, const CommandLineOptions& options,
                      int k) {
  QVComplex v;
  double s = 0;
  FrameView(v0, s0, *options.ZoomTo, options.ZoomScale, k, options.Frames, v, s);
  main.Parameter.ChangeViewpoint(v);
  main.Parameter.ChangeScale(s);
  std::string text = WriteProject(main);
  // The values the text gives, exactly as a reader of it gets them.
  if (const ReadResult read = ReadProject(main, text); !read.Ok) {
    throw std::runtime_error("frame " + std::to_string(k) + "'s project does not read back (" +
                             read.Describe() + ")");
  }
  return text;
}

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
  const QVComplex v0 = main.Parameter.Viewpoint;
  const double s0 = main.Parameter.Scale;
  if (!(s0 > 0) || !std::isfinite(s0)) {
    return CommandError("a zoom starts from the project's Scale, which must be above 0, not " +
                        NumberToText(s0));
  }
  if (options.PrintFrame)
    return WriteStandardOutput(LoadFrame(main, v0, s0, options, *options.PrintFrame));

  const int first = options.Frame.value_or(0);
  const int last = options.Frame.value_or(options.Frames - 1);
  const bool showProgress = !options.Quiet && isatty(STDERR_FILENO) == 1;
  QVProgressBar bar(stderr);
  BandProgress progress;
  progress.Bar = showProgress ? &bar : nullptr;
  progress.Name = "Zoom";
  progress.RowsTotal = int64_t{main.Parameter.Height} * (last - first + 1);
  ScopedInterruptHandler interrupts;  // one Ctrl-C stops the whole sequence
  for (int k = first; k <= last; ++k) {
    LoadFrame(main, v0, s0, options, k);
    const std::string output = *FrameFileName(options.Output, k);
    if (std::string problem = MakeFolderFor(output); !problem.empty()) {
      if (showProgress) bar.EndLine();
      return CommandError("frame " + std::to_string(k) + ": " + problem);
    }
    if (std::string error = RenderToFile(main, options, output, progress); !error.empty()) {
      if (showProgress) bar.EndLine();
      return CommandError("frame " + std::to_string(k) + ": " + error);
    }
    progress.RowsBefore += main.Parameter.Height;
  }
  if (showProgress) {
    bar.EndLine();
    std::fprintf(stderr, "%d frames of %d x %d pixels in %.2f s\n", last - first + 1,
                 main.Parameter.Width, main.Parameter.Height, SecondsSince(progress.Start));
  }
  return ExitSuccess;
}

}  // namespace qv
