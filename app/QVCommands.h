#pragma once
// The commands of the qvell command line: print a project as text, and
// render a project to a picture file. Each returns the process's exit code
// and has written at most one line of error text to standard error. Main
// thread.
#include <chrono>
#include <cstdint>
#include <string>

#include "app/QVCommandLine.h"
#include "render/QVRenderToFile.h"

class QVMain;

namespace qv {

/// Reads options.Project (none: the default project) and writes it to
/// standard output as the project writer produces it.
int RunPrint(const CommandLineOptions& options);

/// Reads options.Project, renders its last mixer and writes the picture to
/// options.Output. The file is replaced only when everything succeeded.
int RunRender(const CommandLineOptions& options);

/// How options ask a picture file to be rendered (region, supersampling,
/// memory, format, the chunks of a PNG).
PictureRenderOptions RenderOptionsOf(const CommandLineOptions& options);

/// Assembles the PNG regions options.Parts into options.Output.
int RunJoin(const CommandLineOptions& options);

/// Renders the frames of a zoom movie (or one frame, or prints a frame's project).
int RunZoom(const CommandLineOptions& options);

/// Writes text to standard output; a failed write is reported as
/// CommandError does.
int WriteStandardOutput(const std::string& text);

/// Writes "qvell: error: MESSAGE" to standard error; returns ExitRender.
int CommandError(const std::string& message);

/// Writes the reader's line to standard error; returns ExitProject.
int ProjectError(const std::string& line);
/// Reads the project for a command (see LoadProjectInput) and prints its
/// warning, if any, to standard error. Returns the error line, or "". With
/// options given and no --supersample among them, a PNG's recorded sample
/// count becomes theirs, so that the picture is rendered as it was.
std::string LoadProject(QVMain& main, const std::string& path,
                        CommandLineOptions* options = nullptr);

/// One worker per hardware thread, within the engine's limit of 256.
int32_t HardwareWorkerCount();

/// Seconds since start.
double SecondsSince(std::chrono::steady_clock::time_point start);

}  // namespace qv
