#pragma once
// Helpers shared by the command-line tests: running the built qvell as a
// child process (standard input from a file, standard output and error
// captured, standard error optionally on a terminal). The picture the engine
// computes in this process for the same project comes from
// render/RenderTestPictures.h, the picture decoders from support/QVTestPictures.h.
#include <sys/types.h>

#include <csignal>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "image/ImageTestSupport.h"
#include "render/RenderTestPictures.h"

namespace qv::test {

/// How a run of qvell ended and what it wrote.
struct ProcessResult {
  int ExitCode = -1;  ///< the exit status, or 128 + signal when killed
  std::string Out;
  std::string Err;  ///< on a terminal: what the terminal received
  bool TimedOut = false;
  std::optional<bool> ProbeFileExisted;
  /// The arguments, exit code and error text, for assertion messages.
  std::string Describe() const;
  std::string Command;
};

/// True when process pid holds a file open for writing in directory (which
/// ends in '/'), named or unnamed: a picture is being written there.
bool WritesIn(pid_t pid, const std::string& directory);

struct ProcessOptions {
  std::string StdinFile;  ///< "" reads /dev/null
  /// Variables to set (a value) or remove (nullopt) in the child's environment.
  std::vector<std::pair<std::string, std::optional<std::string>>> Environment;
  bool StderrOnTerminal = false;  ///< standard error on a pseudo-terminal
  /// With StderrOnTerminal: send SIGINT once the terminal has received this.
  std::string InterruptOnOutput;
  /// Send the interrupt once the child holds a file open for writing in this
  /// directory (named or not): a picture is being written there.
  std::string InterruptOnWriteIn;
  /// Calls OnWrite once the child holds a file open for writing in this
  /// directory, the child stopped meanwhile.
  std::string CallOnWriteIn;
  std::function<void()> OnWrite;
  /// The child's address-space limit (ulimit -v) in KiB; 0: as this process.
  int64_t AddressLimitKiB = 0;
  /// The child's soft and hard limits of open files (ulimit -Sn, -Hn); 0: as
  /// this process.
  int64_t FileLimitSoft = 0;
  int64_t FileLimitHard = 0;
  /// The signal the interrupt sends.
  int InterruptWith = SIGINT;
  /// With StderrOnTerminal: once the terminal has received ProbeOnOutput,
  /// note whether ProbeFile exists (in ProcessResult::ProbeFileExisted).
  std::string ProbeOnOutput;
  std::string ProbeFile;
};

/// Options that only read standard input from file.
inline ProcessOptions StdinFrom(const std::string& file) {
  ProcessOptions options;
  options.StdinFile = file;
  return options;
}

/// Runs the built qvell with args and waits for it (at most two minutes,
/// then it is killed and TimedOut is set).
ProcessResult RunQvell(const std::vector<std::string>& args, const ProcessOptions& options = {});

/// The lines of text (split at '\n', without the line ends).
std::vector<std::string> Lines(const std::string& text);

/// The default project's text as qvell prints it.
std::string DefaultProjectText();

}  // namespace qv::test
