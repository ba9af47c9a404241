#pragma once
// The qvell command line: parses the arguments, runs one command (render,
// print, help, version) and turns every outcome into an exit code and at most
// one line of error text on standard error. Main thread.
#include <optional>
#include <string>
#include <vector>

#include "base/QVComplex.h"
#include "base/QVDecimal.h"
#include "base/QVPixelRect.h"
#include "image/QVPictureFile.h"

namespace qv {

/// The exit codes of qvell.
enum ExitCode : int {
  ExitSuccess = 0,
  ExitUsage = 1,    ///< the arguments are wrong; the usage follows the message
  ExitProject = 2,  ///< the project cannot be read
  ExitRender = 3,   ///< the render or the output failed
};

/// What the arguments ask for.
struct CommandLineOptions {
  enum class Command { Editor, Help, Version, Render, Print, Join, Zoom };
  Command Kind = Command::Editor;
  std::string Project;  ///< render, zoom: the project ("-": standard input); print, editor: "" = default
  std::string Output;   ///< render, join: the picture file; zoom: the frame file pattern
  PictureFormat Format = PictureFormat::Png;
  std::optional<int> Threads;  ///< workers per node; 0 = one per hardware thread
  int Quality = 75;            ///< JPEG quality, 1 to 100
  bool Quiet = false;
  bool NoProject = false;           ///< PNG: leave the project chunk out
  bool AutoDepth = false;           ///< depths raised as the scale shrinks (QVAutoDepth.h)
  bool Fast = false;                ///< PNG: a quicker encoding, a larger file
  std::optional<PixelRect> Region;  ///< render just this part of the picture
  /// Samples per side of each pixel, 1 to 8; none: as many as the PNG read
  /// records (see LoadProject), else 1.
  std::optional<int> Supersample;
  int64_t Memory = 0;               ///< bytes the render may use; 0: what is available
  std::vector<std::string> Parts;   ///< join: the part files
  std::optional<QVComplex> ZoomTo;  ///< zoom: the last frame's centre
  std::optional<DecimalComplex> ZoomToPrecise;  ///< the same with every digit given
  double ZoomScale = 0.0;           ///< zoom: the last frame's scale
  int Frames = 0;                   ///< zoom: frames in the movie
  std::optional<int> Frame;         ///< zoom: render this frame alone (from 0)
  std::optional<int> PrintFrame;    ///< zoom: print this frame's project
};

/// Parses the arguments that follow the program name into options. Returns
/// "" on success, else what is wrong with them (a usage error).
std::string ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options);

/// Runs the command named by argv; returns the process's exit code. Never
/// throws.
int RunCommandLine(int argc, char** argv);

}  // namespace qv
