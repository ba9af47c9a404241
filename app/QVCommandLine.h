#pragma once
// The qvell command line: parses the arguments, runs one command (render,
// print, help, version) and turns every outcome into an exit code and at most
// one line of error text on standard error. Main thread.
#include <optional>
#include <string>
#include <vector>

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
  enum class Command { Editor, Help, Version, Render, Print };
  Command Kind = Command::Editor;
  std::string Project;  ///< render: the project ("-": standard input); print, editor: "" = default
  std::string Output;   ///< render: the picture file
  PictureFormat Format = PictureFormat::Png;
  std::optional<int> Threads;  ///< workers per node; 0 = one per hardware thread
  int Quality = 75;            ///< JPEG quality, 1 to 100
  bool Quiet = false;
};

/// Parses the arguments that follow the program name into options. Returns
/// "" on success, else what is wrong with them (a usage error).
std::string ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options);

/// Runs the command named by argv; returns the process's exit code. Never
/// throws.
int RunCommandLine(int argc, char** argv);

}  // namespace qv
