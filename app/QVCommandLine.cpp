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

namespace qv {

namespace {

const char* const kUsage =
    "usage:\n"
    "  qvell [PROJECT.qvl]                    open the editor (needs a display)\n"
    "  qvell render PROJECT.qvl -o OUT [--threads N] [--quiet] [--quality N]\n"
    "  qvell print [PROJECT.qvl]\n"
    "  qvell --help | --version\n"
    "\n"
    "render  renders the last mixer of PROJECT.qvl (\"-\" reads standard input)\n"
    "        and writes the picture to OUT, a .bmp, .png, .jpg or .jpeg file\n"
    "  -o, --output OUT  the picture file, replaced only when the render succeeds\n"
    "  --threads N       workers per node, 0 to 256; 0 means one per hardware\n"
    "                    thread (default: NUMBER_OF_PROCESSORS, else 0)\n"
    "  --quality N       JPEG quality, 1 to 100 (default 75)\n"
    "  --quiet           no progress display on the terminal\n"
    "print   writes PROJECT.qvl (\"-\" reads standard input; none: the default\n"
    "        project) to standard output as project text, UTF-8 with LF line ends\n"
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
  }
  return "";
}

bool TakesValue(const std::string& name) {
  return name == "-o" || name == "--output" || name == "--threads" || name == "--quality";
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

std::string ParseRender(const std::vector<std::string>& args, CommandLineOptions& options) {
  std::vector<std::string> operands;
  std::string error = SplitArguments(
      args, operands, options, [&](const std::string& name, const std::string& value, bool given) {
        if (name == "--quiet") {
          options.Quiet = true;
          return given ? std::string("--quiet takes no value") : std::string();
        }
        if (!TakesValue(name)) return "unknown option " + QuoteText(name) + " for render";
        return SetRenderOption(name, value, options);
      });
  if (!error.empty() || options.Kind == CommandLineOptions::Command::Help) return error;
  if (operands.empty()) return "render needs a project file (\"-\" reads standard input)";
  if (operands.size() > 1) return "render takes one project file, not " + operands[1] + " as well";
  if (options.Output.empty()) return "render needs the picture file to write: -o OUT";
  const std::optional<PictureFormat> format = PictureFormatFromName(options.Output);
  if (!format) {
    return "cannot tell the picture format of " + QuoteText(options.Output) +
           "; name it .bmp (BMP), .png (PNG) or .jpg/.jpeg (JPEG)";
  }
  options.Project = operands[0];
  options.Format = *format;
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
