#include "app/QVCommandLine.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>
#include <system_error>

#include "app/QVCommands.h"
#include "base/QVScan.h"
#include "app/QVEditorLoader.h"
#include "app/QVOptionValues.h"
#include "image/QVPictureRegion.h"
#include "image/QVSupersample.h"

namespace qv {

namespace {

const char* const kUsage =
    "usage:\n"
    "  qvell [PROJECT.qvl]                    open the editor (needs a display)\n"
    "  qvell render PROJECT.qvl -o OUT [--threads N] [--quiet] [--quality N] [--no-project]\n"
    "               [--fast] [--region X,Y,W,H] [--supersample N] [--memory SIZE]\n"
    "               [--auto-depth]\n"
    "  qvell join OUT.png PART.png... [--quiet]\n"
    "  qvell zoom PROJECT --to X,Y --scale S --frames N -o 'DIR/frame%05d.png'\n"
    "             [--frame K] [--print-frame K] [render options]\n"
    "  qvell print [PROJECT]\n"
    "  qvell --help | --version\n"
    "\n"
    "PROJECT is a .qvl file, a PNG written by qvell (it carries its project), or\n"
    "\"-\" for standard input. \"--\" ends the options; -h, --help after a command\n"
    "prints this usage.\n"
    "render  renders the last mixer of PROJECT and writes the picture to OUT, a\n"
    "        .bmp, .png, .jpg or .jpeg file\n"
    "  -o, --output OUT    the picture file, replaced only when the render succeeds\n"
    "  --threads N         workers per node, 0 to 256; 0 means one per hardware\n"
    "                      thread (default: NUMBER_OF_PROCESSORS, else 0)\n"
    "  --quality N         JPEG quality, 1 to 100 (default 75)\n"
    "  --quiet             no progress display on the terminal\n"
    "  --no-project        a PNG without the project in it\n"
    "  --fast              a PNG encoded more quickly, at some cost in file size\n"
    "  --auto-depth        each generator's depth raised to 1000 per decade the\n"
    "                      scale lies below 4, when that is more than its own\n"
    "                      (zoom: frame by frame)\n"
    "  --region X,Y,W,H    just this rectangle of the picture (for qvell join)\n"
    "  --supersample N     anti-aliasing: N x N samples per pixel, 1 to 8\n"
    "  --memory SIZE       memory to stay within, e.g. 512M or 4G (K, M, G, T in\n"
    "                      either case; default: what is available, within\n"
    "                      ulimit -v); larger pictures are rendered in bands\n"
    "join    assembles PNG regions that tile one picture into OUT.png\n"
    "zoom    renders N frames from PROJECT's view to centre X,Y and scale S\n"
    "        (geometric steps); %d, %5d, %05d... in the pattern is the frame\n"
    "        number (width up to 32); the folder is created when missing\n"
    "  --to X,Y            the last frame's centre\n"
    "  --scale S           the last frame's scale, above 0\n"
    "  --frames N          the number of frames\n"
    "  --frame K           render frame K (0 to N - 1) alone\n"
    "  --print-frame K     print frame K's project instead of rendering\n"
    "print   writes PROJECT (none: the default project) to standard output as\n"
    "        project text, UTF-8 with LF line ends\n"
    "\n"
    "exit codes: 0 done, 1 usage error, 2 the project cannot be read,\n"
    "            3 the render, the output or the editor failed\n";

constexpr int kMaxThreads = 256;

// A whole number in [low, high] from the complete text, or nullopt.
std::optional<int> WholeNumber(const std::string& text, int low, int high) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || text[0] == '+' || error != std::errc() || stop != end) return std::nullopt;
  if (value < low || value > high) return std::nullopt;
  return value;
}

// Sets one of the options that say which pictures to make; returns the usage
// error, if any.
std::string SetPictureOption(const std::string& name, const std::string& value,
                             CommandLineOptions& options) {
  const std::string quoted = "\"" + value + "\"";
  if (name == "--region") {
    options.Region = ParseRectText(value);
    if (!options.Region)
      return "--region takes X,Y,W,H (whole numbers, W and H at least 1), not " + quoted;
  } else if (name == "--supersample") {
    const std::optional<int> n = WholeNumber(value, 1, kMaxSupersample);
    if (!n) return "--supersample takes a whole number from 1 to 8, not " + quoted;
    options.Supersample = *n;
  } else if (name == "--memory") {
    const std::optional<int64_t> bytes = ParseMemorySize(value);
    if (!bytes) return "--memory takes a size such as 512M, 4G or 64k, not " + quoted;
    options.Memory = *bytes;
  } else if (name == "--to") {
    const std::optional<QVComplex> to = ParsePoint(value);
    if (!to) return "--to takes the centre as X,Y (two numbers), not " + quoted;
    options.ZoomTo = to;
    options.ZoomToPrecise = ParsePrecisePoint(value);
  } else if (name == "--scale") {
    const std::optional<double> scale = ParseFiniteNumber(value);
    if (!scale || *scale <= 0) return "--scale takes a number above 0, not " + quoted;
    options.ZoomScale = *scale;
  } else {
    std::optional<int>& frame = name == "--frame" ? options.Frame : options.PrintFrame;
    const std::optional<int> n = WholeNumber(value, name == "--frames" ? 1 : 0, 1000000000);
    if (!n)
      return name + " takes a whole number" + (name == "--frames" ? " from 1" : "") + ", not " +
             quoted;
    if (name == "--frames") {
      options.Frames = *n;
    } else {
      frame = n;
    }
  }
  return "";
}

// Sets one render option from its name and value; returns the usage error, if any.
std::string SetRenderOption(const std::string& name, const std::string& value,
                            CommandLineOptions& options) {
  if (name == "-o" || name == "--output") {
    if (value.empty()) return name + " needs a file name";
    options.Output = value;
  } else if (name == "--threads") {
    options.Threads = WholeNumber(value, 0, kMaxThreads);
    if (!options.Threads) {
      return "--threads takes a whole number from 0 to " + std::to_string(kMaxThreads) + ", not " +
             QuoteText(value);
    }
  } else if (name == "--quality") {
    const std::optional<int> quality = WholeNumber(value, 1, 100);
    if (!quality) return "--quality takes a whole number from 1 to 100, not " + QuoteText(value);
    options.Quality = *quality;
  } else {
    return SetPictureOption(name, value, options);
  }
  return "";
}

bool TakesValue(const std::string& name) {
  for (const char* n : {"-o", "--output", "--threads", "--quality", "--region", "--supersample",
                        "--memory", "--to", "--scale", "--frames", "--frame", "--print-frame"}) {
    if (name == n) return true;
  }
  return false;
}

// The flags render and zoom take; returns the usage error, or nullopt when
// name is no such flag.
std::optional<std::string> SetRenderFlag(const std::string& name, bool given,
                                         CommandLineOptions& options) {
  bool* flag = name == "--quiet"        ? &options.Quiet
               : name == "--no-project" ? &options.NoProject
               : name == "--fast"       ? &options.Fast
               : name == "--auto-depth" ? &options.AutoDepth
                                        : nullptr;
  if (!flag) return std::nullopt;
  *flag = true;
  return given ? name + " takes no value" : std::string();
}

// Splits the arguments of a command into options, handled by setOption, and
// operands. "--" ends the options; "-" is an operand. Returns the usage error.
template <typename SetOption>
std::string SplitArguments(const std::vector<std::string>& args, std::vector<std::string>& operands,
                           CommandLineOptions& options, SetOption setOption) {
  bool onlyOperands = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyOperands || arg.size() < 2 || arg[0] != '-') {
      operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyOperands = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.Kind = CommandLineOptions::Command::Help;
      return "";
    }
    const size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, equals);
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (TakesValue(name)) {
      if (i + 1 == args.size()) return name + " needs a value";
      value = args[++i];
    }
    if (std::string error = setOption(name, value, equals != std::string::npos); !error.empty()) {
      return error;
    }
  }
  return "";
}

// Splits the arguments of render or zoom; the zoom-only options are refused
// for render.
std::string SplitRenderArguments(const std::vector<std::string>& args,
                                 std::vector<std::string>& operands, CommandLineOptions& options) {
  const std::string command = args[0];
  return SplitArguments(
      args, operands, options, [&](const std::string& name, const std::string& value, bool given) {
        if (std::optional<std::string> error = SetRenderFlag(name, given, options)) return *error;
        const bool zoomOnly = name == "--to" || name == "--scale" || name == "--frames" ||
                              name == "--frame" || name == "--print-frame";
        if (!TakesValue(name) || (zoomOnly && command != "zoom") ||
            (name == "--region" && command != "render")) {
          return "unknown option " + QuoteText(name) + " for " + command;
        }
        return SetRenderOption(name, value, options);
      });
}

// The format of the output (for zoom, of the pattern); "" or the usage error.
std::string SetOutputFormat(const std::string& command, CommandLineOptions& options) {
  if (options.Output.empty()) return command + " needs the picture file to write: -o OUT";
  const std::optional<PictureFormat> format = PictureFormatFromName(options.Output);
  if (!format) {
    return "cannot tell the picture format of " + QuoteText(options.Output) +
           "; name it .bmp (BMP), .png (PNG) or .jpg/.jpeg (JPEG)";
  }
  options.Format = *format;
  return "";
}

std::string ParseRender(const std::vector<std::string>& args, CommandLineOptions& options) {
  std::vector<std::string> operands;
  std::string error = SplitRenderArguments(args, operands, options);
  if (!error.empty() || options.Kind == CommandLineOptions::Command::Help) return error;
  if (operands.empty()) return "render needs a project file (\"-\" reads standard input)";
  if (operands.size() > 1) return "render takes one project file, not " + operands[1] + " as well";
  options.Project = operands[0];
  return SetOutputFormat("render", options);
}

std::string ParseZoom(const std::vector<std::string>& args, CommandLineOptions& options) {
  std::vector<std::string> operands;
  std::string error = SplitRenderArguments(args, operands, options);
  if (!error.empty() || options.Kind == CommandLineOptions::Command::Help) return error;
  if (operands.size() != 1) return "zoom takes one project file";
  options.Project = operands[0];
  if (!options.ZoomTo) return "zoom needs the last frame's centre: --to X,Y";
  if (options.ZoomScale <= 0) return "zoom needs the last frame's scale: --scale S";
  if (options.Frames < 1) return "zoom needs the number of frames: --frames N";
  for (const std::optional<int>& k : {options.Frame, options.PrintFrame}) {
    if (k && *k >= options.Frames) {
      return "frame " + std::to_string(*k) + " does not exist: the frames are 0 to " +
             std::to_string(options.Frames - 1);
    }
  }
  if (options.PrintFrame) return "";
  if (std::string problem = SetOutputFormat("zoom", options); !problem.empty()) return problem;
  if (!FrameFileName(options.Output, 0)) {
    return "the frame file pattern \"" + options.Output +
           "\" needs one %d (or %5d, %05d, ... up to a width of " + std::to_string(kMaxFrameWidth) +
           ") for the frame number; write %% for a %";
  }
  return "";
}

std::string ParseJoin(const std::vector<std::string>& args, CommandLineOptions& options) {
  std::vector<std::string> operands;
  std::string error = SplitArguments(args, operands, options,
                                     [&](const std::string& name, const std::string&, bool given) {
                                       if (name == "--quiet") {
                                         options.Quiet = true;
                                         return given ? name + " takes no value" : std::string();
                                       }
                                       return "unknown option " + QuoteText(name) + " for join";
                                     });
  if (!error.empty() || options.Kind == CommandLineOptions::Command::Help) return error;
  if (operands.size() < 2)
    return "join needs the picture to write and at least one part: join OUT.png PART.png...";
  options.Output = operands[0];
  options.Parts.assign(operands.begin() + 1, operands.end());
  if (PictureFormatFromName(options.Output) != PictureFormat::Png) {
    return "join writes a PNG file; name the output .png, not \"" + options.Output + "\"";
  }
  return "";
}

std::string ParsePrint(const std::vector<std::string>& args, CommandLineOptions& options) {
  std::vector<std::string> operands;
  std::string error = SplitArguments(args, operands, options,
                                     [](const std::string& name, const std::string&, bool) {
                                       return "unknown option " + QuoteText(name) + " for print";
                                     });
  if (!error.empty() || options.Kind == CommandLineOptions::Command::Help) return error;
  if (operands.size() > 1) return "print takes at most one project file";
  if (!operands.empty()) options.Project = operands[0];
  return "";
}

// A lone operand names a project for the editor when it ends in ".qvl" (any
// case) or names an existing file; anything else is a mistyped command.
bool IsProjectName(const std::string& operand) {
  std::string lower = operand;
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  std::error_code error;
  return lower.ends_with(".qvl") || std::filesystem::is_regular_file(operand, error);
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "qvell: error: %s\n%s", message.c_str(), kUsage);
  return ExitUsage;
}

int Dispatch(const CommandLineOptions& options) {
  switch (options.Kind) {
    case CommandLineOptions::Command::Help:
      return WriteStandardOutput(kUsage);
    case CommandLineOptions::Command::Version:
      return WriteStandardOutput(std::string("qvell ") + QV_VERSION + "\n");
    case CommandLineOptions::Command::Render:
      return RunRender(options);
    case CommandLineOptions::Command::Print:
      return RunPrint(options);
    case CommandLineOptions::Command::Join:
      return RunJoin(options);
    case CommandLineOptions::Command::Zoom:
      return RunZoom(options);
    case CommandLineOptions::Command::Editor:
      break;
  }
  if (!HasDisplay()) return UsageError("no display to open the editor on; give a command");
  return RunEditor(options.Project);
}

}  // namespace

std::string ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options) {
  options = CommandLineOptions();
  if (args.empty()) return "";
  const std::string& command = args[0];
  if (command == "render") {
    options.Kind = CommandLineOptions::Command::Render;
    return ParseRender(args, options);
  }
  if (command == "join") {
    options.Kind = CommandLineOptions::Command::Join;
    return ParseJoin(args, options);
  }
  if (command == "zoom") {
    options.Kind = CommandLineOptions::Command::Zoom;
    return ParseZoom(args, options);
  }
  if (command == "print") {
    options.Kind = CommandLineOptions::Command::Print;
    return ParsePrint(args, options);
  }
  if (command == "--help" || command == "-h" || command == "--version") {
    options.Kind = command == "--version" ? CommandLineOptions::Command::Version
                                          : CommandLineOptions::Command::Help;
    return args.size() == 1 ? "" : command + " takes no arguments";
  }
  if (command.starts_with("-")) return "unknown option " + QuoteText(command);
  if (args.size() == 1 && IsProjectName(command)) {
    options.Project = command;  // the editor opens it
    return "";
  }
  return "unknown command " + QuoteText(command);
}

int RunCommandLine(int argc, char** argv) {
  try {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    CommandLineOptions options;
    if (std::string error = ParseCommandLine(args, options); !error.empty()) {
      return UsageError(error);
    }
    return Dispatch(options);
  } catch (const std::bad_alloc&) {
    return CommandError("out of memory");
  } catch (const std::exception& e) {
    return CommandError(e.what());
  }
}

}  // namespace qv
